#include "support/TestSupport.h"

// A new size reaches the buffers only with Clear, which keeps the tool settings.
TEST(ClearAndResize, TheCanvasFollowsTheSizeAndClearMakesAFreshDocumentOfIt) {
    Running s;
    frmDrawing& w = *s.window;
    const QPoint position = w.pos();
    for (const QSize size : {QSize(300, 200), QSize(320, 200), QSize(1000, 900), QSize(640, 480), QSize(1600, 950),
                             QSize(800, 600)}) {
        w.ChangePictureSize(size.width(), size.height());
        QApplication::processEvents();
        const DrawingDocument& doc = s.Doc();
        EXPECT_EQ(std::tuple(QSize(w.PictureWidth(), w.PictureHeight()), w.centralWidget()->size(), s.Canvas()->size(),
                             w.pos(), doc.GMPic1.Width(), doc.LightBuffer().UpperX(), doc.GMPicProgress.Width()),
                  std::tuple(size, s.ClientFor(size), size, position, 640, 640, 640));
    }
    w.ClearAll();
    QApplication::processEvents();
    ExpectFreshDocument(s, {800, 600});

    s.Child<QLineEdit>("txtFog")->setText("5");
    s.Child<QLineEdit>("txtIntensity")->setText("7");
    s.Child<PictureBox>("LightColor1")->SetBackColor(PackColor(255, 0, 0));
    s.Canvas()->SetPicture(FilledImage({100, 100}, Qt::green));
    const QImage drawing = FilledImage({800, 600}, Qt::blue);
    s.Canvas()->WriteBitmapBits(800, 600, drawing.constBits(), drawing.sizeInBytes());
    s.Action("mnuUndo")->setEnabled(true);
    s.Action("mnuClear")->trigger();
    ExpectFreshDocument(s, {800, 600});
    EXPECT_EQ(std::tuple(s.Child<QLineEdit>("txtFog")->text(), s.Child<QLineEdit>("txtIntensity")->text(),
                         s.Child<PictureBox>("LightColor1")->BackColor(), w.sIntensity(), w.sFog()),
              std::tuple("5", "7", PackColor(255, 0, 0), 10.0f, 10.0f));
    EXPECT_TRUE(s.platform.messages.shown.empty());
}
