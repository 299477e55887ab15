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
