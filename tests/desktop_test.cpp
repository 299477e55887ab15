#include "support/TestSupport.h"

namespace {

// Drags the files over the window and, when the window takes them, drops them.
bool DropFiles(QWidget* window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    return true;
}

}  // namespace

// A single local file dropped on the window opens like one chosen with "Load...": a picture, or the error
// box and a cleared drawing for a file that is none. Two files are not taken.
TEST(DropToOpen, ASinglePictureDroppedOnTheWindowOpensLikeLoad) {
    QTemporaryDir dir;
    const QString big = dir.filePath("big.bmp"), notes = dir.filePath("notes.jpg");
    ASSERT_TRUE(FilledImage({800, 600}, Qt::red).save(big));
    QFile text(notes);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not a picture") == 13);
    text.close();
    Running s;
    EXPECT_FALSE(DropFiles(s.window.get(), {big, notes}));
    ClickWith(s.Canvas(), {10, 10});
    s.platform.messages.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(DropFiles(s.window.get(), {big}));
    ASSERT_EQ(s.platform.messages.shown.size(), 1u);
    EXPECT_EQ(std::tuple(s.platform.messages.shown[0].title, s.window->PictureWidth(), s.Doc().LightsCount,
                         s.Doc().LightBuffer().At(800, 600, 1), s.Shown(799, 599), s.platform.busy.events),
              std::tuple("Change Current Picture Size?", 800, 0, 255.0f, 0xFF0000u, Events{"busy", "default", "busy",
                                                                                          "default"}));
    ClickWith(s.Canvas(), {10, 10});
    s.platform.messages.shown.clear();
    ASSERT_TRUE(DropFiles(s.window.get(), {notes}));
    const QString unsupported = "Cannot open the picture \"notes.jpg\": Unsupported image format.";
    EXPECT_EQ(std::tuple(s.platform.messages.shown, s.Doc().LightsCount, s.Shown(10, 10)),
              std::tuple(Boxes{ErrorBox(unsupported)}, 0, 0u));
}

// Runs as the ctest entry HiDpi.AtScaleFactorTwo, which sets QT_SCALE_FACTOR=2 and names the device pixel
// ratio that must then be in effect; at a ratio of 1 there would be nothing to see.
TEST(HiDpi, LayoutStaysInPicturePixelsAndTheCanvasStaysCrisp) {
    const QByteArray ratio = qgetenv("GLIMMERAGE_TEST_DEVICE_PIXEL_RATIO");
    if (ratio.isEmpty()) GTEST_SKIP() << "runs as the ctest entry HiDpi.AtScaleFactorTwo";
    Running s;
    auto* canvas = s.Canvas();
    ASSERT_EQ(canvas->devicePixelRatioF(), ratio.toDouble());
    EXPECT_EQ(std::tuple(canvas->size(), s.window->centralWidget()->size(), s.Child("ToolBar1")->geometry()),
              std::tuple(QSize(640, 480), QSize(640, 480), QRect(16, 16, 68, 259)));

    s.Child<PictureBox>("LightColor1")->SetBackColor(PackColor(255, 128, 0));
    SendMouse(canvas, QEvent::MouseButtonPress, {100.5, 100.75}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(std::pair(s.Doc().Lights.at(1).X, s.Doc().Lights.at(1).Y), std::pair(100.0f, 100.0f));

    const QImage shown = canvas->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(1280, 960));
    for (const QPoint at : {QPoint(99, 99), QPoint(105, 99), QPoint(120, 130), QPoint(300, 200)}) {
        const QRgb expected = canvas->Image().pixel(at) & 0xFFFFFF;
        for (const QPoint corner : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
            EXPECT_EQ(shown.pixel(at * 2 + corner) & 0xFFFFFF, expected) << at.x() << "," << at.y();
    }
}
