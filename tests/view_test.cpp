#include "support/TestSupport.h"
#include "windows/canvas/CanvasBox.h"

namespace {

// The window as the user meets it: shown, active, and the canvas at a chosen size.
struct Viewed : Running {
    explicit Viewed(QSize canvas) {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        Resize(canvas);  // the window fits itself to its screen once it is there
    }
    CanvasBox* Box() const { return Child<CanvasBox>("p"); }
    QAbstractScrollArea* View() const { return Child<QAbstractScrollArea>("client"); }
    QWidget* Viewport() const { return View()->viewport(); }
    std::pair<int, int> Scrolled() const {
        return {View()->horizontalScrollBar()->value(), View()->verticalScrollBar()->value()};
    }
    void ScrollTo(int across, int down) {
        View()->horizontalScrollBar()->setValue(across);
        View()->verticalScrollBar()->setValue(down);
        QApplication::processEvents();
    }
    // The press lands on whatever widget is under the viewport point, as a real press would.
    void PressAt(QPoint inViewport) {
        QWidget* target = Viewport()->childAt(inViewport) ? Viewport()->childAt(inViewport) : Viewport();
        ClickWith(target, target->mapFrom(Viewport(), inViewport));
    }
    void Keys(QKeyCombination keys) {
        QTest::keyClick(Box(), keys.key(), keys.keyboardModifiers());
        QApplication::processEvents();
    }
    void Wheel(QPoint inViewport, QPoint angle, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(inViewport, Viewport()->mapToGlobal(inViewport), QPoint(), angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(Viewport(), &event);
    }
};

// Shift and the wheel scroll across; Ctrl and the wheel zoom about the pointer, a touchpad's small steps once they
// make up a notch. The keys zoom by two up to sixteen and down, each zoom showing its scale for a moment in a corner
// that lets presses through; a new size starts at actual pixels. With Space held a drag moves the picture, until
// Space is let go or the canvas loses the focus. None of this places a light; Ctrl+V with no picture to paste
// changes nothing, and Ctrl+O and Ctrl+Q answer as commands.
TEST(View, TheWheelKeysAndSpaceScrollAndZoomWithoutPlacingLights) {
    Viewed s({3000, 2500});
    s.Wheel({100, 100}, {0, -120}, Qt::ShiftModifier);
    EXPECT_EQ(s.Scrolled().first, 3 * s.View()->horizontalScrollBar()->singleStep());
    s.ScrollTo(400, 300);  // picture point (400 + 50, 300 + 60) stays under the pointer
    s.Wheel({50, 60}, {0, 240}, Qt::ControlModifier);
    EXPECT_EQ(std::pair(s.Box()->Zoom(), s.Scrolled()), std::pair(4.0, std::pair(1750, 1380)));
    QStringList zooms;
    for (const int step : {-40, -40, -40}) {
        s.Wheel({50, 60}, {0, step}, Qt::ControlModifier);
        zooms << QString::number(s.Box()->Zoom());
    }
    const auto* note = s.Viewport()->findChild<QLabel*>("zoomNote");
    ASSERT_NE(note, nullptr);
    for (const Qt::Key key : {Qt::Key_Equal, Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Plus, Qt::Key_0, Qt::Key_Minus,
                              Qt::Key_Minus, Qt::Key_Minus}) {
        s.Keys(Qt::ControlModifier | key);
        zooms << QString::number(s.Box()->Zoom()) + (note->isVisible() ? " " + note->text() : " hidden");
    }
    EXPECT_EQ(zooms, QStringList({"4", "4", "2", "4 400%", "8 800%", "16 1600%", "16 1600%", "1 100%", "0.5 50%",
                                  "0.25 25%", "0.125 12.5%"}));
    EXPECT_EQ(s.Viewport()->childAt(note->geometry().center()), nullptr);
    EXPECT_EQ(s.Doc().LightsCount, 0);
    s.Resize({3200, 2500});
    EXPECT_EQ(s.Box()->Zoom(), 1.0);

    s.ScrollTo(400, 300);
    s.Box()->setFocus();
    QTest::keyPress(s.Box(), Qt::Key_Space);
    for (const auto& [type, at, held] : {std::tuple(QEvent::MouseButtonPress, QPoint(300, 300), Qt::LeftButton),
                                         {QEvent::MouseMove, {100, 200}, Qt::LeftButton},
                                         {QEvent::MouseButtonRelease, {100, 200}, Qt::NoButton}})
        SendMouse(s.Box(), type, s.Box()->mapFrom(s.Viewport(), at), Qt::LeftButton, held);
    EXPECT_EQ(std::pair(s.Scrolled(), s.Box()->cursor().shape()), std::pair(std::pair(600, 400), Qt::OpenHandCursor));
    QTest::keyRelease(s.Box(), Qt::Key_Space);
    EXPECT_EQ(s.Box()->cursor().shape(), Qt::ArrowCursor);
    QTest::keyPress(s.Box(), Qt::Key_Space);
    s.Child("txtFog")->setFocus();
    s.PressAt({320, 100});
    EXPECT_EQ(s.Doc().LightsCount, 1);
    QGuiApplication::clipboard()->setText("7");  // no picture to paste: the drawing stays as it is
    s.Box()->setFocus();
    s.platform.messages.shown.clear();
    s.Keys(Qt::ControlModifier | Qt::Key_V);
    EXPECT_EQ(std::pair(s.Doc().LightsCount, s.platform.messages.shown), std::pair(1, Boxes{}));

    s.Keys(Qt::ControlModifier | Qt::Key_O);
    EXPECT_EQ(s.platform.files.requests.size(), 1u);
    s.Keys(Qt::ControlModifier | Qt::Key_Q);
    EXPECT_FALSE(s.window->isVisible());
}

}  // namespace

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
