#include "editor/PalettePicture.h"
#include "picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct ToolFixture : ::testing::Test {
    StartedWindow s;
    PictureBox* canvas = nullptr;
    PictureBox* swatch = nullptr;
    PictureBox* palette = nullptr;

    void SetUp() override {
        s.Start();
        canvas = s.Child<PictureBox>("p");
        swatch = s.Child<PictureBox>("LightColor1");
        palette = s.Child<PictureBox>("Palette1");
    }
    ColorValue PaletteAt(int x, int y) const {
        const QRgb pixel = MakePalettePicture().pixel(x, y);
        return PackColor(qRed(pixel), qGreen(pixel), qBlue(pixel));
    }
};

const MessageRequest kInvalidField{"You must enter a numeric value between 0 and 1000.", "Invalid Intensity",
                                   MessageIcon::Information, MessageButtons::Ok};

}  // namespace

using LightPlacement = ToolFixture;
using LightColour = ToolFixture;
using LightFields = ToolFixture;

TEST_F(LightPlacement, EachLeftOrMiddleClickAddsOneLightInItsColour) {
    swatch->SetBackColor(PackColor(10, 20, 30));
    ClickWith(canvas, {5, 6});
    ClickWith(canvas, {7.5, 8.25}, Qt::MiddleButton);
    ClickWith(canvas, {639, 479});
    const DrawingDocument& doc = s.window->Document();
    ASSERT_EQ(doc.LightsCount, 3);
    ASSERT_EQ(doc.Lights.size(), 4u);
    const LightPoint& untouched = doc.Lights[0];
    EXPECT_EQ(std::tuple(untouched.X, untouched.Y, untouched.Red), std::tuple(0.0f, 0.0f, 0));
    const LightPoint& second = doc.Lights[2];
    EXPECT_EQ(std::tuple(second.X, second.Y, second.Red, second.Green, second.Blue),
              std::tuple(7.5f, 8.25f, 10, 20, 30));
}

TEST_F(LightPlacement, TheRightButtonPicksThePixelUpAndLeftOfThePointer) {
    swatch->SetBackColor(PackColor(0, 255, 0));
    ClickWith(canvas, {12, 22});  // a green glow whose brightest pixel is (11, 21)
    swatch->SetBackColor(PackColor(1, 2, 3));
    ClickWith(canvas, {12, 22}, Qt::RightButton);
    EXPECT_EQ(swatch->BackColor(), PackColor(0, 255, 0));
    ClickWith(canvas, {10, 20}, Qt::RightButton);
    const QRgb shown = canvas->Image().pixel(9, 19);
    EXPECT_EQ(swatch->BackColor(), PackColor(qRed(shown), qGreen(shown), qBlue(shown)));
    EXPECT_EQ(s.window->Document().LightsCount, 1);
}

TEST_F(LightPlacement, ARightClickOnTheTopRowReportsTheMissAndKeepsTheColour) {
    swatch->SetBackColor(PackColor(9, 8, 7));
    ClickWith(canvas, {30, 0}, Qt::RightButton);
    EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>{ErrorBox("Subscript out of range")});
    EXPECT_EQ(swatch->BackColor(), PackColor(9, 8, 7));
}

TEST_F(LightColour, TheDialogOpensWithBlackCustomColoursAndCancelChangesNothing) {
    s.platform.colors.answers = {std::optional<ColorValue>(), PackColor(1, 2, 3)};
    ClickWith(swatch, {5, 5});
    EXPECT_EQ(swatch->BackColor(), PackColor(255, 255, 255));
    ClickWith(swatch, {5, 5});
    EXPECT_EQ(swatch->BackColor(), PackColor(1, 2, 3));
    ColorDialogRequest expected;
    expected.customPartOpen = true;
    EXPECT_EQ(s.platform.colors.requests, std::vector<ColorDialogRequest>(2, expected));
}

TEST_F(LightColour, AFailingDialogIsReportedAndGivesBlack) {
    s.platform.colors.answers = {Failure::OutOfMemory()};
    ClickWith(swatch, {5, 5});
    EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>{ErrorBox("Out of memory")});
    EXPECT_EQ(swatch->BackColor(), PackColor(0, 0, 0));
}

TEST_F(LightColour, DraggingOverThePaletteWithTheLeftButtonPicksAsItGoes) {
    SendMouse(palette, QEvent::MouseButtonPress, {3, 3}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(swatch->BackColor(), PackColor(255, 255, 255));  // the press itself picks nothing
    SendMouse(palette, QEvent::MouseMove, {22, 0}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(swatch->BackColor(), PaletteAt(22, 0));
    SendMouse(palette, QEvent::MouseMove, {44, 60}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(swatch->BackColor(), PackColor(0, 0, 0));
    SendMouse(palette, QEvent::MouseMove, {70, 60}, Qt::NoButton, Qt::LeftButton);  // off the palette
    EXPECT_EQ(swatch->BackColor(), PackColor(0, 0, 0));
    SendMouse(palette, QEvent::MouseButtonRelease, {48, 100}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(swatch->BackColor(), PackColor(255, 255, 255));
    SendMouse(palette, QEvent::MouseMove, {10, 90}, Qt::NoButton, Qt::RightButton);
    SendMouse(palette, QEvent::MouseMove, {10, 90}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(swatch->BackColor(), PackColor(255, 255, 255));
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

TEST_F(LightFields, AcceptNumbersFromZeroToAThousand) {
    for (const char* name : {"txtIntensity", "txtFog"}) {
        auto* field = s.Child<QLineEdit>(name);
        for (const char* text : {"1000", "0", " 5 ", "12.5", "1e3"}) {
            field->setText(text);
            EXPECT_EQ(field->text(), text) << name;
        }
        for (const char* text : {"1001", "-1", "abc", "", "1000.01", "5x"}) {
            s.platform.messages.shown.clear();
            field->setText(text);
            EXPECT_EQ(field->text(), "10") << name << " " << text;
            EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>{kInvalidField}) << text;
        }
    }
}

TEST_F(LightFields, EmptyingTheFieldByKeyboardPutsTenBack) {
    auto* field = s.Child<QLineEdit>("txtIntensity");
    field->setFocus();
    field->end(false);
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "1");
    EXPECT_TRUE(s.platform.messages.shown.empty());
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "10");
    EXPECT_EQ(s.platform.messages.shown.size(), 1u);
    field->selectAll();
    QTest::keyClicks(field, "5");
    EXPECT_EQ(field->text(), "5");
    EXPECT_EQ(s.platform.messages.shown.size(), 1u);
}
