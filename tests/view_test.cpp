#include "support/LightReference.h"
#include "support/TestSupport.h"
#include "windows/canvas/CanvasBox.h"
#include "windows/canvas/CanvasView.h"

namespace {

// The window as the user meets it: shown, active, and the canvas at a chosen size.
struct Viewed : Running {
    explicit Viewed(QSize canvas) {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        Resize(canvas);  // the window fits itself to its screen once it is there
        SetAutoExposure(platform, "0");
    }
    CanvasView* View() const { return Child<CanvasView>("client"); }
    CanvasBox* Box() const { return Child<CanvasBox>("p"); }
    QWidget* Viewport() const { return View()->viewport(); }
    QScrollBar* Across() const { return View()->horizontalScrollBar(); }
    QScrollBar* Down() const { return View()->verticalScrollBar(); }
    // The press lands on whatever widget is under the viewport point, as a real press would.
    void PressAt(QPoint inViewport, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* target = Viewport()->childAt(inViewport);
        if (target == nullptr) target = Viewport();
        ClickWith(target, target->mapFrom(Viewport(), inViewport), button);
    }
    void Keys(QKeyCombination keys, QWidget* to = nullptr) {
        QTest::keyClick(to != nullptr ? to : Box(), keys.key(), keys.keyboardModifiers());
        QApplication::processEvents();
    }
    void Wheel(QPoint inViewport, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent event(inViewport, Viewport()->mapToGlobal(inViewport), QPoint(), angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(Viewport(), &event);
    }
    std::pair<float, float> LastLight() const {
        const LightPoint& light = Doc().Lights.at(std::size_t(Doc().LightsCount));
        return {light.X, light.Y};
    }
    void ScrollTo(int across, int down) {
        Across()->setValue(across);
        Down()->setValue(down);
        QApplication::processEvents();
    }
    QImage Grab() const { return Box()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST(ViewFitting, ACanvasThatFitsIsTheWholeInsideAndABigOneScrollsInsideTheScreen) {
    Viewed s({640, 480});
    EXPECT_EQ(std::tuple(s.window->centralWidget()->size(), s.Across()->isVisible(), s.Down()->isVisible()),
              std::tuple(QSize(640, 480), false, false));

    s.Resize({2000, 1500});
    const QRect screen = s.window->screen()->availableGeometry();
    // The window takes all the room the screen gives it, to the pixel.
    EXPECT_EQ(std::tuple(screen.contains(s.window->frameGeometry()), s.window->frameGeometry().height(),
                         s.Across()->isVisible(), s.Down()->isVisible(), s.Box()->size()),
              std::tuple(true, screen.height(), true, true, QSize(2000, 1500)));

    // Scrolled to the far corner, the last pixel that shows is the picture's last.
    s.ScrollTo(s.Across()->maximum(), s.Down()->maximum());
    s.PressAt(s.View()->VisibleCanvas().bottomRight());
    EXPECT_EQ(s.LastLight(), std::pair(1999.0f, 1499.0f));
    // The panel kept its place in the view while the canvas scrolled under it.
    EXPECT_EQ(s.Child("ToolBar1")->geometry(), QRect(16, 16, 68, 259));

    // A change of the screen's free area fits the window again.
    const QSize fitted = s.window->size();
    s.window->resize(700, 500);
    emit s.window->screen()->availableGeometryChanged(screen);
    QApplication::processEvents();
    EXPECT_EQ(s.window->size(), fitted);
}

TEST(ViewFitting, ATinyCanvasKeepsTheMenuOnOneLineAndTheDarkAroundItDoesNothing) {
    Viewed s({1, 1});
    const QSize bar = s.window->menuBar()->sizeHint();  // one line of items
    EXPECT_EQ(std::tuple(s.window->width() >= bar.width(), s.window->menuBar()->height(), s.Box()->geometry(),
                         s.window->centralWidget()->height()),
              std::tuple(true, bar.height(), QRect(0, 0, 1, 1), 1));
    s.PressAt({0, 0});
    ASSERT_EQ(s.Doc().LightsCount, 1);
    // Beside the canvas there is only the view's own background.
    s.Resize({100, 50});
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton}) {
        s.PressAt({150, 20}, button);
        s.PressAt({s.window->centralWidget()->width() - 1, 49}, button);
    }
    EXPECT_EQ(std::tuple(s.Doc().LightsCount, s.platform.messages.shown.size()), std::tuple(0, 0u));
}

// Wheels, bars and keys scroll, Ctrl and the wheel zoom about the pointer, and none of them places a light.
TEST(ViewScrolling, WheelsBarsAndKeysScrollAndCtrlWheelZoomsAboutThePointer) {
    Viewed s({3000, 2500});
    const auto at = [&] { return std::pair(s.Across()->value(), s.Down()->value()); };
    s.Wheel({100, 100}, {0, -120});
    EXPECT_EQ(at(), std::pair(0, 3 * s.Down()->singleStep()));
    s.Wheel({100, 100}, {0, -120}, Qt::ShiftModifier);
    EXPECT_EQ(at(), std::pair(3 * s.Across()->singleStep(), 3 * s.Down()->singleStep()));
    s.Wheel({100, 100}, {-240, 0});
    EXPECT_EQ(at().first, 9 * s.Across()->singleStep());
    s.Box()->setFocus();
    s.Keys(Qt::Key_PageDown);
    EXPECT_EQ(at().second, 3 * s.Down()->singleStep() + s.Down()->pageStep());
    s.Keys(Qt::Key_End);
    s.Keys(Qt::Key_Right);
    EXPECT_EQ(at().first, 10 * s.Across()->singleStep());

    s.ScrollTo(400, 300);  // picture point (400 + 50, 300 + 60) stays under the pointer
    s.Wheel({50, 60}, {0, 240}, Qt::ControlModifier);
    EXPECT_EQ(std::tuple(s.Box()->Zoom(), s.Across()->value(), s.Down()->value()), std::tuple(4.0, 1750, 1380));
    s.Wheel({50, 60}, {0, -120}, Qt::ControlModifier);
    EXPECT_EQ(std::tuple(s.Box()->Zoom(), s.Across()->value(), s.Down()->value()), std::tuple(2.0, 850, 660));
    // A touchpad's small steps zoom once they make up a notch, either way.
    std::vector<double> zooms;
    for (const int step : {40, 40, 30, 20, -10, -40, -40, -40, -40})
        s.Wheel({50, 60}, {0, step}, Qt::ControlModifier), zooms.push_back(s.Box()->Zoom());
    EXPECT_EQ(zooms, std::vector<double>({2, 2, 2, 4, 4, 4, 4, 2, 2}));
    EXPECT_EQ(s.Doc().LightsCount, 0);
}

// With Space held on the canvas the pointer is a hand: a drag moves the picture and no press places a light until
// Space is let go, or the canvas loses the focus while it is down.
TEST(ViewScrolling, WithSpaceHeldADragMovesThePictureInsteadOfPlacingLights) {
    Viewed s({3000, 2500});
    s.ScrollTo(400, 300);
    s.Box()->setFocus();
    const auto mouse = [&](QEvent::Type type, QPoint inViewport, Qt::MouseButtons held) {
        SendMouse(s.Box(), type, s.Box()->mapFrom(s.Viewport(), inViewport), Qt::LeftButton, held);
    };
    QTest::keyPress(s.Box(), Qt::Key_Space);
    QKeyEvent repeatedRelease(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ", true);  // held down
    QApplication::sendEvent(s.Box(), &repeatedRelease);
    EXPECT_EQ(s.Box()->cursor().shape(), Qt::OpenHandCursor);
    mouse(QEvent::MouseButtonPress, {300, 300}, Qt::LeftButton);
    EXPECT_EQ(s.Box()->cursor().shape(), Qt::ClosedHandCursor);
    mouse(QEvent::MouseMove, {250, 280}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {100, 200}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {100, 200}, Qt::NoButton);
    s.PressAt({300, 100}, Qt::MiddleButton);
    EXPECT_EQ(std::tuple(s.Across()->value(), s.Down()->value(), s.Doc().LightsCount, s.Box()->cursor().shape()),
              std::tuple(600, 400, 0, Qt::OpenHandCursor));
    QTest::keyRelease(s.Box(), Qt::Key_Space);
    s.PressAt({300, 100});
    EXPECT_EQ(std::pair(s.Doc().LightsCount, s.Box()->cursor().shape()), std::pair(1, Qt::ArrowCursor));
    QTest::keyPress(s.Box(), Qt::Key_Space);
    s.Child("txtFog")->setFocus();
    s.PressAt({320, 100});
    EXPECT_EQ(std::pair(s.Doc().LightsCount, s.Box()->cursor().shape()), std::pair(2, Qt::ArrowCursor));
}

TEST(ViewZoom, KeysStepByTwoBetweenASixteenthAndSixteenAndEveryNewSizeStartsAtActualPixels) {
    Viewed s({300, 200});
    const auto zoomAfter = [&](QKeyCombination keys) { return s.Keys(keys), s.Box()->Zoom(); };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, pad = Qt::ControlModifier | Qt::KeypadModifier;
    const std::pair<QKeyCombination, double> steps[] = {
        {ctrl | Qt::Key_Plus, 2},      {ctrl | Qt::Key_Equal, 4},     {pad | Qt::Key_Plus, 8},
        {ctrl | Qt::Key_Plus, 16},     {ctrl | Qt::Key_Plus, 16},     {ctrl | Qt::Key_0, 1},
        {ctrl | Qt::Key_Minus, 0.5},   {ctrl | Qt::Key_Minus, 0.25},  {ctrl | Qt::Key_Minus, 0.125},
        {ctrl | Qt::Key_Minus, 0.0625}, {ctrl | Qt::Key_Minus, 0.0625}, {pad | Qt::Key_Plus, 0.125},
        {pad | Qt::Key_Minus, 0.0625}};
    for (const auto& [keys, zoom] : steps) {
        EXPECT_EQ(zoomAfter(keys), zoom);
        EXPECT_EQ(s.Box()->size(), QSize(int(std::ceil(300 * zoom)), int(std::ceil(200 * zoom))));  // no pixel lost
    }

    // The whole picture, as large as the view takes it.
    s.Resize({5000, 3000});
    EXPECT_EQ(s.Box()->Zoom(), 1.0);
    const QSize room = s.View()->maximumViewportSize();
    const double whole = zoomAfter(Qt::ControlModifier | Qt::Key_9);
    EXPECT_TRUE(5000 * whole <= room.width() && 3000 * whole <= room.height());
    EXPECT_FALSE(10000 * whole <= room.width() && 6000 * whole <= room.height());
    EXPECT_EQ(std::tuple(s.Across()->isVisible(), s.Down()->isVisible()), std::tuple(false, false));
    s.window->ChangePictureSize(640, 480);
    EXPECT_EQ(std::tuple(s.Box()->Zoom(), s.Box()->size()), std::tuple(1.0, QSize(640, 480)));
    EXPECT_EQ(s.Doc().LightsCount, 0);
}

// Each zoom by the user shows its scale in the view's top right corner for a moment, presses going through it; a
// new size, back at actual pixels, shows none.
TEST(ViewZoom, AZoomShowsItsScaleForAMomentInTheCorner) {
    Viewed s({300, 200});
    auto* note = s.Viewport()->findChild<QLabel*>("zoomNote");
    ASSERT_NE(note, nullptr);
    QStringList shown{note->isVisible() ? note->text() : "hidden"};
    for (const QKeyCombination keys : {Qt::ControlModifier | Qt::Key_Plus, Qt::ControlModifier | Qt::Key_0,
                                       Qt::ControlModifier | Qt::Key_Minus, Qt::ControlModifier | Qt::Key_Minus,
                                       Qt::ControlModifier | Qt::Key_Minus, Qt::ControlModifier | Qt::Key_Minus}) {
        s.Keys(keys);
        shown << (note->isVisible() ? note->text() : "hidden");
    }
    EXPECT_EQ(shown, QStringList({"hidden", "200%", "100%", "50%", "25%", "12.5%", "6.25%"}));
    const QRect corner = note->geometry();
    EXPECT_EQ(std::tuple(corner.right(), corner.top(), s.Viewport()->childAt(corner.center())),
              std::tuple(s.Viewport()->width() - 9, 8, nullptr));
    for (QDeadlineTimer patience(10'000); note->isVisible() && !patience.hasExpired();) QTest::qWait(20);
    EXPECT_FALSE(note->isVisible());
    s.Resize({400, 300});
    EXPECT_FALSE(note->isVisible());
}

// A press at view pixel v of the zoomed canvas stands for picture position floor((v + 0.5) / zoom).
TEST(ViewZoom, APressPlacesTheLightAndPicksTheColourAtThePicturePixelItStandsFor) {
    Viewed s({700, 500});
    ReferenceDrawing reference(700, 500);
    s.Child<PictureBox>("LightColor1")->SetBackColor(PackColor(200, 120, 40));
    constexpr QPoint kFarCorner(-1, -1);  // the last view pixel that shows, scrolled to the end
    const struct { int step; QPoint view; Qt::MouseButton button; QPoint picture; } presses[] = {
        {1, {21, 9}, Qt::LeftButton, {10, 4}},         {1, {0, 1}, Qt::MiddleButton, {0, 0}},
        {1, kFarCorner, Qt::LeftButton, {699, 499}},   {-2, {10, 7}, Qt::LeftButton, {42, 30}},
        {-2, {100, 44}, Qt::MiddleButton, {402, 178}},  {-2, {0, 0}, Qt::LeftButton, {2, 2}},
        {-2, kFarCorner, Qt::LeftButton, {698, 498}},
        {-3, kFarCorner, Qt::LeftButton, {699, 499}},  // the last block is only partly picture
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(testing::Message() << "step " << press.step << " at " << press.view.x() << ", " << press.view.y());
        s.Box()->SetZoomStep(press.step);
        const bool toTheEnd = press.view == kFarCorner;
        s.ScrollTo(toTheEnd ? s.Across()->maximum() : 0, toTheEnd ? s.Down()->maximum() : 0);
        s.PressAt(toTheEnd ? s.View()->VisibleCanvas().bottomRight() : press.view, press.button);
        EXPECT_EQ(s.LastLight(), std::pair(float(press.picture.x()), float(press.picture.y())));
        reference.Click(float(press.picture.x()), float(press.picture.y()), 200, 120, 40, "10", "10", false);
    }
    EXPECT_EQ(std::tuple(s.Doc().LightsCount, reference.Mismatches(s.Doc().LightBuffer()),
                         std::ranges::equal(s.Doc().GMPic1.Bytes(), reference.pixels)),
              std::tuple(reference.lightsCount, "", true));

    // A right press takes the colour by the same mapping (from the pixel up and to the left
    // of that position, as a right click always has).
    s.Box()->SetZoomStep(-2);
    s.ScrollTo(0, 0);
    s.PressAt({10, 7}, Qt::RightButton);
    const std::uint8_t* bgr = &reference.pixels[(std::size_t(29) * 700 + 41) * 4];
    EXPECT_EQ(s.Child<PictureBox>("LightColor1")->BackColor(), PackColor(bgr[2], bgr[1], bgr[0]));
}

TEST(ViewZoom, AboveActualPixelsBlocksAreSharpAndBelowThemEachPixelIsItsBlocksMean) {
    Viewed s({11, 6});
    QImage picture(11, 6, QImage::Format_RGB32);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 11; ++x) picture.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    picture.setPixel(10, 5, qRgb(90, 30, 10));
    s.Box()->WriteBitmapBits(11, 6, picture.constBits(), picture.sizeInBytes());

    s.Box()->SetZoomStep(1);
    const QImage blocks = s.Grab();
    ASSERT_EQ(blocks.size(), QSize(22, 12));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 22; ++x) ASSERT_EQ(blocks.pixel(x, y), picture.pixel(x / 2, y / 2)) << x << ", " << y;

    s.Box()->SetZoomStep(-2);
    const QImage reduced = s.Grab();
    ASSERT_EQ(reduced.size(), QSize(3, 2));
    // Half black, half white blocks are grey, not one of the two; the edge blocks average
    // only the pixels they cover: the last holds 3 × 2, three black, two white and (90, 30, 10).
    EXPECT_EQ(std::tuple(reduced.pixel(0, 0), reduced.pixel(2, 0), reduced.pixel(1, 1), reduced.pixel(2, 1)),
              std::tuple(qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(100, 90, 87)));

    // A change in the picture shows in its block.
    s.PressAt({0, 0});
    EXPECT_NE(s.Grab().pixel(0, 0), qRgb(128, 128, 128));
}

TEST(ViewZoom, TheProgressStripKeepsItsOwnHeightAtAnyZoom) {
    Viewed s({64, 64});
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 64; ++x) picture.setPixel(x, y, qRgb(255, 0, 0));
    s.Box()->WriteBitmapBits(64, 64, picture.constBits(), picture.sizeInBytes());
    for (const int step : {-2, 2}) {
        s.Box()->SetZoomStep(step);
        s.Box()->SetProgressRows(12);
        const QImage shown = s.Grab();
        for (int y = 0; y < 14; ++y) {
            const QRgb expected = y < 12 ? qRgb(255, 0, 0) : step < 0 ? qRgb(0, 0, 255) : qRgb(255, 0, 0);
            EXPECT_EQ(std::pair(shown.pixel(0, y), shown.pixel(shown.width() - 1, y)), std::pair(expected, expected))
                << "step " << step << ", row " << y;
        }
        s.Box()->SetProgressRows(0);
    }
    // A render shows the strip only while it runs: after it, the reduced view's top rows are the picture's blocks.
    ClickWith(s.Box(), {16, 2});  // at 4 x: picture pixel (4, 0)
    s.Box()->SetZoomStep(-2);
    s.Action("mnuRender")->trigger();
    const QImage rendered = s.Grab();
    s.Box()->SetProgressRows(0);
    EXPECT_EQ(rendered, s.Grab());
}

// The file choosers ask for their kind of file, and a cancel changes nothing.
TEST(ViewShortcuts, TheCommandsAnswerTheirKeysAndATextFieldKeepsItsOwnUndo) {
    Viewed s({320, 240});
    s.Keys(Qt::ControlModifier | Qt::Key_Z);  // nothing to undo yet
    s.PressAt({200, 40});
    s.PressAt({250, 40});
    ASSERT_EQ(s.Doc().LightsCount, 2);
    auto* fog = s.Child<QLineEdit>("txtFog");
    fog->setFocus();
    QTest::keyClicks(fog, "5");
    s.Keys(Qt::ControlModifier | Qt::Key_Z, fog);
    fog->selectAll();
    s.Keys(Qt::ControlModifier | Qt::Key_C, fog);
    EXPECT_EQ(std::tuple(fog->text(), s.Doc().LightsCount, QGuiApplication::clipboard()->text()),
              std::tuple(QString("10"), 2, QString("10")));
    s.Keys(Qt::ControlModifier | Qt::Key_C);  // the picture, from the canvas
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), s.Box()->Image());
    const QImage before = s.Box()->Image();
    s.platform.busy.events.clear();
    s.Keys(Qt::ControlModifier | Qt::Key_O, fog);
    s.Keys(Qt::ControlModifier | Qt::Key_S);
    const auto asked = [&](const QString& description, const QString& patterns, std::uint32_t flags) {
        return FileChooserRequest{false, std::int32_t(s.window->winId()), {{description, patterns}}, 1, {}, {}, {}, {},
                                  flags};
    };
    EXPECT_EQ(std::tuple(s.platform.files.requests, s.Doc().LightsCount, s.Action("mnuUndo")->isEnabled(),
                         s.platform.busy.events, s.platform.messages.shown, s.Box()->Image() == before),
              std::tuple(std::vector{asked("Graphic Files (*.jpg;*.gif;*.bmp)", "*.jpg;*.gif;*.bmp", 4096),
                                     asked("Bitmap (*.bmp)", "*.bmp", 2052)},
                         2, true, Events{}, Boxes{}, true));
    s.Box()->setFocus();
    s.Keys(Qt::ControlModifier | Qt::Key_Z);
    EXPECT_EQ(std::tuple(s.Doc().LightsCount, s.Action("mnuUndo")->isEnabled()), std::tuple(1, false));
    QGuiApplication::clipboard()->setText("7");
    fog->selectAll();
    s.Keys(Qt::ControlModifier | Qt::Key_V, fog);
    EXPECT_EQ(std::pair(fog->text(), s.Doc().LightsCount), std::pair(QString("7"), 1));
    QGuiApplication::clipboard()->setImage(before);  // the canvas's own size: no question
    s.Keys(Qt::ControlModifier | Qt::Key_V);
    EXPECT_EQ(std::tuple(s.Doc().LightsCount, s.Box()->Image() == before, s.platform.messages.shown),
              std::tuple(0, true, Boxes{}));
    s.Keys(Qt::Key_F1);
    ASSERT_NE(VisibleTopLevel("frmAbout"), nullptr);
    VisibleTopLevel("frmAbout")->close();
    s.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.window.get()));
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
