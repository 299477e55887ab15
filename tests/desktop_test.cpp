#include "windows/picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QString WritePicture(const QTemporaryDir& dir, const char* name, QSize size, QColor color) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(color);
    const QString path = dir.filePath(name);
    picture.save(path);
    return path;
}

// Drags the files over the window and, when the window takes them, drops them.
bool DropFiles(QWidget* window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint at(300, 300);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    return true;
}

}  // namespace

TEST(DropToOpen, APictureDroppedOnTheWindowOpensLikeLoad) {
    QTemporaryDir dir;
    StartedWindow s;
    s.Start();
    ClickWith(s.Child<PictureBox>("p"), {10, 10});
    s.platform.messages.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(DropFiles(s.window.get(), {WritePicture(dir, "big.bmp", {800, 600}, Qt::red)}));
    EXPECT_EQ(s.platform.messages.shown.size(), 1u);
    EXPECT_EQ(s.platform.messages.shown.at(0).title, "Change Current Picture Size?");
    EXPECT_EQ(s.window->PictureWidth(), 800);
    EXPECT_EQ(s.window->Document().LightsCount, 0);
    EXPECT_EQ(s.window->Document().LightBuffer().At(800, 600, 1), 255.0f);
    EXPECT_EQ(s.Child<PictureBox>("p")->Image().pixel(799, 599) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(s.platform.busy.events, std::vector<std::string>({"busy", "default", "busy", "default"}));
}

TEST(DropToOpen, AFileThatIsNoPictureGivesTheErrorBox) {
    QTemporaryDir dir;
    QFile text(dir.filePath("notes.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    StartedWindow s;
    s.Start();
    ASSERT_TRUE(DropFiles(s.window.get(), {text.fileName()}));
    ASSERT_EQ(s.platform.messages.shown.size(), 1u);
    EXPECT_EQ(s.platform.messages.shown[0].title, "Error");
    EXPECT_EQ(s.platform.messages.shown[0].icon, MessageIcon::Critical);
}

TEST(DropToOpen, OnlyASingleLocalFileIsTaken) {
    QTemporaryDir dir;
    StartedWindow s;
    s.Start();
    const QString a = WritePicture(dir, "a.bmp", {640, 480}, Qt::red);
    const QString b = WritePicture(dir, "b.bmp", {640, 480}, Qt::blue);
    EXPECT_FALSE(DropFiles(s.window.get(), {a, b}));
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

// Runs as the ctest entry HiDpi.AtScaleFactorTwo, which sets QT_SCALE_FACTOR=2 and names the device pixel
// ratio that must then be in effect; at a ratio of 1 there would be nothing to see.
TEST(HiDpi, LayoutStaysInPicturePixelsAndTheCanvasStaysCrisp) {
    const QByteArray ratio = qgetenv("GLIMMERAGE_TEST_DEVICE_PIXEL_RATIO");
    if (ratio.isEmpty()) GTEST_SKIP() << "runs as the ctest entry HiDpi.AtScaleFactorTwo";
    StartedWindow s;
    s.Start();
    auto* canvas = s.Child<PictureBox>("p");
    ASSERT_EQ(canvas->devicePixelRatioF(), ratio.toDouble());
    EXPECT_EQ(canvas->size(), QSize(640, 480));
    EXPECT_EQ(s.window->centralWidget()->size(), QSize(640, 480));
    EXPECT_EQ(s.Child<QWidget>("ToolBar1")->geometry(), QRect(16, 16, 68, 259));

    s.Child<PictureBox>("LightColor1")->SetBackColor(PackColor(255, 128, 0));
    SendMouse(canvas, QEvent::MouseButtonPress, {100.5, 100.75}, Qt::LeftButton, Qt::LeftButton);
    const LightPoint& light = s.window->Document().Lights.at(1);
    EXPECT_EQ(std::pair(light.X, light.Y), std::pair(100.0f, 100.0f));

    const QImage shown = canvas->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(1280, 960));
    for (const QPoint at : {QPoint(99, 99), QPoint(105, 99), QPoint(120, 130), QPoint(300, 200)}) {
        const QRgb expected = canvas->Image().pixel(at) & 0xFFFFFF;
        for (const QPoint corner : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
            EXPECT_EQ(shown.pixel(at * 2 + corner) & 0xFFFFFF, expected) << at.x() << "," << at.y();
        }
    }
}
