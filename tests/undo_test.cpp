#include "picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QAction>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<float> Snapshot(const frmDrawing& window) {
    const auto values = window.Document().LightBuffer.Values();
    return {values.begin(), values.end()};
}

struct UndoFixture : ::testing::Test {
    StartedWindow s;
    PictureBox* canvas = nullptr;
    QAction* undo = nullptr;

    void SetUp() override {
        s.Start();
        canvas = s.Child<PictureBox>("p");
        undo = s.Child<QAction>("mnuUndo");
    }
    void Click(QPointF at) { ClickWith(canvas, at); }
};

}  // namespace

using Undo = UndoFixture;

TEST_F(Undo, TakesTheOnlyLightAwayAndGreysItself) {
    const std::vector<float> empty = Snapshot(*s.window);
    Click({100, 100});
    EXPECT_TRUE(undo->isEnabled());
    s.platform.busy.events.clear();
    undo->trigger();
    EXPECT_EQ(Snapshot(*s.window), empty);
    EXPECT_EQ(s.window->Document().LightsCount, 0);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(canvas->Image().pixel(99, 99) & 0xFFFFFF, 0u);
    EXPECT_EQ(s.platform.busy.events, std::vector<std::string>({"busy", "default"}));
}

TEST_F(Undo, OnlyTheLastLightCanBeUndoneAndOnlyOnce) {
    Click({100, 100});
    const std::vector<float> afterA = Snapshot(*s.window);
    Click({300, 200});
    undo->trigger();
    EXPECT_EQ(Snapshot(*s.window), afterA);
    EXPECT_EQ(s.window->Document().LightsCount, 1);
    undo->trigger();  // disabled: nothing happens
    EXPECT_EQ(Snapshot(*s.window), afterA);

    Click({50, 400});
    EXPECT_TRUE(undo->isEnabled());
    const LightPoint& c = s.window->Document().Lights.at(2);
    EXPECT_EQ(std::pair(c.X, c.Y), std::pair(50.0f, 400.0f));
    undo->trigger();
    EXPECT_EQ(Snapshot(*s.window), afterA);
}

TEST_F(Undo, WithNoLightsDoesNothingAtAll) {
    s.window->Undo();
    EXPECT_TRUE(s.platform.busy.events.empty());
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(Undo, RedrawsWithTheExposureRuleReadAtThatMoment) {
    Click({100, 100});
    Click({100, 100});
    Click({400, 300});
    SetAutoExposure(s.platform, "1");
    undo->trigger();
    // The two lights on one spot make 510; the pixel ten columns away holds 255.
    EXPECT_EQ(qRed(canvas->Image().pixel(99, 99)), 255);
    EXPECT_EQ(qRed(canvas->Image().pixel(109, 99)), 128);
}

TEST_F(Undo, AFailureOnTheWayIsReportedWithTheNormalPointerBack) {
    Click({100, 100});
    SetAutoExposure(s.platform, "x");
    s.platform.busy.events.clear();
    undo->trigger();
    EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>{ErrorBox("Type mismatch")});
    EXPECT_EQ(s.platform.busy.events, std::vector<std::string>({"busy", "default"}));
}
