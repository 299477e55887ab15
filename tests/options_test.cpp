#include "core/options/FalloffGraph.h"
#include "windows/picture/GMPicture.h"
#include "support/TestSupport.h"

namespace {

const MessageRequest kInvalidSize{"You must enter a value between 10 and 5000.", "Invalid Picture Size",
                                  MessageIcon::Information, MessageButtons::Ok};
const MessageRequest kSizeWarning{
    "You have modified the picture size. A new blank picture will be created (the current one will be lost). "
    "Make sure that you have saved the current picture before continuing.\r\n\r\nDo you want to continue?",
    "Warning!", MessageIcon::Exclamation, MessageButtons::YesNo};

struct Options : testing::Test {
    Running s;
    QPointer<QDialog> dialog;

    ~Options() override { delete dialog.data(); }
    void Open() {
        s.Action("mnuOptions")->trigger();
        dialog = VisibleTopLevel("frmOptions");
        ASSERT_TRUE(dialog);
    }
    template <typename T = QWidget>
    T* Control(const char* name) const {
        return dialog->template findChild<T*>(QLatin1String(name));
    }
    void Type(const char* field, const QString& text) {
        Control<QLineEdit>(field)->selectAll();
        if (text.isEmpty()) QTest::keyClick(Control(field), Qt::Key_Delete);
        QTest::keyClicks(Control(field), text);
    }
    void PressOK() { QTest::mouseClick(Control("cmdOK"), Qt::LeftButton); }
    bool Closed() const { return dialog.isNull() || !dialog->isVisible(); }
    QString MainText(const char* field) const { return s.Child<QLineEdit>(field)->text(); }
    QString Stored() { return s.platform.settings.values[{"Glimmerage", "Settings", "AutoAdjustExposure"}]; }
};

// The first and last columns of an image that hold anything but the colour of its corner.
std::pair<int, int> InkColumns(const QImage& image) {
    std::pair<int, int> columns{image.width(), -1};
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != image.pixel(0, 0)) columns = {std::min(columns.first, x), x};
    return columns;
}

}  // namespace

// At the bars' maximum each value label, placed clear of its caption and bar, holds "100" whole, right against the
// bar's end of its box. The ctest entry HiDpi.AtScaleFactorTwo runs this with two device pixels to a logical one.
using HiDpiOptions = Options;
TEST_F(HiDpiOptions, TheWidestValuesFitBetweenTheirCaptionsAndBars) {
    Open();
    const QByteArray ratio = qgetenv("GLIMMERAGE_TEST_DEVICE_PIXEL_RATIO");
    ASSERT_EQ(dialog->devicePixelRatio(), ratio.isEmpty() ? 1.0 : ratio.toDouble()) << "the scale is not in effect";
    for (const auto& [value, bar] : {std::pair("lblFog", "scrFog"), std::pair("lblIntensity", "scrIntensity")}) {
        Control<QScrollBar>(bar)->setValue(100);
        auto* label = Control<QLabel>(value);
        const QImage shown = label->grab().toImage();
        const auto [first, last] = InkColumns(shown);
        const int room = label->contentsRect().width();
        EXPECT_EQ(std::tuple(label->text(), QFontMetrics(label->font()).horizontalAdvance("100") <= room, first > 0,
                             last >= shown.width() - 1 - 2 * label->devicePixelRatio()),
                  std::tuple("100", true, true, true)) << value << ": fits, whole, against the bar";
    }
}

TEST_F(Options, PictureSizesOutsideTenToFiveThousandAreRefusedAndANewSizeIsAppliedAfterTheWarning) {
    ClickWith(s.Canvas(), {100, 100});
    Open();
    // Both limits are in, one past each is out, for either side; so is what is no whole number.
    for (const auto& [width, height, valid] :
         {std::tuple("9", "480", false), {"10", "480", true}, {"5000", "480", true}, {"5001", "480", false},
          {"640", "9", false}, {"640", "10", true}, {"640", "5000", true}, {"640", "5001", false},
          {"9.9", "480", false}, {"5000.1", "480", false}, {"", "480", false}, {"abc", "480", false},
          {"64 0", "480", false}, {"640px", "480", false}}) {
        s.platform.messages.shown.clear();
        s.platform.messages.answers = {MessageAnswer::No};
        Type("txtWidth", width);
        Type("txtHeight", height);
        PressOK();
        EXPECT_EQ(std::pair(s.platform.messages.shown, Closed()),
                  std::pair(Boxes{valid ? kSizeWarning : kInvalidSize}, false)) << width << " x " << height;
    }
    Type("txtWidth", "10");  // declining the warning applies nothing
    Type("txtHeight", "5000");
    Control<QCheckBox>("chkExposure")->setChecked(true);
    Control<QScrollBar>("scrFog")->setValue(50);
    s.platform.messages.shown.clear();
    s.platform.messages.answers = {MessageAnswer::No};
    PressOK();
    EXPECT_EQ(std::tuple(s.platform.messages.shown, Closed(), s.window->PictureWidth(), s.platform.settings.writes,
                         MainText("txtFog")),
              std::tuple(Boxes{kSizeWarning}, false, 640, 0, "10"));

    Type("txtWidth", "640.4");  // a change, though it rounds to the same width
    Type("txtHeight", "300");
    s.platform.messages.answers = {MessageAnswer::Yes};
    PressOK();
    EXPECT_TRUE(Closed());
    ExpectFreshDocument(s, {640, 300});
    EXPECT_EQ(std::pair(MainText("txtFog"), Stored()), std::pair(QString("50"), QString("1")));
}

TEST_F(Options, AStoredSettingThatIsNoNumberIsReported) {
    SetAutoExposure(s.platform, "abc");
    Open();
    EXPECT_EQ(s.platform.messages.shown, Boxes{ErrorBox("Type mismatch")});
    EXPECT_EQ(std::tuple(Control<QLineEdit>("txtWidth")->text(), Control<QLabel>("lblFog")->text()),
              std::tuple("640", "..."));
    PressOK();
    EXPECT_EQ(std::pair(s.platform.messages.shown.size(), Closed()), std::pair(2ul, false));
}

TEST(FalloffGraph, DrawsOneDotPerColumnAtItsHeight) {
    ScriptedMessageBoxes messages;
    PixelBuffer pixels;
    GMPicture graph(pixels, messages);
    graph.CreateNewPicture(300, 65);
    const struct { std::int16_t fog, intensity; int column; std::vector<int> rows; } cases[] = {
        {10, 10, 1, {17}}, {10, 10, 300, {62}}, {100, 100, 1, {}}, {100, 100, 300, {}},
        {0, 0, 1, {65}},   {55, 0, 300, {65}},  {0, 9, 1, {35}},   {0, 9, 2, {43}},
        {3, 78, 39, {}},   {3, 78, 40, {}},     {3, 78, 41, {1}}};  // heights 66, exactly 65, and 64 in the top row
    for (const auto& c : cases) {
        DrawFalloffGraph(graph, c.fog, c.intensity);
        std::vector<int> black;
        for (int row = 1; row <= 65; ++row) {
            std::int32_t r = 0, g = 0, b = 0;
            graph.GetPixel(float(c.column), float(row), r, g, b);
            if (r == 0 && g == 0 && b == 0) black.push_back(row);
        }
        EXPECT_EQ(black, c.rows) << c.fog << " " << c.intensity << " " << c.column;
    }
    EXPECT_EQ(FalloffHeight(300, 100, 100), 201);
    EXPECT_TRUE(messages.shown.empty());
}
