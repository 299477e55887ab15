#include "windows/picture/GMPicture.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Rgb = std::tuple<std::int32_t, std::int32_t, std::int32_t>;

const Rgb kUntouched{7, 7, 7};
const MessageRequest kRange = ErrorBox("Subscript out of range");

// A pixel buffer as the windows use it, each failure reported in the "Error" box.
struct ReportedPixels : testing::Test {
    ScriptedMessageBoxes messages;
    PixelBuffer pixels;
    GMPicture picture{pixels, messages};

    Bytes Copy() const { return Bytes(pixels.Bytes().begin(), pixels.Bytes().end()); }
    std::pair<int, int> Size() const { return {picture.Width(), picture.Height()}; }
    Rgb Read(float x, float y) {
        auto [red, green, blue] = kUntouched;
        picture.GetPixel(x, y, red, green, blue);
        return {red, green, blue};
    }
};

TEST_F(ReportedPixels, NeverSizedBufferFailsEachCallAndStaysEmpty) {
    picture.SetPixel(1, 1, 0, 0, 0);
    EXPECT_EQ(Read(1, 1), kUntouched);
    picture.FillAll(1, 2, 3);  // quietly does nothing
    picture.Cls();
    TestSurface surface(QSize(4, 4));
    surface.SetBackColor(PackColor(5, 6, 7));
    const QImage before = surface.Image();
    picture.PrintToPictureBox(surface, true, true);
    EXPECT_EQ(messages.shown, (Boxes{kRange, kRange, ErrorBox("Division by zero"), kRange}));
    EXPECT_EQ(std::tuple(Size(), Copy(), surface.refreshes, surface.HasPicture(), surface.Image() == before),
              std::tuple(std::pair(0, 0), Bytes{}, 0, false, true));
}

// Positions count from 1, and the one comes off before rounding ties to even; unusable sizes change nothing.
TEST_F(ReportedPixels, CreateNewPictureGivesAZeroedBufferAddressedFromOne) {
    picture.CreateNewPicture(640, 480);
    EXPECT_EQ(std::tuple(Size(), Copy(), Read(640, 480)),
              std::tuple(std::pair(640, 480), Bytes(640u * 480u * 4u, 0), Rgb(0, 0, 0)));
    for (int column = 0; column < 5; ++column) picture.SetPixel(float(column + 1), 1, 10 * column + 1, 2, 3);
    for (const auto& [x, column] :
         {std::pair(0.5f, 0), {1.0f, 0}, {1.5f, 0}, {1.6f, 1}, {2.5f, 2}, {3.5f, 2}, {4.5f, 4}, {5.4f, 4}})
        EXPECT_EQ(Read(x, 1), Rgb(10 * column + 1, 2, 3)) << x;
    const Bytes before = Copy();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const auto& [width, height] : {std::pair(0.5f, 100.0f), {100, 0}, {nan, 5}, {5, nan}, {-3, 4}, {4, 0.99f}}) {
        picture.CreateNewPicture(width, height);
        EXPECT_EQ(std::pair(Size(), Copy() == before), std::pair(std::pair(640, 480), true)) << width << ", " << height;
    }
    EXPECT_TRUE(messages.shown.empty());
    const std::pair<float, float> outside[] = {{641, 1}, {0.4f, 1}, {1, 481}, {1, 0.4f}, {0, 0}, {-5, 3}, {640.6f, 1}};
    for (const auto& [x, y] : outside) EXPECT_EQ(Read(x, y), kUntouched) << x << ", " << y;
    EXPECT_EQ(messages.shown, Boxes(std::size(outside), kRange));
    picture.CreateNewPicture(3, 2);  // blue, green, red at their offsets
    picture.SetPixel(2, 1, 11, 22, 33);
    picture.SetPixel(3, 2, 44, 55, 66);
    picture.SetPixel(2.5f, 0.5f, 9, 8, 7);  // column 1.5 -> 2, row -0.5 -> 0
    EXPECT_EQ(Copy(), (Bytes{0, 0, 0, 0, 33, 22, 11, 0, 7, 8, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 66, 55, 44, 0}));
}

// Red, green and blue are written in that order: a bad value stops the write at its channel.
TEST_F(ReportedPixels, SetPixelOutOfByteRangeStopsAtThatChannel) {
    const std::pair<Rgb, Rgb> cases[] = {  // given, then stored over (1, 2, 3)
        {{10, 300, 20}, {10, 2, 3}}, {{256, 0, 0}, {1, 2, 3}},    {{-1, 9, 9}, {1, 2, 3}},
        {{10, -5, 20}, {10, 2, 3}},  {{10, 20, -1}, {10, 20, 3}}, {{10, 20, 256}, {10, 20, 3}}};
    for (const auto& [given, stored] : cases) {
        SCOPED_TRACE(testing::PrintToString(given));
        picture.CreateNewPicture(2, 2);
        picture.SetPixel(1, 1, 1, 2, 3);
        messages.shown.clear();
        std::apply([&](auto... rgb) { picture.SetPixel(1, 1, rgb...); }, given);
        const Bytes bytes = Copy();
        EXPECT_EQ(std::tuple(messages.shown, Rgb(bytes[2], bytes[1], bytes[0]), Bytes(bytes.begin() + 3, bytes.end())),
                  std::tuple(Boxes{ErrorBox("Overflow")}, stored, Bytes(2 * 2 * 4 - 3, 0)));
    }
}

// Any depth or row layout loads as four bytes a pixel, blue first, with no room between
// rows. Red-first 32-bit formats would swap red and blue if taken byte for byte.
TEST_F(ReportedPixels, SetPictureTakesSizeAndColoursOfAnyPicture) {
    const QImage base = DistinctPicture(5, 3);
    std::vector<uchar> memory(3 * 28, 0);
    QImage padded(memory.data(), 5, 3, 28, QImage::Format_RGB32);  // room after each row
    QImage indexed(5, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(1, 2, 3), qRgb(250, 240, 230)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            padded.setPixel(x, y, base.pixel(x, y));
            indexed.setPixel(x, y, uint((x + 2 * y) % 4));
        }
    for (const QImage& source : {base, padded, indexed, base.convertToFormat(QImage::Format_RGB888),
                                 base.convertToFormat(QImage::Format_RGBA8888)}) {
        SCOPED_TRACE(testing::Message() << "QImage::Format " << int(source.format()));
        picture.SetPicture(source);
        ASSERT_EQ(std::tuple(Size(), pixels.Bytes().size(), pixels.Description().bmWidthBytes),
                  std::tuple(std::pair(5, 3), 5ul * 3 * 4, 20));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const QRgb pixel = source.pixel(x, y);
                EXPECT_EQ(Read(x + 1.0f, y + 1.0f), Rgb(qRed(pixel), qGreen(pixel), qBlue(pixel))) << x << ", " << y;
            }
    }
    picture.Cls();  // zeroes every byte
    EXPECT_EQ(std::tuple(Size(), Copy(), messages.shown), std::tuple(std::pair(5, 3), Bytes(5 * 3 * 4, 0), Boxes{}));
    picture.SetPicture(QImage());
    EXPECT_EQ(messages.shown, Boxes{ErrorBox("Division by zero")});
}

// A print first clears what an earlier one drew; unset pixels (fourth byte 0) still show black, not the background.
TEST_F(ReportedPixels, PrintIntoALargerSurfaceClearsItFirst) {
    TestSurface surface(QSize(5, 4));
    surface.SetBackColor(PackColor(12, 34, 56));
    surface.SetPicture(FilledImage(QSize(4, 3), qRgb(200, 201, 202)));
    picture.SetPicture(FilledImage(QSize(5, 4), Qt::red));
    picture.PrintToPictureBox(surface);
    picture.CreateNewPicture(3, 2);
    picture.SetPixel(1, 1, 200, 100, 50);
    picture.SetPixel(3, 2, 1, 2, 3);
    picture.PrintToPictureBox(surface);
    ExpectColours(surface, [](int x, int y) -> ColorValue {
        if (x == 0 && y == 0) return PackColor(200, 100, 50);
        if (x == 2 && y == 1) return PackColor(1, 2, 3);
        return x < 3 && y < 2 ? 0 : x < 4 && y < 3 ? PackColor(200, 201, 202) : PackColor(12, 34, 56);
    });
    EXPECT_EQ(messages.shown, Boxes{});
}

}  // namespace
