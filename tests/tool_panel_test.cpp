#include "windows/editor/PalettePicture.h"
#include "support/TestSupport.h"

namespace {

struct ToolFixture : testing::Test {
    Running s;
    PictureBox* canvas = s.Canvas();
    PictureBox* swatch = s.Child<PictureBox>("LightColor1");
    PictureBox* palette = s.Child<PictureBox>("Palette1");
};

}  // namespace

using LightPlacement = ToolFixture;
using LightColour = ToolFixture;
using LightFields = ToolFixture;

// The mouse gives whole picture pixels: the one under the pointer.
TEST_F(LightPlacement, EachLeftOrMiddleClickAddsOneLightInItsColour) {
    swatch->SetBackColor(PackColor(10, 20, 30));
    ClickWith(canvas, {5, 6});
    ClickWith(canvas, {7.5, 8.25}, Qt::MiddleButton);
    ClickWith(canvas, {639, 479});
    const DrawingDocument& doc = s.Doc();
    ASSERT_EQ(std::pair(doc.LightsCount, doc.Lights.size()), std::pair(3, 4ul));
    const LightPoint& second = doc.Lights[2];
    EXPECT_EQ(std::tuple(second.X, second.Y, second.Red, second.Green, second.Blue),
              std::tuple(7.0f, 8.0f, 10, 20, 30));
}

TEST_F(LightPlacement, TheRightButtonPicksThePixelUpAndLeftOfThePointerButNotOnTheTopRow) {
    swatch->SetBackColor(PackColor(0, 255, 0));
    ClickWith(canvas, {12, 22});  // a green glow whose brightest pixel is (11, 21)
    swatch->SetBackColor(PackColor(1, 2, 3));
    ClickWith(canvas, {12, 22}, Qt::RightButton);
    EXPECT_EQ(swatch->BackColor(), PackColor(0, 255, 0));
    ClickWith(canvas, {10, 20}, Qt::RightButton);
    EXPECT_EQ(swatch->BackColor(), FromQColor(s.Shown(9, 19)));
    EXPECT_EQ(s.Doc().LightsCount, 1);
    EXPECT_TRUE(s.platform.messages.shown.empty());
    ClickWith(canvas, {30, 0}, Qt::RightButton);  // the miss is reported and the colour stays
    EXPECT_EQ(s.platform.messages.shown, Boxes{ErrorBox("Subscript out of range")});
    EXPECT_EQ(swatch->BackColor(), FromQColor(s.Shown(9, 19)));
}

TEST_F(LightColour, TheDialogOpensWithBlackCustomColoursAndCancelChangesNothingAndAFailureGivesBlack) {
    s.platform.colors.answers = {std::optional<ColorValue>(), PackColor(1, 2, 3), Failure::OutOfMemory()};
    ClickWith(swatch, {5, 5});
    EXPECT_EQ(swatch->BackColor(), PackColor(255, 255, 255));
    ClickWith(swatch, {5, 5});
    EXPECT_EQ(swatch->BackColor(), PackColor(1, 2, 3));
    ColorDialogRequest expected;
    expected.customPartOpen = true;
    EXPECT_EQ(s.platform.colors.requests, std::vector(2, expected));
    EXPECT_TRUE(s.platform.messages.shown.empty());
    ClickWith(swatch, {5, 5});
    EXPECT_EQ(s.platform.messages.shown, Boxes{ErrorBox("Out of memory")});
    EXPECT_EQ(swatch->BackColor(), PackColor(0, 0, 0));
}

TEST_F(LightColour, DraggingOverThePaletteWithTheLeftButtonPicksAsItGoes) {
    const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
        SendMouse(palette, type, at, button, held);
        return swatch->BackColor();
    };
    const ColorValue white = PackColor(255, 255, 255);
    EXPECT_EQ(send(QEvent::MouseButtonPress, {3, 3}, Qt::LeftButton, Qt::LeftButton), white);  // picks nothing
    EXPECT_EQ(send(QEvent::MouseMove, {22, 0}, Qt::NoButton, Qt::LeftButton),
              FromQColor(MakePalettePicture().pixel(22, 0)));
    EXPECT_EQ(send(QEvent::MouseMove, {44, 60}, Qt::NoButton, Qt::LeftButton), PackColor(0, 0, 0));
    EXPECT_EQ(send(QEvent::MouseMove, {70, 60}, Qt::NoButton, Qt::LeftButton), PackColor(0, 0, 0));  // off the palette
    // The palette's last row and column and its black and white columns pick; one pixel past an edge keeps
    // the colour picked last.
    const QImage colours = MakePalettePicture();
    const struct { QPointF at; ColorValue picked; } edges[] = {
        {{0, 114}, FromQColor(colours.pixel(0, 114))}, {{52, 50}, FromQColor(colours.pixel(0, 114))},
        {{51, 114}, white},                            {{0, 115}, white},
        {{43, 0}, FromQColor(colours.pixel(43, 0))},   {{-1, 0}, FromQColor(colours.pixel(43, 0))},
        {{44, 114}, PackColor(0, 0, 0)},               {{0, -1}, PackColor(0, 0, 0)},
        {{45, 0}, white}};
    for (const auto& [at, picked] : edges)
        EXPECT_EQ(send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton), picked) << at.x() << ", " << at.y();
    EXPECT_EQ(send(QEvent::MouseMove, {44, 60}, Qt::NoButton, Qt::LeftButton), PackColor(0, 0, 0));
    EXPECT_EQ(send(QEvent::MouseButtonRelease, {48, 100}, Qt::LeftButton, Qt::NoButton), white);
    EXPECT_EQ(send(QEvent::MouseMove, {10, 90}, Qt::NoButton, Qt::RightButton), white);
    EXPECT_EQ(send(QEvent::MouseMove, {10, 90}, Qt::NoButton, Qt::NoButton), white);
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

TEST_F(LightFields, AcceptNumbersFromZeroToAThousand) {
    const MessageRequest invalid{"You must enter a numeric value between 0 and 1000.", "Invalid Intensity",
                                 MessageIcon::Information, MessageButtons::Ok};
    for (const char* name : {"txtIntensity", "txtFog"}) {
        auto* field = s.Child<QLineEdit>(name);
        for (const char* text : {"1000", "0", " 5 ", "12.5", "1e3"}) {
            field->setText(text);
            EXPECT_EQ(field->text(), text) << name;
        }
        for (const char* text : {"1001", "-1", "abc", "", "1000.01", "-0.01", "5x"}) {
            s.platform.messages.shown.clear();
            field->setText(text);
            EXPECT_EQ(std::pair(field->text(), s.platform.messages.shown), std::pair(QString("10"), Boxes{invalid}))
                << name << " " << text;
        }
    }
}

TEST_F(LightFields, EmptyingTheFieldByKeyboardPutsTenBack) {
    auto* field = s.Child<QLineEdit>("txtIntensity");
    field->setFocus();
    field->end(false);
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(std::pair(field->text(), s.platform.messages.shown.size()), std::pair(QString("1"), 0ul));
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(std::pair(field->text(), s.platform.messages.shown.size()), std::pair(QString("10"), 1ul));
    field->selectAll();
    QTest::keyClicks(field, "5");
    EXPECT_EQ(std::pair(field->text(), s.platform.messages.shown.size()), std::pair(QString("5"), 1ul));
}
