// The in-memory pixel buffer: sizing, single pixels, whole-buffer fills, loading from
// pictures and copying onto a picture surface. Every failing call must report itself in
// exactly one "Error" box and leave what it had not reached yet untouched.

#include "common/ColorValue.h"
#include "picture/GMPicture.h"
#include "picture/ImageSurface.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes CopyBytes(const GMPicture& picture) {
    const auto bytes = picture.Bytes();
    return Bytes(bytes.begin(), bytes.end());
}

// A surface of a chosen size that counts how often it is asked to show itself.
class CountingSurface : public ImageSurface {
public:
    explicit CountingSurface(QSize size) { ResizeImage(size); }
    void Refresh() override { ++refreshes; }
    int refreshes = 0;
};

// A picture whose pixels all differ, so that a misplaced row or column shows.
QImage DistinctPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb((x * 7 + 1) % 256, (y * 11 + 2) % 256, (x + y * 3 + 5) % 256));
    }
    return image;
}

struct Rgb {
    std::int32_t red = 7;
    std::int32_t green = 7;
    std::int32_t blue = 7;
    bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.red << ", " << c.green << ", " << c.blue << ")";
}

Rgb Read(GMPicture& picture, float x, float y) {
    Rgb c;
    picture.GetPixel(x, y, c.red, c.green, c.blue);
    return c;
}

Rgb RgbOf(QRgb pixel) { return {qRed(pixel), qGreen(pixel), qBlue(pixel)}; }

class PixelBuffer : public testing::Test {
protected:
    ScriptedMessageBoxes messages;
    GMPicture picture{messages};
};

// ---------------------------------------------------------------------------------------
// A buffer that was never sized

TEST_F(PixelBuffer, NewBufferHasNoSizeAndNoBytes) {
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_TRUE(picture.Bytes().empty());
}

TEST_F(PixelBuffer, NewBufferSetPixelIsSubscriptOutOfRange) {
    picture.SetPixel(1, 1, 0, 0, 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0],
              (MessageRequest{QStringLiteral("Subscript out of range"), QStringLiteral("Error"),
                              MessageIcon::Critical, MessageButtons::Ok}));
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_TRUE(picture.Bytes().empty());
}

TEST_F(PixelBuffer, NewBufferGetPixelIsSubscriptOutOfRangeAndKeepsOutputs) {
    EXPECT_EQ(Read(picture, 1, 1), Rgb{});
    EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{ErrorBox(QStringLiteral("Subscript out of range"))}));
}

TEST_F(PixelBuffer, NewBufferFillAllDoesNothingQuietly) {
    picture.FillAll(1, 2, 3);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_TRUE(picture.Bytes().empty());
}

TEST_F(PixelBuffer, NewBufferClsIsDivisionByZero) {
    picture.Cls();
    EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{ErrorBox(QStringLiteral("Division by zero"))}));
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_TRUE(picture.Bytes().empty());
}

// ---------------------------------------------------------------------------------------
// Sizing and single pixels

TEST_F(PixelBuffer, CreateNewPictureGivesAZeroedBufferOfThatSize) {
    picture.CreateNewPicture(640, 480);
    EXPECT_EQ(picture.Width(), 640);
    EXPECT_EQ(picture.Height(), 480);
    ASSERT_EQ(picture.Bytes().size(), 640u * 480u * 4u);
    EXPECT_EQ(CopyBytes(picture), Bytes(640u * 480u * 4u, 0));
    EXPECT_EQ(picture.Description().bmWidthBytes, 640 * 4);
    EXPECT_EQ(picture.Description().bmBitsPixel, 32);
    EXPECT_EQ(picture.Description().bmPlanes, 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PixelBuffer, GetPixelReachesTheBottomRightCorner) {
    picture.CreateNewPicture(640, 480);
    EXPECT_EQ(Read(picture, 640, 480), (Rgb{0, 0, 0}));
    EXPECT_TRUE(messages.shown.empty());
}

struct Place {
    float x;
    float y;
};

TEST_F(PixelBuffer, GetPixelOutsideShowsErrorAndKeepsOutputs) {
    picture.CreateNewPicture(640, 480);
    const std::vector<Place> outside = {{641, 1}, {0.4f, 1}, {1, 481}, {1, 0.4f}, {0, 0}, {-5, 3}, {640.6f, 1}};
    for (const Place& p : outside) {
        SCOPED_TRACE(testing::Message() << "at " << p.x << ", " << p.y);
        messages.shown.clear();
        EXPECT_EQ(Read(picture, p.x, p.y), Rgb{});
        EXPECT_EQ(messages.shown,
                  (std::vector<MessageRequest>{ErrorBox(QStringLiteral("Subscript out of range"))}));
    }
}

struct RoundedPlace {
    float x;
    int column;  // counted from 0
};

TEST_F(PixelBuffer, PixelPositionsRoundTiesToEvenAfterTheOneIsTakenOff) {
    picture.CreateNewPicture(5, 1);
    for (int column = 0; column < 5; ++column) picture.SetPixel(float(column + 1), 1, 10 * column + 1, 2, 3);
    ASSERT_TRUE(messages.shown.empty());
    const std::vector<RoundedPlace> cases = {
        {0.5f, 0}, {1.0f, 0}, {1.5f, 0}, {1.6f, 1}, {2.5f, 2}, {3.5f, 2}, {4.5f, 4}, {5.4f, 4},
    };
    for (const RoundedPlace& c : cases) {
        SCOPED_TRACE(testing::Message() << "x " << c.x);
        EXPECT_EQ(Read(picture, c.x, 1), (Rgb{10 * c.column + 1, 2, 3}));
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PixelBuffer, SetPixelAtHalfPositionWritesTheRoundedPixel) {
    picture.CreateNewPicture(3, 3);
    picture.SetPixel(2.5f, 0.5f, 9, 8, 7);  // column 1.5 -> 2, row -0.5 -> 0
    Bytes expected(3 * 3 * 4, 0);
    expected[(0 * 3 + 2) * 4 + 0] = 7;
    expected[(0 * 3 + 2) * 4 + 1] = 8;
    expected[(0 * 3 + 2) * 4 + 2] = 9;
    EXPECT_EQ(CopyBytes(picture), expected);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PixelBuffer, CreateNewPictureWithUnusableSizeKeepsTheBuffer) {
    picture.CreateNewPicture(3, 2);
    picture.SetPixel(2, 2, 40, 50, 60);
    const Bytes before = CopyBytes(picture);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Place> sizes = {{0.5f, 100}, {100, 0}, {nan, 5}, {5, nan}, {-3, 4}, {4, 0.99f}};
    for (const Place& size : sizes) {
        SCOPED_TRACE(testing::Message() << "size " << size.x << " x " << size.y);
        picture.CreateNewPicture(size.x, size.y);
        EXPECT_EQ(picture.Width(), 3);
        EXPECT_EQ(picture.Height(), 2);
        EXPECT_EQ(CopyBytes(picture), before);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PixelBuffer, SetPixelPutsBlueGreenRedAtTheirOffsets) {
    picture.CreateNewPicture(3, 2);
    picture.SetPixel(2, 1, 11, 22, 33);
    picture.SetPixel(3, 2, 44, 55, 66);
    Bytes expected(3 * 2 * 4, 0);
    const std::size_t first = (0 * 3 + 1) * 4;
    expected[first + 2] = 11;
    expected[first + 1] = 22;
    expected[first + 0] = 33;
    const std::size_t second = (1 * 3 + 2) * 4;
    expected[second + 2] = 44;
    expected[second + 1] = 55;
    expected[second + 0] = 66;
    EXPECT_EQ(CopyBytes(picture), expected);
    EXPECT_EQ(Read(picture, 2, 1), (Rgb{11, 22, 33}));
    EXPECT_EQ(Read(picture, 3, 2), (Rgb{44, 55, 66}));
    EXPECT_TRUE(messages.shown.empty());
}

struct BadColour {
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
    Rgb stored;  // the pixel afterwards; it held (1, 2, 3) before
};

TEST_F(PixelBuffer, SetPixelOutOfByteRangeStopsAtThatChannel) {
    const std::vector<BadColour> cases = {
        {10, 300, 20, {10, 2, 3}},
        {256, 0, 0, {1, 2, 3}},
        {-1, 9, 9, {1, 2, 3}},
        {10, -5, 20, {10, 2, 3}},
        {10, 20, -1, {10, 20, 3}},
        {10, 20, 256, {10, 20, 3}},
    };
    for (const BadColour& c : cases) {
        SCOPED_TRACE(testing::Message() << "rgb " << c.red << ", " << c.green << ", " << c.blue);
        picture.CreateNewPicture(2, 2);
        picture.SetPixel(1, 1, 1, 2, 3);
        messages.shown.clear();
        picture.SetPixel(1, 1, c.red, c.green, c.blue);
        EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{ErrorBox(QStringLiteral("Overflow"))}));
        const Bytes bytes = CopyBytes(picture);
        EXPECT_EQ((Rgb{bytes[2], bytes[1], bytes[0]}), c.stored);
        EXPECT_EQ(Bytes(bytes.begin() + 3, bytes.end()), Bytes(2 * 2 * 4 - 3, 0));
    }
}

// ---------------------------------------------------------------------------------------
// Whole-buffer operations

TEST_F(PixelBuffer, FillAllOutsideByteRangeChangesNothing) {
    picture.CreateNewPicture(2, 2);
    picture.SetPixel(1, 2, 5, 6, 7);
    const Bytes before = CopyBytes(picture);
    for (const Rgb& c : {Rgb{0, 0, 256}, Rgb{-1, 0, 0}, Rgb{0, 300, 0}, Rgb{255, 255, -255}}) {
        SCOPED_TRACE(testing::Message() << "rgb " << c);
        picture.FillAll(c.red, c.green, c.blue);
        EXPECT_EQ(CopyBytes(picture), before);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PixelBuffer, FillAllWritesBlueGreenRedIntoEveryPixel) {
    picture.CreateNewPicture(2, 2);
    picture.FillAll(255, 0, 0);
    EXPECT_EQ(CopyBytes(picture), (Bytes{0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0}));
    picture.FillAll(1, 2, 3);
    EXPECT_EQ(CopyBytes(picture), (Bytes{3, 2, 1, 0, 3, 2, 1, 0, 3, 2, 1, 0, 3, 2, 1, 0}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PixelBuffer, FillAllLeavesTheFourthByteAlone) {
    picture.SetPicture(DistinctPicture(2, 2));  // a 32-bit RGB picture keeps 0xFF there
    ASSERT_EQ(picture.Bytes().size(), 16u);
    ASSERT_EQ(picture.Bytes()[3], 0xFF);
    picture.FillAll(10, 20, 30);
    EXPECT_EQ(CopyBytes(picture),
              (Bytes{30, 20, 10, 255, 30, 20, 10, 255, 30, 20, 10, 255, 30, 20, 10, 255}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PixelBuffer, ClsKeepsTheSizeAndZeroesEveryByte) {
    picture.SetPicture(DistinctPicture(4, 3));
    picture.Cls();
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.Height(), 3);
    EXPECT_EQ(CopyBytes(picture), Bytes(4 * 3 * 4, 0));
    EXPECT_TRUE(messages.shown.empty());
}

// ---------------------------------------------------------------------------------------
// Loading from a picture

TEST_F(PixelBuffer, SetPictureTakesSizeAndPixelsOfA32BitPicture) {
    const QImage source = DistinctPicture(5, 3);
    picture.SetPicture(source);
    ASSERT_TRUE(messages.shown.empty());
    EXPECT_EQ(picture.Width(), 5);
    EXPECT_EQ(picture.Height(), 3);
    EXPECT_EQ(picture.Description().bmWidth, 5);
    EXPECT_EQ(picture.Description().bmHeight, 3);
    EXPECT_EQ(picture.Description().bmWidthBytes, 20);
    EXPECT_EQ(picture.Description().bmBitsPixel, 32);
    EXPECT_EQ(picture.Description().bmPlanes, 1);
    EXPECT_EQ(Read(picture, 1, 1), RgbOf(source.pixel(0, 0)));
    EXPECT_EQ(Read(picture, 5, 3), RgbOf(source.pixel(4, 2)));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            SCOPED_TRACE(testing::Message() << "pixel " << x << ", " << y);
            EXPECT_EQ(Read(picture, float(x + 1), float(y + 1)), RgbOf(source.pixel(x, y)));
        }
    }
    EXPECT_TRUE(messages.shown.empty());
}

QImage IndexedPicture(int width, int height) {
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(1, 2, 3), qRgb(250, 240, 230)});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, uint((x + 2 * y) % 4));
    }
    return image;
}

// Every pixel's colour, row by row, as the buffer reads it and as the picture shows it.
std::vector<Rgb> ReadAll(GMPicture& picture) {
    std::vector<Rgb> colours;
    for (int y = 1; y <= picture.Height(); ++y) {
        for (int x = 1; x <= picture.Width(); ++x) colours.push_back(Read(picture, float(x), float(y)));
    }
    return colours;
}

std::vector<Rgb> ColoursOf(const QImage& image) {
    std::vector<Rgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) colours.push_back(RgbOf(image.pixel(x, y)));
    }
    return colours;
}

void ExpectLoadsColoursOf(GMPicture& picture, ScriptedMessageBoxes& messages, const std::vector<QImage>& sources) {
    for (const QImage& source : sources) {
        SCOPED_TRACE(testing::Message() << "QImage::Format " << int(source.format()));
        messages.shown.clear();
        picture.SetPicture(source);
        EXPECT_TRUE(messages.shown.empty());
        ASSERT_EQ(picture.Width(), source.width());
        ASSERT_EQ(picture.Height(), source.height());
        EXPECT_EQ(ReadAll(picture), ColoursOf(source));
    }
}

TEST_F(PixelBuffer, SetPictureConvertsPicturesOfOtherDepths) {
    const QImage base = DistinctPicture(5, 3);
    ExpectLoadsColoursOf(picture, messages,
                         {base.convertToFormat(QImage::Format_RGB888), IndexedPicture(5, 3),
                          base.convertToFormat(QImage::Format_BGR888), base.convertToFormat(QImage::Format_RGB16),
                          base.convertToFormat(QImage::Format_Grayscale8)});
}

TEST_F(PixelBuffer, SetPictureReadsOpaqueArgbPictures) {
    const QImage base = DistinctPicture(5, 3);
    ExpectLoadsColoursOf(picture, messages,
                         {base.convertToFormat(QImage::Format_ARGB32),
                          base.convertToFormat(QImage::Format_ARGB32_Premultiplied)});
}

// These are 32 bits a pixel too, but keep red first in memory: taking their bytes as
// they are would swap red and blue.
TEST_F(PixelBuffer, SetPictureReadsRedFirst32BitPictures) {
    const QImage base = DistinctPicture(5, 3);
    ExpectLoadsColoursOf(picture, messages,
                         {base.convertToFormat(QImage::Format_RGBX8888),
                          base.convertToFormat(QImage::Format_RGBA8888)});
}

// A picture made over memory of its own may leave room at the end of each row; the buffer
// still keeps four bytes a pixel with no room between rows.
TEST_F(PixelBuffer, SetPictureReadsPicturesWithRoomAfterEachRow) {
    const QImage base = DistinctPicture(5, 3);
    std::vector<uchar> memory(3 * 28, 0);
    QImage padded(memory.data(), 5, 3, 28, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) padded.setPixel(x, y, base.pixel(x, y));
    }
    ExpectLoadsColoursOf(picture, messages, {padded});
    EXPECT_EQ(picture.Bytes().size(), 5u * 3u * 4u);
}

TEST_F(PixelBuffer, SetPictureFromNullPictureIsDivisionByZero) {
    picture.SetPicture(QImage());
    EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{ErrorBox(QStringLiteral("Division by zero"))}));
}

// ---------------------------------------------------------------------------------------
// Copying onto a surface

void ExpectSameColours(const QImage& shown, const QImage& expected, QRect area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            ASSERT_EQ(RgbOf(shown.pixel(x, y)), RgbOf(expected.pixel(x, y))) << "pixel " << x << ", " << y;
        }
    }
}

TEST_F(PixelBuffer, PrintShowsTheBufferPixelsExactly) {
    const QImage source = DistinctPicture(5, 3);
    picture.SetPicture(source);
    CountingSurface surface(QSize(5, 3));
    picture.PrintToPictureBox(surface);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(surface.SurfaceSize(), QSize(5, 3));
    EXPECT_EQ(surface.Image().convertToFormat(QImage::Format_RGB32), source);
}

TEST_F(PixelBuffer, PrintShowsPixelsSetOneByOne) {
    picture.CreateNewPicture(3, 2);
    picture.SetPixel(1, 1, 200, 100, 50);
    picture.SetPixel(3, 2, 1, 2, 3);
    CountingSurface surface(QSize(3, 2));
    surface.SetBackColor(PackColor(9, 9, 9));
    picture.PrintToPictureBox(surface);
    EXPECT_TRUE(messages.shown.empty());
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            SCOPED_TRACE(testing::Message() << "pixel " << x << ", " << y);
            const Rgb c = Read(picture, float(x + 1), float(y + 1));
            EXPECT_EQ(surface.Point(x, y), PackColor(c.red, c.green, c.blue));
        }
    }
    EXPECT_EQ(surface.Point(0, 0), PackColor(200, 100, 50));
    EXPECT_EQ(surface.Point(2, 1), PackColor(1, 2, 3));
    EXPECT_EQ(surface.Point(1, 0), PackColor(0, 0, 0));
}

TEST_F(PixelBuffer, PrintIntoANarrowerSurfaceKeepsItsSizeAndEveryRowInPlace) {
    const QImage source = DistinctPicture(300, 65);
    picture.SetPicture(source);
    CountingSurface surface(QSize(297, 65));
    picture.PrintToPictureBox(surface);
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(surface.SurfaceSize(), QSize(297, 65));
    ExpectSameColours(surface.Image(), source, QRect(0, 0, 297, 65));
}

TEST_F(PixelBuffer, PrintIntoALargerSurfaceLeavesItsBackgroundAroundTheBuffer) {
    const QImage source = DistinctPicture(4, 2);
    picture.SetPicture(source);
    CountingSurface surface(QSize(6, 4));
    const ColorValue back = PackColor(12, 34, 56);
    surface.SetBackColor(back);
    QImage backgroundPicture(5, 3, QImage::Format_RGB32);
    backgroundPicture.fill(qRgb(200, 201, 202));
    surface.SetPicture(backgroundPicture);

    picture.PrintToPictureBox(surface);
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(surface.SurfaceSize(), QSize(6, 4));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            SCOPED_TRACE(testing::Message() << "pixel " << x << ", " << y);
            ColorValue expected = back;
            if (x < 5 && y < 3) expected = PackColor(200, 201, 202);
            if (x < 4 && y < 2) expected = FromQColor(QColor(source.pixel(x, y)));
            EXPECT_EQ(surface.Point(x, y), expected);
        }
    }
}

TEST_F(PixelBuffer, PrintRefreshesTheSurfaceOnlyWhenAsked) {
    picture.CreateNewPicture(2, 2);
    for (const bool refresh : {false, true}) {
        SCOPED_TRACE(testing::Message() << "refresh " << refresh);
        CountingSurface surface(QSize(2, 2));
        picture.PrintToPictureBox(surface, refresh, false);
        EXPECT_EQ(surface.refreshes, refresh ? 1 : 0);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PixelBuffer, PrintWithoutMergingLeavesTheBackgroundPictureAsItWas) {
    picture.SetPicture(DistinctPicture(3, 3));

    CountingSurface bare(QSize(3, 3));
    picture.PrintToPictureBox(bare, false, false);
    EXPECT_FALSE(bare.HasPicture());

    CountingSurface withPicture(QSize(3, 3));
    QImage backgroundPicture(3, 3, QImage::Format_RGB32);
    backgroundPicture.fill(qRgb(1, 2, 3));
    withPicture.SetPicture(backgroundPicture);
    picture.PrintToPictureBox(withPicture, false, false);
    EXPECT_TRUE(withPicture.HasPicture());
    EXPECT_EQ(withPicture.Picture(), backgroundPicture);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PixelBuffer, PrintWithMergingMakesTheImageTheBackgroundPicture) {
    const QImage source = DistinctPicture(3, 3);
    picture.SetPicture(source);
    CountingSurface surface(QSize(3, 3));
    picture.PrintToPictureBox(surface, false, true);
    EXPECT_TRUE(surface.HasPicture());
    EXPECT_EQ(surface.Picture(), surface.Image());
    EXPECT_EQ(surface.Picture(), source);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PixelBuffer, PrintingANeverSizedBufferShowsOneErrorAndWritesNothing) {
    CountingSurface surface(QSize(4, 4));
    surface.SetBackColor(PackColor(5, 6, 7));
    const QImage before = surface.Image();
    picture.PrintToPictureBox(surface, true, true);
    EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{ErrorBox(QStringLiteral("Subscript out of range"))}));
    EXPECT_EQ(surface.Image(), before);
    EXPECT_EQ(surface.refreshes, 0);
    EXPECT_FALSE(surface.HasPicture());
}

// ---------------------------------------------------------------------------------------

TEST_F(PixelBuffer, EveryFailingCallShowsItsOwnBox) {
    picture.CreateNewPicture(2, 2);
    for (int i = 0; i < 3; ++i) {
        Rgb c;
        picture.GetPixel(float(10 + i), 1, c.red, c.green, c.blue);
    }
    EXPECT_EQ(messages.shown, (std::vector<MessageRequest>(3, ErrorBox(QStringLiteral("Subscript out of range")))));
}

}  // namespace
