#include "picture/GMPicture.h"
#include "picture/ImageSurface.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Rgb = std::tuple<std::int32_t, std::int32_t, std::int32_t>;

const Rgb kUntouched{7, 7, 7};
const MessageRequest kRange = ErrorBox(QStringLiteral("Subscript out of range"));

Bytes CopyBytes(const GMPicture& picture) { return Bytes(picture.Bytes().begin(), picture.Bytes().end()); }
std::pair<int, int> SizeOf(const GMPicture& picture) { return {picture.Width(), picture.Height()}; }

Bytes Repeated(const Bytes& pixel, int count) {
    Bytes bytes;
    for (int i = 0; i < count; ++i) bytes.insert(bytes.end(), pixel.begin(), pixel.end());
    return bytes;
}

Rgb Read(GMPicture& picture, float x, float y) {
    auto [red, green, blue] = kUntouched;
    picture.GetPixel(x, y, red, green, blue);
    return {red, green, blue};
}

Rgb RgbOf(QRgb pixel) { return {qRed(pixel), qGreen(pixel), qBlue(pixel)}; }

// Every pixel differs, so that a misplaced row or column shows.
QImage DistinctPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + 1) % 256, (y * 11 + 2) % 256, (x + y * 3 + 5) % 256));
    return image;
}

QImage Filled(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

struct CountingSurface : ImageSurface {
    explicit CountingSurface(QSize size) { ResizeImage(size); }
    void Refresh() override { ++refreshes; }
    int refreshes = 0;
};

struct PixelBuffer : testing::Test {
    ScriptedMessageBoxes messages;
    GMPicture picture{messages};
};

TEST_F(PixelBuffer, NeverSizedBufferFailsEachCallAndStaysEmpty) {
    const auto unsized = [&] { return SizeOf(picture) == std::pair(0, 0) && picture.Bytes().empty(); };
    EXPECT_TRUE(unsized());
    picture.SetPixel(1, 1, 0, 0, 0);
    EXPECT_EQ(Read(picture, 1, 1), kUntouched);
    picture.FillAll(1, 2, 3);  // quietly does nothing
    picture.Cls();
    CountingSurface surface(QSize(4, 4));
    surface.SetBackColor(PackColor(5, 6, 7));
    const QImage before = surface.Image();
    picture.PrintToPictureBox(surface, true, true);
    const MessageRequest zero = ErrorBox(QStringLiteral("Division by zero"));
    EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{kRange, kRange, zero, kRange}));
    EXPECT_TRUE(unsized());
    EXPECT_EQ(surface.Image(), before);
    EXPECT_EQ(surface.refreshes, 0);
    EXPECT_FALSE(surface.HasPicture());
}

// Positions count from 1, and the one comes off before rounding ties to even.
TEST_F(PixelBuffer, CreateNewPictureGivesAZeroedBufferAddressedFromOne) {
    picture.CreateNewPicture(640, 480);
    EXPECT_EQ(SizeOf(picture), std::pair(640, 480));
    EXPECT_EQ(CopyBytes(picture), Bytes(640u * 480u * 4u, 0));
    const PicBitmapRecord& d = picture.Description();
    EXPECT_EQ(std::tuple(d.bmWidthBytes, d.bmBitsPixel, d.bmPlanes), std::tuple(640 * 4, 32, 1));
    EXPECT_EQ(Read(picture, 640, 480), Rgb(0, 0, 0));

    for (int column = 0; column < 5; ++column) picture.SetPixel(float(column + 1), 1, 10 * column + 1, 2, 3);
    const std::pair<float, int> columns[] = {{0.5f, 0}, {1.0f, 0}, {1.5f, 0}, {1.6f, 1},
                                             {2.5f, 2}, {3.5f, 2}, {4.5f, 4}, {5.4f, 4}};
    for (const auto& [x, column] : columns) EXPECT_EQ(Read(picture, x, 1), Rgb(10 * column + 1, 2, 3)) << x;

    const Bytes before = CopyBytes(picture);  // unusable sizes leave the buffer as it is
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, float> sizes[] = {{0.5f, 100}, {100, 0}, {nan, 5}, {5, nan}, {-3, 4}, {4, 0.99f}};
    for (const auto& [width, height] : sizes) {
        picture.CreateNewPicture(width, height);
        EXPECT_EQ(SizeOf(picture), std::pair(640, 480)) << width << " x " << height;
        EXPECT_EQ(CopyBytes(picture), before) << width << " x " << height;
    }
    EXPECT_TRUE(messages.shown.empty());

    const std::pair<float, float> outside[] = {{641, 1}, {0.4f, 1}, {1, 481},   {1, 0.4f},
                                               {0, 0},   {-5, 3},   {640.6f, 1}};
    for (std::size_t i = 0; i < std::size(outside); ++i) {
        SCOPED_TRACE(testing::Message() << "at " << outside[i].first << ", " << outside[i].second);
        EXPECT_EQ(Read(picture, outside[i].first, outside[i].second), kUntouched);
        EXPECT_EQ(messages.shown, std::vector<MessageRequest>(i + 1, kRange));
    }
}

TEST_F(PixelBuffer, SetPixelPutsBlueGreenRedAtTheirOffsets) {
    picture.CreateNewPicture(3, 2);
    picture.SetPixel(2, 1, 11, 22, 33);
    picture.SetPixel(3, 2, 44, 55, 66);
    picture.SetPixel(2.5f, 0.5f, 9, 8, 7);  // column 1.5 -> 2, row -0.5 -> 0
    EXPECT_EQ(CopyBytes(picture), (Bytes{0, 0, 0, 0, 33, 22, 11, 0, 7, 8, 9, 0,  // row 1
                                         0, 0, 0, 0, 0, 0, 0, 0, 66, 55, 44, 0}));
    EXPECT_TRUE(messages.shown.empty());
}

// Red, green and blue are written in that order: a bad value stops the write at its channel.
TEST_F(PixelBuffer, SetPixelOutOfByteRangeStopsAtThatChannel) {
    const std::pair<Rgb, Rgb> cases[] = {  // given, then stored over (1, 2, 3)
        {{10, 300, 20}, {10, 2, 3}}, {{256, 0, 0}, {1, 2, 3}},    {{-1, 9, 9}, {1, 2, 3}},
        {{10, -5, 20}, {10, 2, 3}},  {{10, 20, -1}, {10, 20, 3}}, {{10, 20, 256}, {10, 20, 3}},
    };
    for (const auto& [given, stored] : cases) {
        SCOPED_TRACE(testing::PrintToString(given));
        picture.CreateNewPicture(2, 2);
        picture.SetPixel(1, 1, 1, 2, 3);
        messages.shown.clear();
        std::apply([&](auto... rgb) { picture.SetPixel(1, 1, rgb...); }, given);
        EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{ErrorBox(QStringLiteral("Overflow"))}));
        const Bytes bytes = CopyBytes(picture);
        EXPECT_EQ(Rgb(bytes[2], bytes[1], bytes[0]), stored);
        EXPECT_EQ(Bytes(bytes.begin() + 3, bytes.end()), Bytes(2 * 2 * 4 - 3, 0));
    }
}

TEST_F(PixelBuffer, FillAllWritesEveryPixelButItsFourthByteAndClsZeroesAll) {
    picture.SetPicture(DistinctPicture(2, 2));  // a 32-bit RGB picture keeps 0xFF in the fourth byte
    const Bytes before = CopyBytes(picture);
    ASSERT_EQ(before.size(), 16u);
    ASSERT_EQ(before[3], 0xFF);
    for (const Rgb& c : {Rgb(0, 0, 256), Rgb(-1, 0, 0), Rgb(0, 300, 0), Rgb(255, 255, -255)}) {
        std::apply([&](auto... rgb) { picture.FillAll(rgb...); }, c);
        EXPECT_EQ(CopyBytes(picture), before) << testing::PrintToString(c);
    }
    picture.FillAll(10, 20, 30);
    EXPECT_EQ(CopyBytes(picture), Repeated({30, 20, 10, 255}, 4));
    picture.CreateNewPicture(2, 2);
    picture.FillAll(255, 0, 0);
    EXPECT_EQ(CopyBytes(picture), Repeated({0, 0, 255, 0}, 4));
    picture.FillAll(1, 2, 3);
    EXPECT_EQ(CopyBytes(picture), Repeated({3, 2, 1, 0}, 4));

    picture.SetPicture(DistinctPicture(4, 3));
    picture.Cls();
    EXPECT_EQ(SizeOf(picture), std::pair(4, 3));
    EXPECT_EQ(CopyBytes(picture), Bytes(4 * 3 * 4, 0));
    EXPECT_TRUE(messages.shown.empty());
}

// Any depth or row layout loads as four bytes a pixel, blue first, with no room between
// rows. Red-first 32-bit formats would swap red and blue if taken byte for byte.
TEST_F(PixelBuffer, SetPictureTakesSizeAndColoursOfAnyPicture) {
    const QImage base = DistinctPicture(5, 3);
    picture.SetPicture(base);
    const PicBitmapRecord& d = picture.Description();
    EXPECT_EQ(std::tuple(d.bmWidth, d.bmHeight, d.bmWidthBytes, d.bmBitsPixel, d.bmPlanes),
              std::tuple(5, 3, 20, 32, 1));

    std::vector<uchar> memory(3 * 28, 0);
    QImage padded(memory.data(), 5, 3, 28, QImage::Format_RGB32);  // room after each row
    QImage indexed(5, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(1, 2, 3), qRgb(250, 240, 230)});
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            padded.setPixel(x, y, base.pixel(x, y));
            indexed.setPixel(x, y, uint((x + 2 * y) % 4));
        }
    }
    std::vector<QImage> sources = {base, padded, indexed};
    for (const QImage::Format format :
         {QImage::Format_RGB888, QImage::Format_BGR888, QImage::Format_RGB16, QImage::Format_Grayscale8,
          QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGBX8888,
          QImage::Format_RGBA8888})
        sources.push_back(base.convertToFormat(format));
    for (std::size_t i = 0; i < sources.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "source " << i << ", QImage::Format " << int(sources[i].format()));
        picture.SetPicture(sources[i]);
        ASSERT_EQ(SizeOf(picture), std::pair(5, 3));
        EXPECT_EQ(picture.Bytes().size(), 5u * 3u * 4u);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(Read(picture, x + 1.0f, y + 1.0f), RgbOf(sources[i].pixel(x, y))) << x << ", " << y;
    }
    EXPECT_TRUE(messages.shown.empty());
    picture.SetPicture(QImage());
    EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{ErrorBox(QStringLiteral("Division by zero"))}));
}

TEST_F(PixelBuffer, PrintShowsTheBufferAndRefreshesOrMergesOnlyWhenAsked) {
    const QImage source = DistinctPicture(5, 3);
    picture.SetPicture(source);
    const QImage background = Filled(QSize(5, 3), qRgb(1, 2, 3));
    for (const int flags : {0, 1, 2, 3, 4, 5, 6, 7}) {
        const bool refresh = flags & 1, merge = flags & 2, withPicture = flags & 4;
        SCOPED_TRACE(testing::Message() << "refresh " << refresh << " merge " << merge << " picture " << withPicture);
        CountingSurface surface(QSize(5, 3));
        if (withPicture) surface.SetPicture(background);
        picture.PrintToPictureBox(surface, refresh, merge);
        EXPECT_EQ(surface.SurfaceSize(), QSize(5, 3));
        EXPECT_EQ(surface.Image(), source);
        EXPECT_EQ(surface.refreshes, refresh ? 1 : 0);
        EXPECT_EQ(surface.HasPicture(), merge || withPicture);
        EXPECT_EQ(surface.Picture(), merge ? source : withPicture ? background : QImage());
    }
    EXPECT_TRUE(messages.shown.empty());
}

// Unset pixels (fourth byte 0) still show black, not the background.
TEST_F(PixelBuffer, PrintIntoASurfaceOfAnotherSize) {
    picture.CreateNewPicture(3, 2);
    picture.SetPixel(1, 1, 200, 100, 50);
    picture.SetPixel(3, 2, 1, 2, 3);
    CountingSurface surface(QSize(5, 4));
    surface.SetBackColor(PackColor(12, 34, 56));
    surface.SetPicture(Filled(QSize(4, 3), qRgb(200, 201, 202)));
    picture.PrintToPictureBox(surface);
    ASSERT_EQ(surface.SurfaceSize(), QSize(5, 4));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            ColorValue expected = x < 4 && y < 3 ? PackColor(200, 201, 202) : PackColor(12, 34, 56);
            if (x < 3 && y < 2) expected = x == 0 && y == 0 ? PackColor(200, 100, 50) : 0;
            if (x == 2 && y == 1) expected = PackColor(1, 2, 3);
            EXPECT_EQ(surface.Point(x, y), expected) << "pixel " << x << ", " << y;
        }
    }

    const QImage source = DistinctPicture(300, 65);
    picture.SetPicture(source);
    CountingSurface narrower(QSize(297, 65));
    picture.PrintToPictureBox(narrower);
    EXPECT_EQ(narrower.Image(), source.copy(0, 0, 297, 65));
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
