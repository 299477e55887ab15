#include "picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool AllZero(std::span<const float> values) {
    return std::all_of(values.begin(), values.end(), [](float v) { return v == 0.0f; });
}

bool AllZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

bool ShowsOnly(const QImage& image, QRgb color) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != (color & 0xFFFFFF)) return false;
        }
    }
    return true;
}

QImage Filled(QSize size, QColor color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

}  // namespace

TEST(ClearAndResize, ANewSizeWithClearGivesAFreshDocumentOfThatSize) {
    StartedWindow s;
    s.Start();
    frmDrawing& w = *s.window;
    const QPoint position = w.pos();

    w.ChangePictureSize(800, 600);
    w.ClearAll();
    QApplication::processEvents();

    EXPECT_EQ(s.Child<PictureBox>("p")->geometry(), QRect(0, 0, 800, 600));
    EXPECT_EQ(s.Child<PictureBox>("p")->Image().size(), QSize(800, 600));
    EXPECT_EQ(w.centralWidget()->size(), QSize(800, 600));
    EXPECT_EQ(w.pos(), position);

    const DrawingDocument& doc = w.Document();
    EXPECT_EQ(doc.LightBuffer.UpperX(), 800);
    EXPECT_EQ(doc.LightBuffer.UpperY(), 600);
    EXPECT_EQ(doc.LightBuffer.Values().size(), 801u * 601u * 3u);
    EXPECT_TRUE(AllZero(doc.LightBuffer.Values()));
    EXPECT_EQ(doc.UndoBuffer.Values().size(), 801u * 601u * 3u);
    EXPECT_EQ(doc.GMPic1.Width(), 800);
    EXPECT_EQ(doc.GMPic1.Height(), 600);
    EXPECT_TRUE(AllZero(doc.GMPic1.Bytes()));
    EXPECT_EQ(doc.GMPic2.Width(), 800);
    EXPECT_EQ(doc.GMPicProgress.Width(), 800);
    EXPECT_EQ(doc.GMPicProgress.Height(), 10);
}

TEST(ClearAndResize, TheClientAreaAlwaysMatchesTheCanvas) {
    StartedWindow s;
    s.Start();
    frmDrawing& w = *s.window;
    for (const QSize size : {QSize(300, 200), QSize(1000, 900), QSize(640, 480), QSize(2500, 1800)}) {
        w.ChangePictureSize(size.width(), size.height());
        QApplication::processEvents();
        EXPECT_EQ(w.centralWidget()->size(), size);
        EXPECT_EQ(s.Child<PictureBox>("p")->size(), size);
    }
}

TEST(ClearAndResize, ChangingTheSizeAloneKeepsTheBuffers) {
    StartedWindow s;
    s.Start();
    s.window->ChangePictureSize(320, 200);
    const DrawingDocument& doc = s.window->Document();
    EXPECT_EQ(s.window->PictureWidth(), 320);
    EXPECT_EQ(s.window->PictureHeight(), 200);
    EXPECT_EQ(doc.GMPic1.Width(), 640);
    EXPECT_EQ(doc.LightBuffer.UpperX(), 640);
    EXPECT_EQ(doc.GMPicProgress.Width(), 640);
}

TEST(ClearAndResize, ClearThrowsTheDrawingAwayButKeepsTheToolSettings) {
    StartedWindow s;
    s.Start();
    frmDrawing& w = *s.window;
    auto* p = s.Child<PictureBox>("p");
    auto* swatch = s.Child<PictureBox>("LightColor1");
    auto* undo = s.Child<QAction>("mnuUndo");

    w.ChangePictureSize(800, 600);
    w.ClearAll();
    s.Child<QLineEdit>("txtFog")->setText("5");
    s.Child<QLineEdit>("txtIntensity")->setText("7");
    swatch->SetBackColor(PackColor(255, 0, 0));
    p->SetPicture(Filled(QSize(100, 100), Qt::green));
    const QImage drawing = Filled(QSize(800, 600), Qt::blue);
    p->WriteBitmapBits(800, 600, drawing.constBits(), drawing.sizeInBytes());
    undo->setEnabled(true);

    s.Child<QAction>("mnuClear")->trigger();

    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(p->HasPicture());
    EXPECT_TRUE(ShowsOnly(p->Image(), qRgb(0, 0, 0)));
    EXPECT_EQ(w.PictureWidth(), 800);
    EXPECT_EQ(w.PictureHeight(), 600);
    EXPECT_EQ(p->size(), QSize(800, 600));
    EXPECT_EQ(s.Child<QLineEdit>("txtFog")->text(), "5");
    EXPECT_EQ(s.Child<QLineEdit>("txtIntensity")->text(), "7");
    EXPECT_EQ(swatch->BackColor(), PackColor(255, 0, 0));
    EXPECT_EQ(w.sIntensity(), 10.0f);
    EXPECT_EQ(w.sFog(), 10.0f);
    EXPECT_EQ(w.Document().LightsCount, 0);
    EXPECT_EQ(w.Document().Lights.size(), 1u);
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

TEST(ClearAndResize, ClearingTwiceIsLikeClearingOnce) {
    StartedWindow s;
    s.Start();
    s.window->ClearAll();
    const DrawingDocument& doc = s.window->Document();
    const std::vector<float> once(doc.LightBuffer.Values().begin(), doc.LightBuffer.Values().end());
    const QImage canvasOnce = s.Child<PictureBox>("p")->Image().copy();
    s.window->ClearAll();
    EXPECT_TRUE(std::equal(once.begin(), once.end(), doc.LightBuffer.Values().begin(),
                           doc.LightBuffer.Values().end()));
    EXPECT_EQ(s.Child<PictureBox>("p")->Image(), canvasOnce);
    EXPECT_EQ(doc.GMPic1.Width(), 640);
    EXPECT_EQ(doc.LightsCount, 0);
}
