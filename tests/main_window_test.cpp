#include "editor/PalettePicture.h"
#include "picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

const MessageRequest kDepthBox{
    QStringLiteral(
        "Your display is currently NOT running in True Color (24bit-32bit color modes). You must increase the "
        "display color depth before being able to use this program.\r\n\r\n"
        "To increase the color depth, go to the \"Display Properties\" window from the Control Panel, then go to "
        "the \"Settings\" tab, and then increase the \"Colors\" setting.\r\n\r\n"
        "Click OK once you have increased your display color depth."),
    QStringLiteral("Invalid Display Color Depth"), MessageIcon::Information, MessageButtons::OkCancel};

TEST(Startup, OpensTheEmptyDocumentOnATrueColourDisplayAndClosesWithoutAQuestion) {
    StartedWindow s;
    ASSERT_EQ(s.Start(), frmDrawing::StartupOutcome::Running);
    QApplication::processEvents();
    frmDrawing& w = *s.window;
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Glimmerage");
    EXPECT_EQ(std::tuple(w.sIntensity(), w.sFog(), w.PictureWidth(), w.PictureHeight()),
              std::tuple(10.0f, 10.0f, 640, 480));
    auto* p = s.Child<PictureBox>("p");
    EXPECT_EQ(p->geometry(), QRect(0, 0, 640, 480));
    QImage black(640, 480, QImage::Format_RGB32);
    black.fill(Qt::black);
    EXPECT_EQ(p->Image(), black);
    EXPECT_EQ(w.centralWidget()->size(), QSize(640, 480));
    EXPECT_FALSE(s.Child<QAction>("mnuUndo")->isEnabled());
    EXPECT_EQ(s.Child<QLineEdit>("txtFog")->text(), "10");
    EXPECT_EQ(s.Child<QLineEdit>("txtIntensity")->text(), "10");
    EXPECT_EQ(s.Child<PictureBox>("LightColor1")->BackColor(), PackColor(255, 255, 255));

    const DrawingDocument& doc = w.Document();
    EXPECT_EQ(std::tuple(doc.LightsCount, doc.Lights.size(), doc.LightBuffer.UpperX(), doc.LightBuffer.UpperY()),
              std::tuple(0, 1u, 640, 480));
    EXPECT_EQ(doc.UndoBuffer.Values().size(), 641u * 481u * 3u);
    EXPECT_EQ(std::tuple(doc.GMPic1.Width(), doc.GMPic1.Height(), doc.GMPic2.Width(), doc.GMPic3.Width(),
                         doc.GMPicProgress.Width(), doc.GMPicProgress.Height()),
              std::tuple(640, 480, 640, 0, 640, 10));

    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

// Palette depths (4, 8, 16 bits) are refused until the user fixes them (OK) or gives up.
TEST(Startup, DisplayDepthCheck) {
    using enum frmDrawing::StartupOutcome;
    struct Case { std::deque<std::optional<int>> depths; std::deque<MessageAnswer> answers;
                  frmDrawing::StartupOutcome outcome; std::vector<MessageRequest> shown; int queries; };
    std::vector<Case> cases;
    for (const int depth : {1, 2, 15, 24, 32, 48}) cases.push_back({{depth}, {}, Running, {}, 1});
    for (const int depth : {4, 8, 16}) {
        cases.push_back({{depth, depth, 24}, {MessageAnswer::Ok, MessageAnswer::Ok}, Running, {kDepthBox, kDepthBox},
                         3});
        cases.push_back({{depth}, {MessageAnswer::Cancel}, EndProgram, {kDepthBox}, 1});
    }
    const MessageRequest failed{QStringLiteral("Error evaluating the current display settings."), "Glimmerage",
                                MessageIcon::Information, MessageButtons::Ok};
    cases.push_back({{std::nullopt}, {}, Running, {failed}, 1});
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        StartedWindow s;
        s.platform.display.depths = c.depths;
        s.platform.messages.answers = c.answers;
        EXPECT_EQ(s.Start(), c.outcome) << "case " << i;
        EXPECT_EQ(s.platform.messages.shown, c.shown) << "case " << i;
        EXPECT_EQ(s.platform.display.queries, c.queries) << "case " << i;
        EXPECT_EQ(s.window->isVisible(), c.outcome == Running) << "case " << i;
    }
}

TEST(Startup, AFailureShowsTheErrorBoxAndLeavesTheWindowOpen) {
    struct FailingDisplay : DisplaySettings { std::optional<int> ColorDepth() override { throw Failure::Overflow(); } };
    struct : ScriptedPlatform { FailingDisplay bad; DisplaySettings& Display() override { return bad; } } platform;
    frmDrawing window(platform);
    EXPECT_EQ(window.Form_Load(), frmDrawing::StartupOutcome::Running);
    EXPECT_EQ(platform.messages.shown, std::vector<MessageRequest>{ErrorBox(QStringLiteral("Overflow"))});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.PictureWidth(), 640);  // the steps before the failure stay done
}

TEST(MainWindow, MenusToolPanelTabOrderAndExit) {
    StartedWindow s;
    s.Start();
    QStringList captions, items, order;
    for (const QAction* action : s.window->menuBar()->actions())
        captions << action->text() + (action->isVisible() ? "" : " (hidden)");
    EXPECT_EQ(captions, QStringList({"Exit", "Undo", "Clear", "Load...", "Save...", "Render (hidden)", "Options...",
                                     "About / Help...", "ChooseDirection (hidden)"}));
    for (const QAction* action : s.Child<QMenu>("mnuPopup")->actions())
        items << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(items, QStringList({"Vertical Fill (top to bottom)", "Vertical Fill (bottom to top)",
                                  "Horizontal Fill (left to right)", "Horizontal Fill (right to left)", "-",
                                  "Cancel"}));

    EXPECT_EQ(s.Child<PictureBox>("ToolBar1")->parentWidget(), s.Child<PictureBox>("p"));
    EXPECT_EQ(s.Child<PictureBox>("ToolBar1")->BackColor(), PackColor(64, 64, 64));
    EXPECT_EQ(s.Child<QWidget>("Frame1")->palette().color(QPalette::Window), QColor(96, 96, 96));
    const std::pair<const char*, QRect> controls[] = {
        {"ToolBar1", {16, 16, 68, 259}}, {"Frame1", {0, 0, 73, 9}},       {"Label1", {8, 16, 53, 13}},
        {"LightColor1", {8, 32, 52, 17}}, {"Palette1", {8, 56, 52, 115}}, {"Label3", {8, 176, 21, 13}},
        {"txtFog", {8, 192, 52, 17}},     {"Label2", {8, 216, 42, 13}},   {"txtIntensity", {8, 232, 52, 17}},
    };
    for (const auto& [name, geometry] : controls) {
        ASSERT_NE(s.Child<QWidget>(name), nullptr) << name;
        EXPECT_EQ(s.Child<QWidget>(name)->geometry(), geometry) << name;
    }
    for (const auto& [name, text] : {std::pair("Label1", "Light Color:"), std::pair("Label3", "Fog:"),
                                     std::pair("Label2", "Intensity:")})
        EXPECT_EQ(s.Child<QLabel>(name)->text(), text);

    QWidget* widget = s.Child<QWidget>("p");
    do {
        if (widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != s.Child<QWidget>("p") && order.size() < 20);
    EXPECT_EQ(order, QStringList({"p", "ToolBar1", "Palette1", "LightColor1", "txtIntensity", "txtFog"}));

    s.Child<QAction>("mnuExit")->trigger();  // closes without a question
    EXPECT_FALSE(s.window->isVisible());
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

TEST(Palette, MatchesItsSamplesRunsThroughTheHuesAndShowsInTheToolPanel) {
    const QImage palette = MakePalettePicture();
    ASSERT_EQ(palette.size(), QSize(52, 115));
    EXPECT_EQ(palette.depth(), 24);
    const int samples[][4] = {{0, 8, 3, 3}, {22, 254, 2, 2}, {43, 250, 238, 238}};  // x, r, g, b within 3
    for (const auto& [x, r, g, b] : samples) {
        const QRgb pixel = palette.pixel(x, 0);
        EXPECT_LE(std::max({std::abs(qRed(pixel) - r), std::abs(qGreen(pixel) - g), std::abs(qBlue(pixel) - b)}), 3)
            << x;
    }
    for (int row = 0; row < 115; ++row) {
        EXPECT_EQ(palette.pixel(44, row) & 0xFFFFFF, 0x000000u) << row;
        for (int column = 45; column < 52; ++column) EXPECT_EQ(palette.pixel(column, row) & 0xFFFFFF, 0xFFFFFFu);
    }
    const auto hueAt = [&](int row) { return QColor(palette.pixel(22, row)).hsvHue(); };
    EXPECT_EQ(hueAt(0), 0);
    // yellow-green, cyan-green, blue, magenta, red-magenta
    const int hues[][3] = {{28, 70, 100}, {57, 150, 185}, {86, 225, 270}, {100, 285, 315}, {114, 330, 360}};
    for (const auto& [row, above, below] : hues) {
        EXPECT_GT(hueAt(row), above) << row;
        EXPECT_LT(hueAt(row), below) << row;
    }
    for (int row = 1; row < 115; ++row) EXPECT_GT(hueAt(row), hueAt(row - 1)) << row;

    StartedWindow s;
    s.Start();
    for (const QPoint at : {QPoint(0, 0), QPoint(22, 57), QPoint(44, 100), QPoint(51, 114)})
        EXPECT_EQ(s.Child<PictureBox>("Palette1")->Point(at.x(), at.y()), FromQColor(QColor(palette.pixel(at))));
}

TEST(ToolPanel, FollowsTheLeftButtonDragInsideTheCanvasOnly) {
    StartedWindow s;
    s.Start();
    auto* panel = s.Child<QWidget>("ToolBar1");
    auto* strip = s.Child<QWidget>("Frame1");
    // Moves over the canvas reach the strip the way a grabbed mouse delivers them.
    const auto moveOverStrip = [&](QPoint onCanvas, Qt::MouseButtons held) {
        SendMouse(strip, QEvent::MouseMove, strip->mapFrom(s.Child<QWidget>("p"), onCanvas), Qt::NoButton, held);
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
    const std::pair<QPoint, QPoint> moves[] = {{{5000, 5000}, {640 - 68, 480 - 259}}, {{-5000, -5000}, {0, 0}},
                                               {{121, 220}, {116, 216}},                {{101, 200}, {96, 196}}};
    for (const auto& [to, position] : moves) {
        moveOverStrip(to, Qt::LeftButton);
        EXPECT_EQ(panel->pos(), position) << to.x() << ", " << to.y();
    }
    SendMouse(strip, QEvent::MouseButtonRelease, strip->mapFrom(s.Child<QWidget>("p"), QPoint(101, 200)),
              Qt::LeftButton, Qt::NoButton);
    moveOverStrip(QPoint(300, 100), Qt::NoButton);
    EXPECT_EQ(panel->pos(), QPoint(96, 196));
    s.Child<QAction>("mnuClear")->trigger();  // Clear does not put the panel back
    EXPECT_EQ(panel->pos(), QPoint(96, 196));
}

}  // namespace
