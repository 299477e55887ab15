#include "support/TestSupport.h"

const MessageRequest kDepthBox{
    "Your display is currently NOT running in True Color (24bit-32bit color modes). You must increase the "
    "display color depth before being able to use this program.\r\n\r\n"
    "To increase the color depth, go to the \"Display Properties\" window from the Control Panel, then go to "
    "the \"Settings\" tab, and then increase the \"Colors\" setting.\r\n\r\n"
    "Click OK once you have increased your display color depth.",
    "Invalid Display Color Depth", MessageIcon::Information, MessageButtons::OkCancel};

// A palette depth (4, 8 or 16 bits) is refused, looked at again after each OK, until the user fixes it or gives up;
// any other starts, and so does a display whose depth cannot be told, after saying so.
TEST(Startup, DisplayDepthCheck) {
    using enum frmDrawing::StartupOutcome;
    const MessageRequest unknown{"Error evaluating the current display settings.", "Glimmerage",
                                 MessageIcon::Information, MessageButtons::Ok};
    const struct { std::deque<std::optional<int>> depths; MessageAnswer answer; frmDrawing::StartupOutcome outcome;
                   Boxes shown; } cases[] = {
        {{16, 16, 24}, MessageAnswer::Ok, Running, {kDepthBox, kDepthBox}},
        {{4}, MessageAnswer::Cancel, EndProgram, {kDepthBox}}, {{8}, MessageAnswer::Cancel, EndProgram, {kDepthBox}},
        {{2}, MessageAnswer::Cancel, Running, {}}, {{std::nullopt}, MessageAnswer::Ok, Running, {unknown}}};
    for (const auto& c : cases) {
        StartedWindow s;
        s.platform.display.depths = c.depths;
        s.platform.messages.answers = {c.answer, c.answer};
        const frmDrawing::StartupOutcome outcome = s.Start();
        EXPECT_EQ(std::tuple(outcome, s.platform.messages.shown, s.window->isVisible()),
                  std::tuple(c.outcome, c.shown, c.outcome == Running));
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

