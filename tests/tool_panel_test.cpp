#include "windows/editor/PalettePicture.h"
#include "support/TestSupport.h"

namespace {

struct LightTools : testing::Test {
    Running s;
    PictureBox* swatch = s.Child<PictureBox>("LightColor1");
};

}  // namespace

TEST_F(LightTools, TheColourDialogOpensWithBlackCustomColoursAndCancelChangesNothingAndAFailureGivesBlack) {
    s.platform.colors.answers = {std::optional<ColorValue>(), PackColor(1, 2, 3), Failure::OutOfMemory()};
    SendMouse(swatch, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(swatch, QEvent::MouseButtonRelease, {5, -1}, Qt::LeftButton, Qt::NoButton);  // let go off it: no dialog
    std::vector<ColorValue> colours;
    for (int i = 0; i < 3; ++i) ClickWith(swatch, {5, 5}), colours.push_back(swatch->BackColor());
    ColorDialogRequest expected;
    expected.customPartOpen = true;
    EXPECT_EQ(std::tuple(colours, s.platform.colors.requests, s.platform.messages.shown),
              std::tuple(std::vector{PackColor(255, 255, 255), PackColor(1, 2, 3), PackColor(0, 0, 0)},
                         std::vector(3, expected), Boxes{ErrorBox("Out of memory")}));
}

// Only a move or release with the left button alone picks, and only on the palette's pixels: its last row and
// column and its black and white columns pick, one pixel past an edge keeps the colour picked last.
TEST_F(LightTools, DraggingOverThePaletteWithTheLeftButtonPicksAsItGoes) {
    const QImage colours = MakePalettePicture();
    const auto at = [&](int x, int y) { return FromQColor(colours.pixel(x, y)); };
    const ColorValue white = PackColor(255, 255, 255), black = PackColor(0, 0, 0);
    using enum QEvent::Type;
    const Qt::MouseButton none = Qt::NoButton, left = Qt::LeftButton;
    const struct { QEvent::Type type; QPointF at; Qt::MouseButtons held; ColorValue picked; } steps[] = {
        {MouseButtonPress, {3, 3}, left, white},  // a press picks nothing
        {MouseMove, {22, 0}, left, at(22, 0)},    {MouseMove, {44, 60}, left, black},
        {MouseMove, {70, 60}, left, black},       {MouseMove, {0, 114}, left, at(0, 114)},
        {MouseMove, {52, 50}, left, at(0, 114)},  {MouseMove, {51, 114}, left, white},
        {MouseMove, {0, 115}, left, white},       {MouseMove, {43, 0}, left, at(43, 0)},
        {MouseMove, {-0.5, 0}, left, at(43, 0)},  {MouseMove, {44, 114}, left, black},
        {MouseMove, {0, -1}, left, black},        {MouseMove, {45, 0}, left, white},
        {MouseMove, {10, 90}, left | Qt::MiddleButton, white}, {MouseMove, {10, 90}, Qt::RightButton, white},
        {MouseMove, {10, 90}, none, white},       {MouseMove, {44, 60}, left, black},
        {MouseButtonRelease, {48, 100}, none, white}};
    for (const auto& step : steps) {
        SendMouse(s.Child("Palette1"), step.type, step.at, step.type == MouseMove ? none : left, step.held);
        EXPECT_EQ(swatch->BackColor(), step.picked) << step.at.x() << ", " << step.at.y();
    }
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

TEST_F(LightTools, TheFieldsAcceptNumbersFromZeroToAThousandAndPutTenBackForAnyOther) {
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
    s.Child<QLineEdit>("txtFog")->setText("5");
    s.Child<QLineEdit>("txtIntensity")->setText("7");
    s.Action("mnuClear")->trigger();  // a fresh drawing keeps the values typed
    EXPECT_EQ(std::pair(s.Child<QLineEdit>("txtFog")->text(), s.Child<QLineEdit>("txtIntensity")->text()),
              std::pair(QString("5"), QString("7")));
}
