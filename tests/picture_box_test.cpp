#include "support/TestSupport.h"

#include <QPainter>

#include <random>

namespace {

struct SizedSurface : ImageSurface {
    explicit SizedSurface(QSize size) { ResizeImage(size); }
    void Resize(QSize size) { ResizeImage(size); }
};

constexpr ColorValue kBack = PackColor(10, 20, 30);

// The colour Draw writes at (x, y), whatever the width of the rows.
ColorValue RawColour(int x, int y) {
    return PackColor(uchar(x * 3 + y * 40), uchar(y * 17 + 50), uchar(x * 9 + y + 1));
}

// Writes raw rows as pixel buffers hand them over: blue, green, red and a fourth byte.
void Draw(ImageSurface& surface, int width, int height, uchar fourth = 0xFF, qint64 count = -1) {
    std::vector<uchar> bytes;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const ColorValue c = RawColour(x, y);
            bytes.insert(bytes.end(), {uchar(BlueOf(c)), uchar(GreenOf(c)), uchar(RedOf(c)), fourth});
        }
    surface.WriteBitmapBits(width, height, bytes.data(), count < 0 ? qint64(bytes.size()) : count);
}

TEST(ImageSurface, PictureSitsAtTheTopLeftOverTheBackColourWhicheverCameFirst) {
    SizedSurface surface(QSize(5, 4));
    surface.SetBackColor(PackColor(1, 1, 1));
    surface.SetPicture(DistinctPicture(3, 2));
    surface.SetBackColor(kBack);
    EXPECT_EQ(std::pair(surface.SurfaceSize(), surface.HasPicture()), std::pair(QSize(5, 4), true));
    ExpectColours(surface, [](int x, int y) { return x < 3 && y < 2 ? DistinctColour(x, y) : kBack; });
    const QImage background = surface.Image().copy();
    Draw(surface, 5, 4);
    ASSERT_NE(surface.Image(), background);
    surface.Cls();  // restores the background
    EXPECT_EQ(surface.Image(), background);
    Draw(surface, 3, 3);
    surface.MergeImageIntoPicture();
    EXPECT_EQ(std::pair(surface.HasPicture(), surface.DetachedPicture()), std::pair(true, surface.Image()));
    surface.Cls();  // keeps the merged drawing
    ExpectColours(surface, [](int x, int y) { return x < 3 && y < 3 ? RawColour(x, y) : kBack; });

    surface.ClearPicture();
    EXPECT_FALSE(surface.HasPicture());
    ExpectColours(surface, [](int, int) { return kBack; });
    Draw(surface, 5, 4);
    surface.SetBackColor(PackColor(200, 100, 0));  // erases the drawing
    EXPECT_EQ(surface.BackColor(), PackColor(200, 100, 0));
    ExpectColours(surface, [](int, int) { return PackColor(200, 100, 0); });
}

TEST(ImageSurface, PictureIsCutNotScaledUnlessAutoSizeFitsTheSurfaceToIt) {
    SizedSurface surface(QSize(2, 3));
    surface.SetPicture(DistinctPicture(4, 5));
    EXPECT_EQ(surface.SurfaceSize(), QSize(2, 3));
    ExpectColours(surface, DistinctColour);
    for (const auto& [x, y] : {std::pair(-1, 0), {0, -1}, {2, 0}, {0, 3}, {2, 3}})
        EXPECT_EQ(surface.Point(x, y), std::nullopt) << x << ", " << y;  // Point is nothing outside
    EXPECT_EQ(SizedSurface(QSize(0, 0)).Point(0, 0), std::nullopt);
    surface.SetAutoSize(true);
    surface.SetPicture(DistinctPicture(7, 5));
    EXPECT_EQ(surface.SurfaceSize(), QSize(7, 5));
    ExpectColours(surface, DistinctColour);
}

TEST(ImageSurface, WrittenRowsAreCutWithoutShiftingStopAtTheByteCountAndSurviveAResize) {
    SizedSurface surface(QSize(4, 3));
    surface.SetBackColor(kBack);
    Draw(surface, 6, 5);
    EXPECT_EQ(surface.SurfaceSize(), QSize(4, 3));
    ExpectColours(surface, RawColour);
    surface.Cls();
    Draw(surface, 4, 3, 0xFF, 4 * 4 + 4);  // one whole row and one pixel of the next
    ExpectColours(surface, [](int x, int y) { return y == 0 || (y == 1 && x == 0) ? RawColour(x, y) : kBack; });
    surface.Cls();
    Draw(surface, 4, 3, 0xFF, 6);  // the second pixel gets its blue and green bytes only
    ExpectColours(surface, [](int x, int y) {
        if (y == 0 && x == 1) return PackColor(RedOf(kBack), GreenOf(RawColour(1, 0)), BlueOf(RawColour(1, 0)));
        return y == 0 && x == 0 ? RawColour(0, 0) : kBack;
    });
    surface.SetPicture(DistinctPicture(6, 1));  // the new part shows the background
    Draw(surface, 2, 2);
    surface.Resize(QSize(6, 5));
    ExpectColours(surface,
                  [](int x, int y) { return x < 2 && y < 2 ? RawColour(x, y) : y < 1 ? DistinctColour(x, y) : kBack; });
}

// A plain model of the surface that copies its picture eagerly: the surface sets pixels aside lazily
// after a merge and must show and keep exactly the same.
struct EagerSurface {
    QImage image, picture;
    QRgb back = qRgb(0, 0, 0);
    void Compose() {
        image.fill(back);
        QPainter(&image).drawImage(0, 0, picture);
    }
    void Write(int width, int height, const uchar* bits, qint64 count) {
        for (qint64 i = 0; i < count; ++i) {
            const qint64 x = (i / 4) % width, y = i / 4 / width;
            if (x < image.width() && y < image.height() && y < height) image.scanLine(int(y))[x * 4 + i % 4] = bits[i];
        }
    }
};

TEST(ImageSurface, MergedPictureBehavesAsACopyThroughRandomWritesClearsFillsAndResizes) {
    std::mt19937 random(7);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int run = 0; run < 40; ++run) {
        SizedSurface surface(QSize(pick(1, 9), pick(1, 7)));
        EagerSurface model{surface.Image().copy(), QImage()};
        model.Compose();
        surface.Cls();
        for (int step = 0; step < 30; ++step) {
            const int action = pick(0, 9);
            SCOPED_TRACE(testing::Message() << "run " << run << ", step " << step << ", action " << action);
            const QSize size = surface.SurfaceSize();
            if (action <= 2) {  // a write: the whole image, a strip of rows, or a cut-off part
                const int width = action == 0 ? size.width() : pick(1, 12), height = action == 0 ? size.height() : pick(1, 4);
                std::vector<uchar> bits(std::size_t(width) * std::size_t(height) * 4);
                for (uchar& b : bits) b = uchar(pick(0, 255));
                const qint64 count = action == 2 ? pick(1, int(bits.size())) : qint64(bits.size());
                surface.WriteBitmapBits(width, height, bits.data(), count);
                model.Write(width, height, bits.data(), count);
            } else if (action <= 4) {
                surface.MergeImageIntoPicture();
                model.picture = model.image.copy();
            } else if (action == 5) {
                surface.Cls();
                model.Compose();
            } else if (action == 6) {
                const QColor colour(pick(0, 255), pick(0, 255), pick(0, 255));
                surface.SetBackColor(FromQColor(colour));
                model.back = colour.rgb();
                model.Compose();
            } else if (action == 7) {
                // What a resize keeps is the resize test's business; here the picture must survive it.
                surface.Resize(QSize(pick(1, 9), pick(1, 7)));
                model.image = surface.Image().copy();
            } else if (action == 8) {
                surface.SetFillColor(PackColor(1, 2, 3));
                surface.FloodFill(pick(0, size.width() - 1), pick(0, size.height() - 1), PackColor(0, 0, 0));
                model.image = surface.Image().copy();  // the fill has tests of its own; the picture must not change
            } else {
                EXPECT_EQ(surface.DetachedPicture(), model.picture);
            }
            ASSERT_EQ(surface.Image(), model.image);
            ASSERT_EQ(surface.HasPicture(), !model.picture.isNull());
        }
        surface.Cls();
        model.Compose();
        ASSERT_EQ(surface.Image(), model.image) << "run " << run;
    }
}

TEST(PictureBox, GrowingHiddenOrShownKeepsTheDrawingAndSizeMoveAndAutoSizeChangeWidgetAndImageTogether) {
    QWidget parent;
    parent.resize(200, 200);
    auto* box = new PictureBox(&parent);
    box->SetBoxSize(4, 3);
    box->SetBackColor(kBack);
    Draw(*box, 4, 3);
    box->SetBoxSize(6, 5);
    const auto drawnOverBack = [](int x, int y) { return x < 4 && y < 3 ? RawColour(x, y) : kBack; };
    ExpectColours(*box, drawnOverBack);
    parent.show();
    box->resize(8, 6);  // a plain resize reaches the image of a shown box
    ASSERT_EQ(box->SurfaceSize(), QSize(8, 6));
    ExpectColours(*box, drawnOverBack);
    box->setGeometry(1, 2, 12, 8);
    EXPECT_EQ(box->SurfaceSize(), QSize(12, 8));
    box->SetBoxSize(30, 20);
    EXPECT_EQ(std::pair(box->size(), box->SurfaceSize()), std::pair(QSize(30, 20), QSize(30, 20)));
    box->MoveBox(5, 6, 40, 10);
    EXPECT_EQ(std::pair(box->geometry(), box->SurfaceSize()), std::pair(QRect(5, 6, 40, 10), QSize(40, 10)));
    box->SetAutoSize(true);
    box->SetPicture(DistinctPicture(21, 13));
    EXPECT_EQ(std::pair(box->geometry(), box->SurfaceSize()), std::pair(QRect(5, 6, 21, 13), QSize(21, 13)));
}

// Down and up report the button that changed, moves the buttons held (1 left, 2 right, 4 middle), and every
// report the whole picture pixel under the pointer.
TEST(PictureBox, MouseReportsButtonsShiftStateAndPosition) {
    using enum QEvent::Type;
    using enum Qt::MouseButton;
    using Report = std::tuple<char, int, int, float, float>;  // 'd'own, 'm'ove or 'u'p, button, shift, x, y
    const Qt::MouseButtons leftMiddle = LeftButton | MiddleButton;
    const struct { QEvent::Type type; Qt::MouseButton button; Qt::MouseButtons held; char kind; int code; } cases[] = {
        {MouseButtonPress, RightButton, RightButton, 'd', 2}, {MouseButtonPress, LeftButton, LeftButton, 'd', 1},
        {MouseButtonPress, MiddleButton, leftMiddle, 'd', 4}, {MouseMove, NoButton, leftMiddle, 'm', 5},
        {MouseMove, NoButton, NoButton, 'm', 0},              {MouseMove, NoButton, leftMiddle | RightButton, 'm', 7},
        {MouseButtonRelease, LeftButton, NoButton, 'u', 1},   {MouseButtonRelease, RightButton, LeftButton, 'u', 2}};
    const std::pair<Qt::KeyboardModifiers, int> shifts[] = {
        {Qt::NoModifier, 0}, {Qt::ShiftModifier, 1}, {Qt::ControlModifier, 2}, {Qt::AltModifier, 4},
        {Qt::ShiftModifier | Qt::ControlModifier, 3}, {Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, 7},
        {Qt::MetaModifier | Qt::KeypadModifier, 0}};
    for (const auto& c : cases) {
        for (const auto& [modifiers, shift] : shifts) {
            SCOPED_TRACE(testing::Message() << "event " << c.type << ", button " << int(c.button) << ", held "
                                            << int(c.held) << ", modifiers " << int(modifiers));
            PictureBox box;
            box.SetBoxSize(50, 50);
            std::vector<Report> seen;
            for (const auto& [signal, kind] : {std::pair(&PictureBox::MouseDown, 'd'), {&PictureBox::MouseMove, 'm'},
                                               {&PictureBox::MouseUp, 'u'}})
                QObject::connect(&box, signal,
                                 [&, k = kind](int b, int s, float x, float y) { seen.emplace_back(k, b, s, x, y); });
            for (const QPointF at : {QPointF(12.5, 7.25), QPointF(-0.5, 49.99)}) {
                QMouseEvent event(c.type, at, box.mapToGlobal(at), c.button, c.held, modifiers);
                QApplication::sendEvent(&box, &event);
            }
            EXPECT_EQ(seen, (std::vector{Report(c.kind, c.code, shift, 12, 7), Report(c.kind, c.code, shift, -1, 49)}));
        }
    }
}

struct CountingPictureBox : PictureBox {
    int paints = 0;
    void paintEvent(QPaintEvent* event) override { ++paints, PictureBox::paintEvent(event); }
};

// Pixel buffers leave the fourth byte 0; the screen must still show those pixels' colours.
TEST(PictureBox, RefreshPaintsTheImageExactlyBeforeItReturns) {
    CountingPictureBox box;
    box.SetBoxSize(7, 6);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.SetBackColor(kBack);
    box.SetPicture(DistinctPicture(5, 4));
    Draw(box, 3, 2, 0x00);
    const int before = box.paints;
    box.Refresh();
    EXPECT_GT(box.paints, before);
    const QImage grabbed = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(grabbed.size(), QSize(7, 6));
    ExpectColours(box, [&](int x, int y) { return FromQColor(QColor(grabbed.pixel(x, y))); });
}

}  // namespace
