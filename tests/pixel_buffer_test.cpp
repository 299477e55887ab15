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

}  // namespace
