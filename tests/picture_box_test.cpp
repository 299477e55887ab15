#include "support/TestSupport.h"

#include <random>

namespace {

constexpr ColorValue kBack = PackColor(10, 20, 30);

// The colour Draw writes at (x, y), whatever the width of the rows.
ColorValue RawColour(int x, int y) {
    return PackColor(uchar(x * 3 + y * 40), uchar(y * 17 + 50), uchar(x * 9 + y + 1));
}

// Writes raw rows as pixel buffers hand them over: blue, green, red and a fourth byte.
void Draw(ImageSurface& surface, int width, int height, uchar fourth = 0xFF) {
    QImage raw(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            raw.setPixel(x, y, (ToQColor(RawColour(x, y)).rgb() & 0xFFFFFF) | QRgb(fourth) << 24);
    surface.WriteBitmapBits(width, height, raw.constBits(), raw.sizeInBytes());
}

// A plain model of the surface that copies its picture and composes eagerly and writes byte by byte: the
// surface sets pixels aside lazily after a merge, and composes only once the image is looked at or drawn
// on, and must show and keep exactly the same.
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

QImage RandomPicture(QSize size, const std::function<int(int, int)>& pick) {
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) picture.setPixel(x, y, qRgb(pick(0, 255), pick(0, 255), pick(0, 255)));
    return picture;
}

TEST(ImageSurface, MergedPictureBehavesAsACopyThroughRandomWritesClearsFillsAndResizes) {
    std::mt19937 random(7);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int run = 0; run < 40; ++run) {
        TestSurface surface(QSize(pick(1, 9), pick(1, 7)));
        EagerSurface model{surface.Image().copy(), QImage()};
        model.Compose();
        surface.Cls();
        for (int step = 0; step < 30; ++step) {
            const int action = pick(0, 12);
            SCOPED_TRACE(testing::Message() << "run " << run << ", step " << step << ", action " << action);
            const QSize size = surface.SurfaceSize();
            if (action <= 2) {  // a write: the whole image, a strip of rows, or one cut off inside a pixel
                const int width = action ? pick(1, 12) : size.width(), height = action ? pick(1, 4) : size.height();
                std::vector<uchar> bits(std::size_t(width) * std::size_t(height) * 4);
                for (uchar& b : bits) b = uchar(pick(0, 255));
                const qint64 count = action == 2 ? pick(1, int(bits.size())) : qint64(bits.size());
                surface.WriteBitmapBits(width, height, bits.data(), count);
                model.Write(width, height, bits.data(), count);
            } else if (action <= 4) {
                surface.MergeImageIntoPicture();
                model.picture = model.image.copy();
            } else if (action <= 6) {  // a clear, or a new back colour, which clears too
                if (action == 6) model.back = qRgb(pick(0, 255), pick(0, 255), pick(0, 255));
                if (action == 6) surface.SetBackColor(FromQColor(model.back));
                else surface.Cls();
                model.Compose();
            } else if (action == 7) {
                // What a resize keeps is the window test's business; here the picture must survive it.
                surface.ResizeImage(QSize(pick(1, 9), pick(1, 7)));
                model.image = surface.Image().copy();
            } else if (action == 8) {
                surface.SetFillColor(PackColor(1, 2, 3));
                surface.FloodFill(pick(0, size.width() - 1), pick(0, size.height() - 1), PackColor(0, 0, 0));
                model.image = surface.Image().copy();  // the fill has tests of its own; the picture must not change
            } else if (action == 9) {
                EXPECT_EQ(surface.DetachedPicture(), model.picture);
            } else if (action == 10) {  // a whole new image, as a render writes it
                const std::size_t count = std::size_t(size.width()) * std::size_t(size.height()) * 4;
                uchar* bits = surface.NextImageBits();
                for (std::size_t i = 0; i < count; ++i) bits[i] = uchar(pick(0, 255));
                model.Write(size.width(), size.height(), bits, qint64(count));
                surface.CommitNextImage();
            } else if (action == 11) {
                model.picture = RandomPicture(QSize(pick(1, 9), pick(1, 7)), pick);
                surface.SetPicture(model.picture);
                model.Compose();
            } else {
                surface.ClearPicture();
                model.picture = QImage();
                model.Compose();
            }
            // Not looking every time lets the composing asked for pile up across steps.
            if (pick(0, 2) != 0) continue;
            ASSERT_EQ(std::pair(surface.Image(), surface.HasPicture()),
                      std::pair(model.image, !model.picture.isNull()));
        }
        surface.Cls();
        model.Compose();
        ASSERT_EQ(surface.Image(), model.image) << "run " << run;
    }
}

// Growing keeps the drawing where it was, and the new part shows the picture where it reaches and the back
// colour beyond it; a box's size, move and auto size change the widget and its image together.
TEST(PictureBox, GrowingHiddenOrShownKeepsTheDrawingAndSizeMoveAndAutoSizeChangeWidgetAndImageTogether) {
    QWidget parent;
    parent.resize(200, 200);
    auto* box = new PictureBox(&parent);
    box->SetBoxSize(4, 3);
    box->SetBackColor(kBack);
    box->SetPicture(DistinctPicture(6, 1));
    Draw(*box, 2, 2);
    box->SetBoxSize(6, 5);
    const auto drawn = [](int x, int y) {
        return x < 2 && y < 2 ? RawColour(x, y) : y < 1 && x < 6 ? DistinctColour(x, y) : kBack;
    };
    ExpectColours(*box, drawn);
    parent.show();
    box->resize(8, 6);  // a plain resize reaches the image of a shown box
    ASSERT_EQ(box->SurfaceSize(), QSize(8, 6));
    ExpectColours(*box, drawn);
    box->MoveBox(5, 6, 40, 10);
    EXPECT_EQ(std::pair(box->geometry(), box->SurfaceSize()), std::pair(QRect(5, 6, 40, 10), QSize(40, 10)));
    box->SetAutoSize(true);
    Draw(*box, 2, 2);
    box->SetPicture(DistinctPicture(21, 13));
    EXPECT_EQ(std::pair(box->geometry(), box->SurfaceSize()), std::pair(QRect(5, 6, 21, 13), QSize(21, 13)));
    ExpectColours(*box, DistinctColour);  // the new picture, with no trace of the drawing
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

// Pictures of several megabytes are copied, blanked and composed in bands of rows, one per core; every row
// must still land where it belongs, also when what is composed again starts below the top.
TEST(BigPictures, AreCopiedBlankedAndComposedRowForRowWhateverTheBands) {
    for (const QSize size : {QSize(2101, 1003), QSize(1, 3)}) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        const QImage picture = DistinctPicture(size.width(), size.height());
        PixelBuffer pixels;
        pixels.SetPicture(picture);
        ASSERT_TRUE(std::ranges::equal(pixels.Bytes(), std::span(picture.constBits(), picture.sizeInBytes())));
        pixels.CreateNewPicture(float(size.width()), float(size.height()));  // blanked where it stands
        ASSERT_EQ(std::ranges::count(pixels.Bytes(), 0), picture.sizeInBytes());

        TestSurface surface(size + QSize(0, 5));
        surface.SetBackColor(kBack);
        surface.SetPicture(picture);
        QImage expected(surface.SurfaceSize(), QImage::Format_RGB32);
        expected.fill(ToQColor(kBack));
        QPainter(&expected).drawImage(0, 0, picture);
        ASSERT_EQ(surface.Image(), expected);
        surface.SetFillColor(PackColor(1, 2, 3));
        surface.FloodFill(0, size.height() + 2, kBack);  // the strip below the picture
        surface.Cls();
        ASSERT_EQ(surface.Image(), expected);
    }
}
