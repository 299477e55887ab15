#include "windows/editor/PalettePicture.h"
#include "support/TestSupport.h"

const MessageRequest kDepthBox{
    "Your display is currently NOT running in True Color (24bit-32bit color modes). You must increase the "
    "display color depth before being able to use this program.\r\n\r\n"
    "To increase the color depth, go to the \"Display Properties\" window from the Control Panel, then go to "
    "the \"Settings\" tab, and then increase the \"Colors\" setting.\r\n\r\n"
    "Click OK once you have increased your display color depth.",
    "Invalid Display Color Depth", MessageIcon::Information, MessageButtons::OkCancel};

// Palette depths (4, 8, 16 bits) are refused until the user fixes them (OK) or gives up.
TEST(Startup, DisplayDepthCheck) {
    using enum frmDrawing::StartupOutcome;
    struct Case { std::deque<std::optional<int>> depths; std::deque<MessageAnswer> answers;
                  frmDrawing::StartupOutcome outcome; Boxes shown; int queries; };
    std::vector<Case> cases;
    for (const int depth : {1, 2, 15, 24, 32, 48}) cases.push_back({{depth}, {}, Running, {}, 1});
    for (const int depth : {4, 8, 16}) {
        cases.push_back({{depth, depth, 24}, {MessageAnswer::Ok, MessageAnswer::Ok}, Running, {kDepthBox, kDepthBox},
                         3});
        cases.push_back({{depth}, {MessageAnswer::Cancel}, EndProgram, {kDepthBox}, 1});
    }
    cases.push_back({{std::nullopt}, {}, Running, {{"Error evaluating the current display settings.", "Glimmerage",
                                                    MessageIcon::Information, MessageButtons::Ok}}, 1});
    for (std::size_t i = 0; i < cases.size(); ++i) {
        StartedWindow s;
        s.platform.display.depths = cases[i].depths;
        s.platform.messages.answers = cases[i].answers;
        const frmDrawing::StartupOutcome outcome = s.Start();
        EXPECT_EQ(std::tuple(outcome, s.platform.messages.shown, s.platform.display.queries, s.window->isVisible()),
                  std::tuple(cases[i].outcome, cases[i].shown, cases[i].queries, cases[i].outcome == Running)) << i;
    }
}

// The steps before the failure stay done, and the About window is skipped.
TEST(Startup, AFailureShowsTheErrorBoxAndLeavesTheWindowOpen) {
    struct FailingDisplay : DisplaySettings { std::optional<int> ColorDepth() override { throw Failure::Overflow(); } };
    struct : ScriptedPlatform { FailingDisplay bad; DisplaySettings& Display() override { return bad; } } platform;
    frmDrawing window(platform);
    EXPECT_EQ(window.Form_Load(), frmDrawing::StartupOutcome::Running);
    EXPECT_EQ(std::tuple(platform.messages.shown, window.isVisible(), window.PictureWidth(),
                         VisibleTopLevel("frmAbout")),
              std::tuple(Boxes{ErrorBox("Overflow")}, true, 640, nullptr));
}

TEST(MainWindow, StartsOnAnEmptyDrawingWithItsMenusPanelAndTabOrderAndExitsWithoutAQuestion) {
    StartedWindow s;
    ASSERT_EQ(s.Start(), frmDrawing::StartupOutcome::Running);
    QApplication::processEvents();
    frmDrawing& w = *s.window;
    EXPECT_EQ(std::tuple(w.isVisible(), w.windowTitle(), w.sIntensity(), w.sFog(), s.Doc().GMPic3.Width(),
                         s.Child<PictureBox>("LightColor1")->BackColor()),
              std::tuple(true, QString("Glimmerage"), 10.0f, 10.0f, 0, PackColor(255, 255, 255)));
    ExpectFreshDocument(s, {640, 480});
    QStringList captions, items, order;
    for (const QAction* action : w.menuBar()->actions())
        captions << action->text() + (action->isVisible() ? "" : " (hidden)");
    EXPECT_EQ(captions, QStringList({"Exit", "Undo", "Clear", "Load...", "Save...", "Render (hidden)", "Options...",
                                     "About / Help...", "ChooseDirection (hidden)"}));
    for (const QAction* action : s.Child<QMenu>("mnuPopup")->actions())
        items << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(items, QStringList({"Vertical Fill (top to bottom)", "Vertical Fill (bottom to top)",
                                  "Horizontal Fill (left to right)", "Horizontal Fill (right to left)", "-",
                                  "Cancel"}));
    EXPECT_EQ(std::tuple(s.Child("ToolBar1")->parentWidget(), s.Child<PictureBox>("ToolBar1")->BackColor(),
                         s.Child("Frame1")->palette().color(QPalette::Window)),
              std::tuple(s.Canvas()->parentWidget(), PackColor(64, 64, 64), QColor(96, 96, 96)));
    const struct { const char* name; QRect geometry; QString text; } controls[] = {
        {"ToolBar1", {16, 16, 68, 259}, ""},         {"Frame1", {0, 0, 73, 9}, ""},
        {"Label1", {8, 16, 53, 13}, "Light Color:"}, {"LightColor1", {8, 32, 52, 17}, ""},
        {"Palette1", {8, 56, 52, 115}, ""},          {"Label3", {8, 176, 21, 13}, "Fog:"},
        {"txtFog", {8, 192, 52, 17}, "10"},          {"Label2", {8, 216, 42, 13}, "Intensity:"},
        {"txtIntensity", {8, 232, 52, 17}, "10"}};
    for (const auto& c : controls) {
        ASSERT_NE(s.Child(c.name), nullptr) << c.name;
        EXPECT_EQ(std::pair(s.Child(c.name)->geometry(), s.Child(c.name)->property("text").toString()),
                  std::pair(c.geometry, c.text)) << c.name;
    }
    QWidget* widget = s.Canvas();
    do
        if (widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
    while ((widget = widget->nextInFocusChain()) != s.Canvas() && order.size() < 20);
    EXPECT_EQ(order, QStringList({"p", "ToolBar1", "Palette1", "LightColor1", "txtIntensity", "txtFog"}));
    s.Action("mnuExit")->trigger();
    EXPECT_EQ(std::pair(w.isVisible(), s.platform.messages.shown), std::pair(false, Boxes{}));
}

// A new size reaches the buffers only with Clear, which keeps the tool settings.
TEST(MainWindow, TheCanvasFollowsTheSizeAndClearMakesAFreshDrawingOfIt) {
    Running s;
    frmDrawing& w = *s.window;
    w.move(50, 40);  // away from the corner a careless fit would put it in
    const QPoint position = w.pos();
    for (const QSize size : {QSize(300, 200), QSize(320, 200), QSize(1000, 900), QSize(1600, 950), QSize(800, 600)}) {
        w.ChangePictureSize(size.width(), size.height());
        QApplication::processEvents();
        EXPECT_EQ(std::tuple(QSize(w.PictureWidth(), w.PictureHeight()), w.centralWidget()->size(), s.Canvas()->size(),
                             w.pos(), s.Doc().GMPic1.Width(), s.Doc().LightBuffer().UpperX(),
                             s.Doc().GMPicProgress.Width()),
                  std::tuple(size, s.ClientFor(size), size, position, 640, 640, 640));
    }
    s.Child<QLineEdit>("txtFog")->setText("5");
    s.Child<QLineEdit>("txtIntensity")->setText("7");
    s.Child<PictureBox>("LightColor1")->SetBackColor(PackColor(255, 0, 0));
    s.Canvas()->SetPicture(FilledImage({100, 100}, Qt::green));
    const QImage drawing = FilledImage({800, 600}, Qt::blue);
    s.Canvas()->WriteBitmapBits(800, 600, drawing.constBits(), drawing.sizeInBytes());
    s.Action("mnuUndo")->setEnabled(true);
    s.Run("mnuClear");
    ExpectFreshDocument(s, {800, 600});
    EXPECT_EQ(std::tuple(s.Child<QLineEdit>("txtFog")->text(), s.Child<QLineEdit>("txtIntensity")->text(),
                         s.Child<PictureBox>("LightColor1")->BackColor(), w.sIntensity(), w.sFog(),
                         s.platform.messages.shown),
              std::tuple("5", "7", PackColor(255, 0, 0), 10.0f, 10.0f, Boxes{}));
}

TEST(Palette, MatchesItsSamplesAndRunsThroughTheHues) {
    const QImage palette = MakePalettePicture();
    ASSERT_EQ(std::pair(palette.size(), palette.depth()), std::pair(QSize(52, 115), 24));
    for (const auto& [x, r, g, b] : {std::array{0, 8, 3, 3}, {22, 254, 2, 2}, {43, 250, 238, 238}}) {  // within 3
        const QRgb p = palette.pixel(x, 0);
        EXPECT_LE(std::max({std::abs(qRed(p) - r), std::abs(qGreen(p) - g), std::abs(qBlue(p) - b)}), 3) << x;
    }
    for (int row = 0; row < 115; ++row) {
        EXPECT_EQ(palette.pixel(44, row) & 0xFFFFFF, 0x000000u) << row;
        for (int column = 45; column < 52; ++column) EXPECT_EQ(palette.pixel(column, row) & 0xFFFFFF, 0xFFFFFFu);
    }
    const auto hueAt = [&](int row) { return QColor(palette.pixel(22, row)).hsvHue(); };
    EXPECT_EQ(hueAt(0), 0);
    // yellow-green, cyan-green, blue, magenta, red-magenta
    for (const auto& [row, above, below] :
         {std::array{28, 70, 100}, {57, 150, 185}, {86, 225, 270}, {100, 285, 315}, {114, 330, 360}})
        EXPECT_TRUE(hueAt(row) > above && hueAt(row) < below) << row << ": " << hueAt(row);
    for (int row = 1; row < 115; ++row) EXPECT_GT(hueAt(row), hueAt(row - 1)) << row;
}

TEST(ToolPanel, FollowsTheLeftButtonDragInsideTheCanvasOnly) {
    Running s;
    QWidget *panel = s.Child("ToolBar1"), *strip = s.Child("Frame1");
    // Moves over the canvas reach the strip the way a grabbed mouse delivers them.
    const auto moveOverStrip = [&](QPoint onCanvas, Qt::MouseButtons held) {
        SendMouse(strip, QEvent::MouseMove, strip->mapFromGlobal(s.Canvas()->mapToGlobal(onCanvas)), Qt::NoButton,
                  held);
    };
    for (const Qt::MouseButtons held : {Qt::MouseButtons(Qt::RightButton), Qt::MouseButtons(Qt::MiddleButton),
                                        Qt::LeftButton | Qt::RightButton}) {
        moveOverStrip(QPoint(20, 20), held);
        moveOverStrip(QPoint(200, 200), held);
        EXPECT_EQ(panel->pos(), QPoint(16, 16)) << int(held);
    }
    // The panel follows the pointer less where the drag took hold, kept inside the canvas.
    SendMouse(strip, QEvent::MouseButtonPress, QPoint(5, 4), Qt::LeftButton, Qt::LeftButton);
    moveOverStrip(QPoint(21, 20), Qt::LeftButton);
    for (const auto& [to, position] : {std::pair(QPoint(5000, 5000), QPoint(640 - 68, 480 - 259)),
                                       {{-5000, -5000}, {0, 0}}, {{121, 220}, {116, 216}}, {{101, 200}, {96, 196}}}) {
        moveOverStrip(to, Qt::LeftButton);
        EXPECT_EQ(panel->pos(), position) << to.x() << ", " << to.y();
    }
    SendMouse(strip, QEvent::MouseButtonRelease, strip->mapFromGlobal(s.Canvas()->mapToGlobal(QPoint(101, 200))),
              Qt::LeftButton, Qt::NoButton);
    moveOverStrip(QPoint(300, 100), Qt::NoButton);
    EXPECT_EQ(panel->pos(), QPoint(96, 196));
    s.Action("mnuClear")->trigger();  // Clear does not put the panel back
    EXPECT_EQ(panel->pos(), QPoint(96, 196));
}
