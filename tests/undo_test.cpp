#include "support/TestSupport.h"

namespace {

struct Undo : testing::Test {
    Running s;
    QAction* undo = s.Action("mnuUndo");

    std::vector<float> Snapshot() const {
        return Values(s.Doc().LightBuffer());
    }
    void Click(QPointF at) { ClickWith(s.Canvas(), at); }
};

}  // namespace

TEST_F(Undo, TakesTheOnlyLightAwayAndGreysItself) {
    const std::vector<float> empty = Snapshot();
    s.window->Undo();  // with no lights: nothing at all
    EXPECT_EQ(std::tuple(s.platform.busy.events, undo->isEnabled(), Snapshot() == empty),
              std::tuple(Events{}, false, true));
    Click({100, 100});
    EXPECT_TRUE(undo->isEnabled());
    s.platform.busy.events.clear();
    undo->trigger();
    EXPECT_EQ(Snapshot(), empty);
    EXPECT_EQ(std::tuple(s.Doc().LightsCount, undo->isEnabled(), s.Shown(99, 99), s.platform.busy.events),
              std::tuple(0, false, 0u, kBusyOnce));
}

TEST_F(Undo, OnlyTheLastLightCanBeUndoneAndOnlyOnce) {
    Click({100, 100});
    const std::vector<float> afterA = Snapshot();
    Click({300, 200});
    undo->trigger();
    EXPECT_EQ(std::pair(Snapshot() == afterA, s.Doc().LightsCount), std::pair(true, 1));
    undo->trigger();  // disabled: nothing happens
    EXPECT_EQ(Snapshot(), afterA);
    Click({50, 400});
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(std::pair(s.Doc().Lights.at(2).X, s.Doc().Lights.at(2).Y), std::pair(50.0f, 400.0f));
    undo->trigger();
    EXPECT_EQ(Snapshot(), afterA);
}

TEST_F(Undo, RedrawsWithTheExposureRuleReadAtThatMoment) {
    Click({100, 100});
    Click({100, 100});
    Click({400, 300});
    SetAutoExposure(s.platform, "1");
    undo->trigger();
    // The two lights on one spot make 510; the pixel ten columns away holds 255.
    EXPECT_EQ(std::pair(qRed(s.Shown(99, 99)), qRed(s.Shown(109, 99))), std::pair(255, 128));
}

TEST_F(Undo, AFailureOnTheWayIsReportedWithTheNormalPointerBack) {
    Click({100, 100});
    SetAutoExposure(s.platform, "x");
    s.platform.busy.events.clear();
    undo->trigger();
    EXPECT_EQ(std::pair(s.platform.messages.shown, s.platform.busy.events),
              std::pair(Boxes{ErrorBox("Type mismatch")}, kBusyOnce));
}

// The undo copy holds what the last placement stored until the next one, whatever comes between: a second
// undo called directly, or a rebuild, brings back the state after A again.
TEST_F(Undo, TheUndoCopyKeepsWhatTheLastPlacementStored) {
    Click({100, 100});
    const std::vector<float> afterA = Snapshot();
    Click({300, 200});
    s.window->Undo();
    EXPECT_EQ(std::pair(Snapshot() == afterA, Values(s.Doc().UndoBuffer()) == afterA), std::pair(true, true));
    s.window->Undo();
    EXPECT_EQ(std::pair(Snapshot() == afterA, s.Doc().LightsCount), std::pair(true, 0));
    Click({50, 400});
    const std::vector<float> afterC = Snapshot();
    Click({60, 300});
    undo->trigger();
    s.Action("mnuRender")->trigger();  // rebuilds from the lights alone, without taking a copy
    EXPECT_NE(Snapshot(), afterC);
    s.window->Undo();
    EXPECT_EQ(Snapshot(), afterC);
}

// A click whose render fails on the stored setting has placed its light and taken the undo copy: "Undo"
// takes that light away again and brings back the drawing after A.
TEST_F(Undo, AClickWhoseRenderFailsCanBeUndone) {
    Click({100, 100});
    const std::vector<float> afterA = Snapshot();
    SetAutoExposure(s.platform, "abc");
    Click({300, 200});
    EXPECT_EQ(std::tuple(s.platform.messages.shown, s.Doc().LightsCount, undo->isEnabled(), Snapshot() == afterA,
                         Values(s.Doc().UndoBuffer()) == afterA),
              std::tuple(Boxes{ErrorBox("Type mismatch")}, 2, true, true, true));
    SetAutoExposure(s.platform, "0");
    undo->trigger();
    EXPECT_EQ(std::tuple(s.Doc().LightsCount, undo->isEnabled(), Snapshot() == afterA), std::tuple(1, false, true));
}
