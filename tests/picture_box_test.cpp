// The picture surface (image over background picture over background colour) and the
// widget that shows it and reports the mouse to the drawing handlers.

#include "common/ColorValue.h"
#include "picture/ImageSurface.h"
#include "picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

namespace {

// A surface with no widget behind it, sized directly as a widget would size it.
class SizedSurface : public ImageSurface {
public:
    explicit SizedSurface(QSize size) { ResizeImage(size); }
    void Resize(QSize size) { ResizeImage(size); }
};

QImage DistinctPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 20 + 3, y * 30 + 4, (x + y) * 5 + 100));
    }
    return image;
}

ColorValue ColourAt(const QImage& image, int x, int y) {
    const QRgb pixel = image.pixel(x, y);
    return PackColor(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

// Raw rows as pixel buffers hand them over: blue, green, red and a fourth byte per pixel.
std::vector<uchar> RawPixels(int width, int height, uchar fourth = 0xFF) {
    std::vector<uchar> bytes;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bytes.push_back(uchar(x * 9 + y + 1));   // blue
            bytes.push_back(uchar(y * 17 + 50));     // green
            bytes.push_back(uchar(x * 3 + y * 40));  // red
            bytes.push_back(fourth);
        }
    }
    return bytes;
}

ColorValue RawColour(int width, int x, int y) {
    const std::vector<uchar> bytes = RawPixels(width, y + 1);
    const std::size_t at = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
    return PackColor(bytes[at + 2], bytes[at + 1], bytes[at]);
}

// Each pixel of `surface` compared with what `expected(x, y)` says it should show.
template <typename Expected>
void ExpectColours(const ImageSurface& surface, Expected&& expected) {
    const QSize size = surface.SurfaceSize();
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            ASSERT_EQ(surface.Point(x, y), std::optional<ColorValue>(expected(x, y))) << "pixel " << x << ", " << y;
        }
    }
}

constexpr ColorValue kBack = PackColor(10, 20, 30);

// ---------------------------------------------------------------------------------------
// ImageSurface

TEST(ImageSurface, PictureSitsUnscaledAtTheTopLeftOverTheBackColour) {
    SizedSurface surface(QSize(5, 4));
    surface.SetBackColor(kBack);
    const QImage picture = DistinctPicture(3, 2);
    surface.SetPicture(picture);
    EXPECT_TRUE(surface.HasPicture());
    EXPECT_EQ(surface.SurfaceSize(), QSize(5, 4));
    ExpectColours(surface, [&](int x, int y) { return x < 3 && y < 2 ? ColourAt(picture, x, y) : kBack; });
}

TEST(ImageSurface, PictureLargerThanTheSurfaceIsCutNotScaled) {
    SizedSurface surface(QSize(2, 3));
    const QImage picture = DistinctPicture(4, 5);
    surface.SetPicture(picture);
    EXPECT_EQ(surface.SurfaceSize(), QSize(2, 3));
    ExpectColours(surface, [&](int x, int y) { return ColourAt(picture, x, y); });
}

TEST(ImageSurface, AutoSizeGivesTheSurfaceThePictureSize) {
    SizedSurface surface(QSize(2, 2));
    surface.SetAutoSize(true);
    const QImage picture = DistinctPicture(7, 5);
    surface.SetPicture(picture);
    EXPECT_EQ(surface.SurfaceSize(), QSize(7, 5));
    ExpectColours(surface, [&](int x, int y) { return ColourAt(picture, x, y); });
}

TEST(ImageSurface, WithoutAutoSizeThePictureLeavesTheSizeAlone) {
    SizedSurface surface(QSize(2, 2));
    surface.SetPicture(DistinctPicture(7, 5));
    EXPECT_EQ(surface.SurfaceSize(), QSize(2, 2));
}

TEST(ImageSurface, ClearPictureLeavesThePlainBackColour) {
    SizedSurface surface(QSize(4, 3));
    surface.SetBackColor(kBack);
    surface.SetPicture(DistinctPicture(4, 3));
    surface.ClearPicture();
    EXPECT_FALSE(surface.HasPicture());
    ExpectColours(surface, [](int, int) { return kBack; });
}

TEST(ImageSurface, ClsAfterWritingRestoresTheBackgroundExactly) {
    SizedSurface surface(QSize(5, 4));
    surface.SetBackColor(kBack);
    surface.SetPicture(DistinctPicture(3, 2));
    const QImage background = surface.Image().copy();
    const std::vector<uchar> raw = RawPixels(5, 4);
    surface.WriteBitmapBits(5, 4, raw.data(), qint64(raw.size()));
    ASSERT_NE(surface.Image(), background);
    surface.Cls();
    EXPECT_EQ(surface.Image(), background);
}

TEST(ImageSurface, MergedDrawingSurvivesCls) {
    SizedSurface surface(QSize(5, 4));
    surface.SetBackColor(kBack);
    const std::vector<uchar> raw = RawPixels(3, 3);
    surface.WriteBitmapBits(3, 3, raw.data(), qint64(raw.size()));
    surface.MergeImageIntoPicture();
    const QImage merged = surface.Image().copy();
    EXPECT_TRUE(surface.HasPicture());
    EXPECT_EQ(surface.Picture(), merged);
    surface.Cls();
    EXPECT_EQ(surface.Image(), merged);
    ExpectColours(surface, [](int x, int y) { return x < 3 && y < 3 ? RawColour(3, x, y) : kBack; });
}

TEST(ImageSurface, NewBackColourErasesDrawing) {
    SizedSurface surface(QSize(4, 4));
    surface.SetBackColor(kBack);
    const std::vector<uchar> raw = RawPixels(4, 4);
    surface.WriteBitmapBits(4, 4, raw.data(), qint64(raw.size()));
    const ColorValue next = PackColor(200, 100, 0);
    surface.SetBackColor(next);
    EXPECT_EQ(surface.BackColor(), next);
    ExpectColours(surface, [&](int, int) { return next; });
}

TEST(ImageSurface, NewBackColourShowsUnderThePicture) {
    SizedSurface surface(QSize(4, 4));
    const QImage picture = DistinctPicture(2, 3);
    surface.SetPicture(picture);
    surface.SetBackColor(kBack);
    ExpectColours(surface, [&](int x, int y) { return x < 2 && y < 3 ? ColourAt(picture, x, y) : kBack; });
}

TEST(ImageSurface, PointGivesThePackedColourInsideAndNothingOutside) {
    SizedSurface surface(QSize(3, 2));
    const QImage picture = DistinctPicture(3, 2);
    surface.SetPicture(picture);
    const QRgb corner = picture.pixel(2, 1);
    EXPECT_EQ(surface.Point(2, 1), PackColor(qRed(corner), qGreen(corner), qBlue(corner)));
    for (const QPoint outside : {QPoint(-1, 0), QPoint(0, -1), QPoint(3, 0), QPoint(0, 2), QPoint(3, 2)}) {
        SCOPED_TRACE(testing::Message() << "at " << outside.x() << ", " << outside.y());
        EXPECT_EQ(surface.Point(outside.x(), outside.y()), std::nullopt);
    }
    SizedSurface empty(QSize(0, 0));
    EXPECT_EQ(empty.Point(0, 0), std::nullopt);
}

TEST(ImageSurface, ShortByteCountWritesOnlyThoseBytes) {
    SizedSurface surface(QSize(4, 3));
    surface.SetBackColor(kBack);
    const std::vector<uchar> raw = RawPixels(4, 3);

    // One whole row and one pixel of the next.
    surface.WriteBitmapBits(4, 3, raw.data(), 4 * 4 + 4);
    ExpectColours(surface, [](int x, int y) { return y == 0 || (y == 1 && x == 0) ? RawColour(4, x, y) : kBack; });

    // A pixel and a half: the second pixel gets its blue and green bytes only.
    surface.Cls();
    surface.WriteBitmapBits(4, 3, raw.data(), 6);
    const ColorValue second = RawColour(4, 1, 0);
    ExpectColours(surface, [&](int x, int y) {
        if (y == 0 && x == 0) return RawColour(4, 0, 0);
        if (y == 0 && x == 1) return PackColor(RedOf(kBack), GreenOf(second), BlueOf(second));
        return kBack;
    });
}

TEST(ImageSurface, RowsWiderOrTallerThanTheSurfaceAreCutWithoutShifting) {
    SizedSurface surface(QSize(3, 2));
    const std::vector<uchar> raw = RawPixels(5, 4);
    surface.WriteBitmapBits(5, 4, raw.data(), qint64(raw.size()));
    EXPECT_EQ(surface.SurfaceSize(), QSize(3, 2));
    ExpectColours(surface, [](int x, int y) { return RawColour(5, x, y); });
}

TEST(ImageSurface, ResizingKeepsDrawingAndShowsTheBackgroundInTheNewPart) {
    SizedSurface surface(QSize(3, 3));
    surface.SetBackColor(kBack);
    const QImage picture = DistinctPicture(5, 1);
    surface.SetPicture(picture);
    const std::vector<uchar> raw = RawPixels(2, 2);
    surface.WriteBitmapBits(2, 2, raw.data(), qint64(raw.size()));
    surface.Resize(QSize(5, 4));
    ExpectColours(surface, [&](int x, int y) {
        if (x < 2 && y < 2) return RawColour(2, x, y);
        return y < 1 ? ColourAt(picture, x, y) : kBack;
    });
}

// ---------------------------------------------------------------------------------------
// PictureBox

TEST(PictureBox, SetBoxSizeAndMoveBoxChangeWidgetAndImageTogether) {
    QWidget parent;
    auto* box = new PictureBox(&parent);
    box->SetBoxSize(30, 20);
    EXPECT_EQ(box->size(), QSize(30, 20));
    EXPECT_EQ(box->SurfaceSize(), QSize(30, 20));
    box->MoveBox(5, 6, 40, 10);
    EXPECT_EQ(box->geometry(), QRect(5, 6, 40, 10));
    EXPECT_EQ(box->SurfaceSize(), QSize(40, 10));
}

TEST(PictureBox, AutoSizeGivesTheWidgetThePictureSize) {
    QWidget parent;
    auto* box = new PictureBox(&parent);
    box->MoveBox(3, 4, 10, 10);
    box->SetAutoSize(true);
    box->SetPicture(DistinctPicture(21, 13));
    EXPECT_EQ(box->geometry(), QRect(3, 4, 21, 13));
    EXPECT_EQ(box->SurfaceSize(), QSize(21, 13));
}

TEST(PictureBox, ImageFollowsAPlainResizeOfAShownBox) {
    QWidget parent;
    parent.resize(200, 200);
    auto* box = new PictureBox(&parent);
    parent.show();
    box->resize(37, 23);
    EXPECT_EQ(box->SurfaceSize(), QSize(37, 23));
    box->setGeometry(1, 2, 12, 8);
    EXPECT_EQ(box->SurfaceSize(), QSize(12, 8));
}

TEST(PictureBox, GrowingKeepsTheDrawingAtTheTopLeft) {
    QWidget parent;
    parent.resize(200, 200);
    auto* box = new PictureBox(&parent);
    box->SetBoxSize(4, 3);
    box->SetBackColor(kBack);
    const std::vector<uchar> raw = RawPixels(4, 3);
    box->WriteBitmapBits(4, 3, raw.data(), qint64(raw.size()));

    box->SetBoxSize(6, 5);
    ExpectColours(*box, [](int x, int y) { return x < 4 && y < 3 ? RawColour(4, x, y) : kBack; });

    parent.show();
    box->resize(8, 6);
    ASSERT_EQ(box->SurfaceSize(), QSize(8, 6));
    ExpectColours(*box, [](int x, int y) { return x < 4 && y < 3 ? RawColour(4, x, y) : kBack; });
}

struct MouseReport {
    char kind = '?';  // 'd'own, 'm'ove, 'u'p
    int button = -1;
    int shift = -1;
    float x = -1;
    float y = -1;
    bool operator==(const MouseReport&) const = default;
};

std::ostream& operator<<(std::ostream& out, const MouseReport& r) {
    return out << r.kind << " button " << r.button << " shift " << r.shift << " at " << r.x << ", " << r.y;
}

// Everything the box reports, in order.
void Record(PictureBox& box, std::vector<MouseReport>& reports) {
    QObject::connect(&box, &PictureBox::MouseDown, &box,
                     [&reports](int b, int s, float x, float y) { reports.push_back({'d', b, s, x, y}); });
    QObject::connect(&box, &PictureBox::MouseMove, &box,
                     [&reports](int b, int s, float x, float y) { reports.push_back({'m', b, s, x, y}); });
    QObject::connect(&box, &PictureBox::MouseUp, &box,
                     [&reports](int b, int s, float x, float y) { reports.push_back({'u', b, s, x, y}); });
}

struct MouseCase {
    const char* name;
    QEvent::Type type;
    Qt::MouseButton button;
    Qt::MouseButtons held;
    MouseReport expected;
};

TEST(PictureBox, MouseReportsTheChangedButtonOrTheHeldButtons) {
    const std::vector<MouseCase> cases = {
        {"right down", QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {'d', 2, 0, 10.0f, 20.0f}},
        {"left down", QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {'d', 1, 0, 10.0f, 20.0f}},
        {"middle down with left held", QEvent::MouseButtonPress, Qt::MiddleButton,
         Qt::LeftButton | Qt::MiddleButton, {'d', 4, 0, 10.0f, 20.0f}},
        {"move with left and middle", QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::MiddleButton,
         {'m', 5, 0, 10.0f, 20.0f}},
        {"move with nothing held", QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {'m', 0, 0, 10.0f, 20.0f}},
        {"move with all held", QEvent::MouseMove, Qt::NoButton,
         Qt::LeftButton | Qt::RightButton | Qt::MiddleButton, {'m', 7, 0, 10.0f, 20.0f}},
        {"left up", QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {'u', 1, 0, 10.0f, 20.0f}},
        {"right up with left held", QEvent::MouseButtonRelease, Qt::RightButton, Qt::LeftButton,
         {'u', 2, 0, 10.0f, 20.0f}},
    };
    for (const MouseCase& c : cases) {
        SCOPED_TRACE(c.name);
        PictureBox box;
        box.SetBoxSize(50, 50);
        std::vector<MouseReport> reports;
        Record(box, reports);
        SendMouse(&box, c.type, QPoint(10, 20), c.button, c.held);
        EXPECT_EQ(reports, std::vector<MouseReport>{c.expected});
    }
}

struct ShiftCase {
    Qt::KeyboardModifiers modifiers;
    int shift;
};

TEST(PictureBox, MouseReportsShiftCtrlAndAltAsASum) {
    const std::vector<ShiftCase> cases = {
        {Qt::NoModifier, 0},
        {Qt::ShiftModifier, 1},
        {Qt::ControlModifier, 2},
        {Qt::AltModifier, 4},
        {Qt::ShiftModifier | Qt::ControlModifier, 3},
        {Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, 7},
        {Qt::MetaModifier | Qt::KeypadModifier, 0},
    };
    for (const ShiftCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "modifiers " << int(c.modifiers));
        PictureBox box;
        box.SetBoxSize(50, 50);
        std::vector<MouseReport> reports;
        Record(box, reports);
        const QPointF at(12.5, 7.25);
        const QPointF global = box.mapToGlobal(at);
        QMouseEvent down(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, c.modifiers);
        QApplication::sendEvent(&box, &down);
        QMouseEvent move(QEvent::MouseMove, at, global, Qt::NoButton, Qt::LeftButton, c.modifiers);
        QApplication::sendEvent(&box, &move);
        QMouseEvent up(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, c.modifiers);
        QApplication::sendEvent(&box, &up);
        EXPECT_EQ(reports, (std::vector<MouseReport>{{'d', 1, c.shift, 12.5f, 7.25f},
                                                     {'m', 1, c.shift, 12.5f, 7.25f},
                                                     {'u', 1, c.shift, 12.5f, 7.25f}}));
    }
}

// Counts the paints, so that a test can tell whether one happened before control returned.
class CountingPictureBox : public PictureBox {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        PictureBox::paintEvent(event);
    }
};

void ExpectScreenShowsImage(PictureBox& box) {
    const QImage grabbed = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(grabbed.size(), box.SurfaceSize());
    for (int y = 0; y < grabbed.height(); ++y) {
        for (int x = 0; x < grabbed.width(); ++x) {
            ASSERT_EQ(ColourAt(grabbed, x, y), box.Point(x, y).value_or(-1)) << "pixel " << x << ", " << y;
        }
    }
}

TEST(PictureBox, RefreshPaintsBeforeItReturns) {
    CountingPictureBox box;
    box.SetBoxSize(6, 5);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.SetBackColor(kBack);
    const std::vector<uchar> raw = RawPixels(6, 5);
    box.WriteBitmapBits(6, 5, raw.data(), qint64(raw.size()));
    const int before = box.paints;
    box.Refresh();
    EXPECT_GT(box.paints, before);
    ExpectScreenShowsImage(box);
}

TEST(PictureBox, ScreenShowsPicturesAndBackground) {
    PictureBox box;
    box.SetBoxSize(7, 6);
    box.SetBackColor(kBack);
    box.SetPicture(DistinctPicture(4, 3));
    ExpectScreenShowsImage(box);
}

// Pixel buffers leave the fourth byte of each pixel 0; the screen must still show the colour.
TEST(PictureBox, ScreenShowsRowsWhoseFourthByteIsZero) {
    PictureBox box;
    box.SetBoxSize(6, 5);
    box.SetBackColor(kBack);
    const std::vector<uchar> raw = RawPixels(4, 3, 0x00);
    box.WriteBitmapBits(4, 3, raw.data(), qint64(raw.size()));
    ExpectScreenShowsImage(box);
}

}  // namespace
