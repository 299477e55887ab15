#include "support/TestSupport.h"

namespace {

struct Undo : testing::Test {
    Running s;
    QAction* undo = s.Action("mnuUndo");

    std::vector<float> Light() const { return Values(s.Doc().LightBuffer()); }
    std::vector<float> Copy() const { return Values(s.Doc().UndoBuffer()); }
    void Click(QPointF at) { ClickWith(s.Canvas(), at); }
};

}  // namespace

// Only the last light can be taken away, once; the redraw follows the exposure rule as it reads
// then, and a failure on the way is reported with the normal pointer back.
TEST_F(Undo, TakesTheLastLightAwayOnceAndRedrawsWithTheRuleReadThen) {
    const std::vector<float> empty = Light();
    s.window->Undo();  // with no lights: nothing at all
    EXPECT_EQ(std::tuple(s.platform.busy.events, undo->isEnabled(), s.Doc().LightsCount, Light() == empty),
              std::tuple(Events{}, false, 0, true));
    Click({100, 100});  // a click shows the busy pointer too
    ASSERT_EQ(std::pair(undo->isEnabled(), s.platform.busy.events), std::pair(true, kBusyOnce));
    s.Run("mnuUndo");
    EXPECT_EQ(std::tuple(s.Doc().LightsCount, undo->isEnabled(), Light() == empty, s.Shown(99, 99),
                         s.platform.busy.events),
              std::tuple(0, false, true, 0u, kBusyOnce));
    Click({100, 100});
    Click({100, 100});
    Click({400, 300});
    SetAutoExposure(s.platform, "1");
    undo->trigger();
    // The two lights on one spot make 510; the pixel ten columns away holds 255.
    EXPECT_EQ(std::tuple(s.Doc().LightsCount, qRed(s.Shown(99, 99)), qRed(s.Shown(109, 99))), std::tuple(2, 255, 128));
    Click({50, 400});
    SetAutoExposure(s.platform, "x");
    s.Run("mnuUndo");
    EXPECT_EQ(std::pair(s.platform.messages.shown, s.platform.busy.events),
              std::pair(Boxes{ErrorBox("Type mismatch")}, kBusyOnce));
}

// The undo copy holds what the last placement stored until the next one, whatever comes between: a second
// undo called directly, or a rebuild, brings back the state after A again.
TEST_F(Undo, TheUndoCopyKeepsWhatTheLastPlacementStored) {
    Click({100, 100});
    const std::vector<float> afterA = Light();
    Click({300, 200});
    s.window->Undo();
    EXPECT_EQ(std::pair(Light() == afterA, Copy() == afterA), std::pair(true, true));
    s.window->Undo();
    EXPECT_EQ(std::pair(Light() == afterA, s.Doc().LightsCount), std::pair(true, 0));
    Click({50, 400});
    const std::vector<float> afterC = Light();
    Click({60, 300});
    undo->trigger();
    s.Action("mnuRender")->trigger();  // rebuilds from the lights alone, without taking a copy
    EXPECT_NE(Light(), afterC);
    s.window->Undo();
    EXPECT_EQ(Light(), afterC);
}

// A click whose render fails on the stored setting has placed its light and taken the undo copy before
// the render started: "Undo" takes that light away again and brings back the drawing after A.
TEST_F(Undo, AClickWhoseRenderFailsCanBeUndone) {
    Click({100, 100});
    const std::vector<float> afterA = Light();
    const QImage shownAfterA = s.Canvas()->Image();
    SetAutoExposure(s.platform, "abc");
    s.platform.busy.events.clear();
    Click({300, 200});
    EXPECT_EQ(std::tuple(s.platform.messages.shown, s.platform.busy.events, s.Doc().LightsCount, undo->isEnabled(),
                         Light() == afterA, Copy() == afterA, s.Canvas()->Image() == shownAfterA),
              std::tuple(Boxes{ErrorBox("Type mismatch")}, Events{}, 2, true, true, true, true));
    SetAutoExposure(s.platform, "0");
    undo->trigger();
    EXPECT_EQ(std::tuple(s.Doc().LightsCount, undo->isEnabled(), Light() == afterA), std::tuple(1, false, true));
}
