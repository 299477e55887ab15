#include "common/ColorValue.h"
#include "common/Failure.h"
#include "editor/DragStrip.h"
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

#include <cstdlib>

namespace {

const QString kDepthMessage = QStringLiteral(
    "Your display is currently NOT running in True Color (24bit-32bit color modes). You must increase the "
    "display color depth before being able to use this program.\r\n\r\n"
    "To increase the color depth, go to the \"Display Properties\" window from the Control Panel, then go to "
    "the \"Settings\" tab, and then increase the \"Colors\" setting.\r\n\r\n"
    "Click OK once you have increased your display color depth.");

const MessageRequest kDepthBox{kDepthMessage, QStringLiteral("Invalid Display Color Depth"),
                               MessageIcon::Information, MessageButtons::OkCancel};

bool AllBlack(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0) return false;
        }
    }
    return true;
}

}  // namespace

TEST(Startup, OpensTheEmptyDocumentOnATrueColourDisplay) {
    StartedWindow s;
    ASSERT_EQ(s.Start(), frmDrawing::StartupOutcome::Running);
    QApplication::processEvents();

    const frmDrawing& w = *s.window;
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Glimmerage");
    EXPECT_TRUE(s.platform.messages.shown.empty());
    EXPECT_EQ(w.sIntensity(), 10.0f);
    EXPECT_EQ(w.sFog(), 10.0f);
    EXPECT_EQ(w.PictureWidth(), 640);
    EXPECT_EQ(w.PictureHeight(), 480);

    auto* p = s.Child<PictureBox>("p");
    EXPECT_EQ(p->geometry(), QRect(0, 0, 640, 480));
    EXPECT_EQ(p->Image().size(), QSize(640, 480));
    EXPECT_TRUE(AllBlack(p->Image()));
    EXPECT_EQ(w.centralWidget()->size(), QSize(640, 480));

    EXPECT_FALSE(s.Child<QAction>("mnuUndo")->isEnabled());
    EXPECT_EQ(s.Child<QLineEdit>("txtFog")->text(), "10");
    EXPECT_EQ(s.Child<QLineEdit>("txtIntensity")->text(), "10");
    EXPECT_EQ(s.Child<PictureBox>("LightColor1")->BackColor(), PackColor(255, 255, 255));

    const DrawingDocument& doc = w.Document();
    EXPECT_EQ(doc.LightsCount, 0);
    EXPECT_EQ(doc.Lights.size(), 1u);
    EXPECT_EQ(doc.LightBuffer.UpperX(), 640);
    EXPECT_EQ(doc.LightBuffer.UpperY(), 480);
    EXPECT_EQ(doc.UndoBuffer.Values().size(), 641u * 481u * 3u);
    EXPECT_EQ(doc.GMPic1.Width(), 640);
    EXPECT_EQ(doc.GMPic1.Height(), 480);
    EXPECT_EQ(doc.GMPic2.Width(), 640);
    EXPECT_EQ(doc.GMPicProgress.Width(), 640);
    EXPECT_EQ(doc.GMPicProgress.Height(), 10);
    EXPECT_EQ(doc.GMPic3.Width(), 0);
}

class TrueColourDepth : public ::testing::TestWithParam<int> {};

TEST_P(TrueColourDepth, PassesWithoutAQuestion) {
    StartedWindow s;
    s.platform.display.depths = {GetParam()};
    EXPECT_EQ(s.Start(), frmDrawing::StartupOutcome::Running);
    EXPECT_TRUE(s.platform.messages.shown.empty());
    EXPECT_EQ(s.platform.display.queries, 1);
    EXPECT_TRUE(s.window->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Startup, TrueColourDepth, ::testing::Values(1, 2, 15, 24, 32, 48));

class PaletteDepth : public ::testing::TestWithParam<int> {};

TEST_P(PaletteDepth, AsksAgainAfterOkUntilTheDepthIsFixed) {
    StartedWindow s;
    s.platform.display.depths = {GetParam(), GetParam(), 24};
    s.platform.messages.answers = {MessageAnswer::Ok, MessageAnswer::Ok};
    EXPECT_EQ(s.Start(), frmDrawing::StartupOutcome::Running);
    EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>(2, kDepthBox));
    EXPECT_EQ(s.platform.display.queries, 3);
    EXPECT_TRUE(s.window->isVisible());
}

TEST_P(PaletteDepth, CancelEndsTheProgramBeforeTheWindowShows) {
    StartedWindow s;
    s.platform.display.depths = {GetParam()};
    s.platform.messages.answers = {MessageAnswer::Cancel};
    EXPECT_EQ(s.Start(), frmDrawing::StartupOutcome::EndProgram);
    EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>{kDepthBox});
    EXPECT_FALSE(s.window->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Startup, PaletteDepth, ::testing::Values(4, 8, 16));

TEST(Startup, AFailedDisplayQueryIsReportedAndTheProgramGoesOn) {
    StartedWindow s;
    s.platform.display.depths = {std::nullopt};
    EXPECT_EQ(s.Start(), frmDrawing::StartupOutcome::Running);
    const MessageRequest expected{QStringLiteral("Error evaluating the current display settings."),
                                  QStringLiteral("Glimmerage"), MessageIcon::Information, MessageButtons::Ok};
    EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>{expected});
    EXPECT_EQ(s.platform.display.queries, 1);
    EXPECT_TRUE(s.window->isVisible());
}

namespace {

class FailingDisplay : public DisplaySettings {
public:
    std::optional<int> ColorDepth() override { throw Failure::Overflow(); }
};

class PlatformWithFailingDisplay : public ScriptedPlatform {
public:
    FailingDisplay failing;
    DisplaySettings& Display() override { return failing; }
};

}  // namespace

TEST(Startup, AFailureShowsTheErrorBoxAndLeavesTheWindowOpen) {
    PlatformWithFailingDisplay platform;
    frmDrawing window(platform);
    EXPECT_EQ(window.Form_Load(), frmDrawing::StartupOutcome::Running);
    EXPECT_EQ(platform.messages.shown, std::vector<MessageRequest>{ErrorBox(QStringLiteral("Overflow"))});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.PictureWidth(), 640);  // the steps before the failure stay done
}

TEST(MainWindow, MenuBarHoldsTheCommandsInOrder) {
    StartedWindow s;
    s.Start();
    QStringList captions;
    QList<bool> visible;
    for (const QAction* action : s.window->menuBar()->actions()) {
        captions << action->text();
        visible << action->isVisible();
    }
    EXPECT_EQ(captions, QStringList({"Exit", "Undo", "Clear", "Load...", "Save...", "Render", "Options...",
                                     "About / Help...", "ChooseDirection"}));
    EXPECT_EQ(visible, QList<bool>({true, true, true, true, true, false, true, true, false}));

    const auto* popup = s.Child<QMenu>("mnuPopup");
    QStringList items;
    for (const QAction* action : popup->actions()) items << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(items, QStringList({"Vertical Fill (top to bottom)", "Vertical Fill (bottom to top)",
                                  "Horizontal Fill (left to right)", "Horizontal Fill (right to left)", "-",
                                  "Cancel"}));
}

TEST(MainWindow, ToolPanelControlsSitWhereTheyBelong) {
    StartedWindow s;
    s.Start();
    auto* panel = s.Child<PictureBox>("ToolBar1");
    EXPECT_EQ(panel->parentWidget(), s.Child<PictureBox>("p"));
    EXPECT_EQ(panel->BackColor(), PackColor(64, 64, 64));

    const struct {
        const char* name;
        QRect geometry;
    } controls[] = {
        {"ToolBar1", {16, 16, 68, 259}}, {"Frame1", {0, 0, 73, 9}},       {"Label1", {8, 16, 53, 13}},
        {"LightColor1", {8, 32, 52, 17}}, {"Palette1", {8, 56, 52, 115}}, {"Label3", {8, 176, 21, 13}},
        {"txtFog", {8, 192, 52, 17}},     {"Label2", {8, 216, 42, 13}},   {"txtIntensity", {8, 232, 52, 17}},
    };
    for (const auto& control : controls) {
        const auto* widget = s.Child<QWidget>(control.name);
        ASSERT_NE(widget, nullptr) << control.name;
        EXPECT_EQ(widget->geometry(), control.geometry) << control.name;
    }
    EXPECT_EQ(s.Child<QLabel>("Label1")->text(), "Light Color:");
    EXPECT_EQ(s.Child<QLabel>("Label3")->text(), "Fog:");
    EXPECT_EQ(s.Child<QLabel>("Label2")->text(), "Intensity:");
    EXPECT_EQ(s.Child<QWidget>("Frame1")->palette().color(QPalette::Window), QColor(96, 96, 96));
}

TEST(MainWindow, TabKeyVisitsTheControlsInOrder) {
    StartedWindow s;
    s.Start();
    QStringList order;
    QWidget* start = s.Child<QWidget>("p");
    QWidget* widget = start;
    do {
        if (widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != start && order.size() < 20);
    EXPECT_EQ(order, QStringList({"p", "ToolBar1", "Palette1", "LightColor1", "txtIntensity", "txtFog"}));
}

TEST(Palette, MatchesItsDescriptionAtTheSamplePoints) {
    const QImage palette = MakePalettePicture();
    ASSERT_EQ(palette.size(), QSize(52, 115));
    EXPECT_EQ(palette.depth(), 24);

    const auto near = [](QRgb pixel, int r, int g, int b) {
        constexpr int kTolerance = 3;
        return std::abs(qRed(pixel) - r) <= kTolerance && std::abs(qGreen(pixel) - g) <= kTolerance &&
               std::abs(qBlue(pixel) - b) <= kTolerance;
    };
    EXPECT_TRUE(near(palette.pixel(0, 0), 8, 3, 3));
    EXPECT_TRUE(near(palette.pixel(22, 0), 254, 2, 2));
    EXPECT_TRUE(near(palette.pixel(43, 0), 250, 238, 238));
    for (int row = 0; row < 115; ++row) {
        EXPECT_EQ(palette.pixel(44, row) & 0xFFFFFF, 0x000000u) << row;
        for (int column = 45; column < 52; ++column) EXPECT_EQ(palette.pixel(column, row) & 0xFFFFFF, 0xFFFFFFu);
    }
}

TEST(Palette, RowsRunThroughTheHues) {
    const QImage palette = MakePalettePicture();
    const auto hueAt = [&](int row) { return QColor(palette.pixel(22, row)).hsvHue(); };
    EXPECT_EQ(hueAt(0), 0);                          // red
    EXPECT_GT(hueAt(28), 70);                        // yellow-green
    EXPECT_LT(hueAt(28), 100);
    EXPECT_GT(hueAt(57), 150);                       // cyan-green
    EXPECT_LT(hueAt(57), 185);
    EXPECT_GT(hueAt(86), 225);                       // blue
    EXPECT_LT(hueAt(86), 270);
    EXPECT_GT(hueAt(100), 285);                      // magenta
    EXPECT_LT(hueAt(100), 315);
    EXPECT_GT(hueAt(114), 330);                      // red-magenta
    for (int row = 1; row < 115; ++row) EXPECT_GT(hueAt(row), hueAt(row - 1)) << row;
}

TEST(Palette, TheToolPanelShowsIt) {
    StartedWindow s;
    s.Start();
    const auto* palette = s.Child<PictureBox>("Palette1");
    const QImage expected = MakePalettePicture();
    for (const QPoint at : {QPoint(0, 0), QPoint(22, 57), QPoint(44, 100), QPoint(51, 114)}) {
        const QRgb pixel = expected.pixel(at);
        EXPECT_EQ(palette->Point(at.x(), at.y()), PackColor(qRed(pixel), qGreen(pixel), qBlue(pixel)));
    }
}

namespace {

// Moves the mouse to a point of the canvas while the given buttons are held, delivering
// the move to the drag strip the way a grabbed mouse does.
void MoveOverStrip(StartedWindow& s, QPoint onCanvas, Qt::MouseButtons held) {
    auto* strip = s.Child<QWidget>("Frame1");
    const QPoint local = strip->mapFrom(s.Child<QWidget>("p"), onCanvas);
    SendMouse(strip, QEvent::MouseMove, local, Qt::NoButton, held);
}

}  // namespace

TEST(ToolPanel, FollowsTheMouseWhileTheLeftButtonIsHeldOnTheStrip) {
    StartedWindow s;
    s.Start();
    auto* panel = s.Child<QWidget>("ToolBar1");
    auto* strip = s.Child<QWidget>("Frame1");
    SendMouse(strip, QEvent::MouseButtonPress, QPoint(5, 4), Qt::LeftButton, Qt::LeftButton);
    MoveOverStrip(s, QPoint(21, 20), Qt::LeftButton);
    MoveOverStrip(s, QPoint(121, 220), Qt::LeftButton);
    EXPECT_EQ(panel->pos(), QPoint(116, 216));
    MoveOverStrip(s, QPoint(101, 200), Qt::LeftButton);
    EXPECT_EQ(panel->pos(), QPoint(96, 196));

    SendMouse(strip, QEvent::MouseButtonRelease, strip->mapFrom(s.Child<QWidget>("p"), QPoint(101, 200)),
              Qt::LeftButton, Qt::NoButton);
    MoveOverStrip(s, QPoint(300, 100), Qt::NoButton);
    EXPECT_EQ(panel->pos(), QPoint(96, 196));
}

TEST(ToolPanel, StaysInsideTheCanvas) {
    StartedWindow s;
    s.Start();
    auto* panel = s.Child<QWidget>("ToolBar1");
    MoveOverStrip(s, QPoint(20, 20), Qt::LeftButton);
    MoveOverStrip(s, QPoint(5000, 5000), Qt::LeftButton);
    EXPECT_EQ(panel->pos(), QPoint(640 - 68, 480 - 259));
    MoveOverStrip(s, QPoint(-5000, -5000), Qt::LeftButton);
    EXPECT_EQ(panel->pos(), QPoint(0, 0));
}

TEST(ToolPanel, OtherButtonsDoNotMoveIt) {
    for (const Qt::MouseButtons held : {Qt::MouseButtons(Qt::RightButton), Qt::MouseButtons(Qt::MiddleButton),
                                        Qt::LeftButton | Qt::RightButton}) {
        StartedWindow s;
        s.Start();
        MoveOverStrip(s, QPoint(20, 20), held);
        MoveOverStrip(s, QPoint(200, 200), held);
        EXPECT_EQ(s.Child<QWidget>("ToolBar1")->pos(), QPoint(16, 16)) << int(held);
    }
}

TEST(ToolPanel, ItsPositionIsNotRestoredByClear) {
    StartedWindow s;
    s.Start();
    MoveOverStrip(s, QPoint(20, 20), Qt::LeftButton);
    MoveOverStrip(s, QPoint(120, 70), Qt::LeftButton);
    s.Child<QAction>("mnuClear")->trigger();
    EXPECT_EQ(s.Child<QWidget>("ToolBar1")->pos(), QPoint(116, 66));
}

TEST(MainWindow, ExitClosesTheWindowWithoutAQuestion) {
    StartedWindow s;
    s.Start();
    s.Child<QAction>("mnuExit")->trigger();
    EXPECT_FALSE(s.window->isVisible());
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

TEST(MainWindow, ClosingTheWindowAsksNothing) {
    StartedWindow s;
    s.Start();
    EXPECT_TRUE(s.window->close());
    EXPECT_TRUE(s.platform.messages.shown.empty());
}
