#include "picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QImage Filled(QSize size, QColor color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// A new size reaches the buffers only with Clear, which keeps the tool settings.
TEST(ClearAndResize, TheCanvasFollowsTheSizeAndClearMakesAFreshDocumentOfIt) {
    StartedWindow s;
    s.Start();
    frmDrawing& w = *s.window;
    const DrawingDocument& doc = w.Document();
    auto* p = s.Child<PictureBox>("p");
    const QPoint position = w.pos();
    for (const QSize size : {QSize(300, 200), QSize(320, 200), QSize(1000, 900), QSize(640, 480), QSize(2500, 1800),
                             QSize(800, 600)}) {
        w.ChangePictureSize(size.width(), size.height());
        QApplication::processEvents();
        EXPECT_EQ(QSize(w.PictureWidth(), w.PictureHeight()), size);
        EXPECT_EQ(w.centralWidget()->size(), size);
        EXPECT_EQ(p->size(), size);
        EXPECT_EQ(w.pos(), position);
        EXPECT_EQ(std::tuple(doc.GMPic1.Width(), doc.LightBuffer.UpperX(), doc.GMPicProgress.Width()),
                  std::tuple(640, 640, 640))
            << size.width() << " x " << size.height();
    }

    auto* swatch = s.Child<PictureBox>("LightColor1");
    auto* undo = s.Child<QAction>("mnuUndo");
    const auto expectFresh = [&] {
        EXPECT_EQ(p->geometry(), QRect(0, 0, 800, 600));
        EXPECT_EQ(p->Image(), Filled(QSize(800, 600), Qt::black));
        EXPECT_FALSE(p->HasPicture());
        EXPECT_EQ(w.centralWidget()->size(), QSize(800, 600));
        EXPECT_FALSE(undo->isEnabled());
        EXPECT_EQ(std::tuple(doc.LightBuffer.UpperX(), doc.LightBuffer.UpperY(), doc.LightsCount, doc.Lights.size()),
                  std::tuple(800, 600, 0, 1u));
        EXPECT_EQ(doc.LightBuffer.Values().size(), 801u * 601u * 3u);
        EXPECT_TRUE(std::ranges::all_of(doc.LightBuffer.Values(), [](float v) { return v == 0.0f; }));
        EXPECT_EQ(doc.UndoBuffer.Values().size(), 801u * 601u * 3u);
        EXPECT_TRUE(std::ranges::all_of(doc.GMPic1.Bytes(), [](std::uint8_t b) { return b == 0; }));
        EXPECT_EQ(std::tuple(doc.GMPic1.Width(), doc.GMPic1.Height(), doc.GMPic2.Width(), doc.GMPicProgress.Width(),
                             doc.GMPicProgress.Height()),
                  std::tuple(800, 600, 800, 800, 10));
    };
    w.ClearAll();
    QApplication::processEvents();
    expectFresh();

    s.Child<QLineEdit>("txtFog")->setText("5");
    s.Child<QLineEdit>("txtIntensity")->setText("7");
    swatch->SetBackColor(PackColor(255, 0, 0));
    p->SetPicture(Filled(QSize(100, 100), Qt::green));
    const QImage drawing = Filled(QSize(800, 600), Qt::blue);
    p->WriteBitmapBits(800, 600, drawing.constBits(), drawing.sizeInBytes());
    undo->setEnabled(true);
    s.Child<QAction>("mnuClear")->trigger();
    expectFresh();
    EXPECT_EQ(s.Child<QLineEdit>("txtFog")->text(), "5");
    EXPECT_EQ(s.Child<QLineEdit>("txtIntensity")->text(), "7");
    EXPECT_EQ(swatch->BackColor(), PackColor(255, 0, 0));
    EXPECT_EQ(std::pair(w.sIntensity(), w.sFog()), std::pair(10.0f, 10.0f));
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

}  // namespace
