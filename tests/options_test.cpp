#include "options/FalloffGraph.h"
#include "picture/GMPicture.h"
#include "picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kFogReduced = "The \"fog\" value have been reduced in order to fit in the scoll bars.";
const QString kIntensityReduced = "The \"intensity\" value have been reduced in order to fit in the scoll bars.";
const MessageRequest kInvalidSize{"You must enter a value between 10 and 5000.", "Invalid Picture Size",
                                  MessageIcon::Information, MessageButtons::Ok};
const MessageRequest kSizeWarning{
    "You have modified the picture size. A new blank picture will be created (the current one will be lost). "
    "Make sure that you have saved the current picture before continuing.\r\n\r\nDo you want to continue?",
    "Warning!", MessageIcon::Exclamation, MessageButtons::YesNo};

MessageRequest Information(const QString& text) {
    return {text, "Glimmerage", MessageIcon::Information, MessageButtons::Ok};
}

struct OptionsFixture : ::testing::Test {
    StartedWindow s;
    QPointer<QDialog> dialog;

    void SetUp() override { s.Start(); }
    void TearDown() override { delete dialog.data(); }

    void Open() {
        s.Child<QAction>("mnuOptions")->trigger();
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "frmOptions" && widget->isVisible()) dialog = qobject_cast<QDialog*>(widget);
        }
        ASSERT_TRUE(dialog);
    }
    template <typename T>
    T* Control(const char* name) const {
        return dialog->template findChild<T*>(QLatin1String(name));
    }
    void Type(const char* field, const QString& text) {
        Control<QLineEdit>(field)->selectAll();
        if (text.isEmpty()) QTest::keyClick(Control<QLineEdit>(field), Qt::Key_Delete);
        QTest::keyClicks(Control<QLineEdit>(field), text);
    }
    void PressOK() { QTest::mouseClick(Control<QPushButton>("cmdOK"), Qt::LeftButton); }
    bool Closed() const { return dialog.isNull() || !dialog->isVisible(); }
    QString MainText(const char* field) const { return s.Child<QLineEdit>(field)->text(); }
    QString Stored() {
        return s.platform.settings.values[{"Glimmerage", "Settings", "AutoAdjustExposure"}];
    }
};

}  // namespace

using Options = OptionsFixture;

TEST_F(Options, OpensWithEveryControlInPlace) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Options");
    EXPECT_EQ(dialog->size(), QSize(332, 342));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_FALSE(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(dialog->isModal());
    const struct {
        const char* name;
        QRect geometry;
        QString caption;
    } controls[] = {
        {"Frame2", {8, 8, 313, 57}, "General Options:"},
        {"chkExposure", {16, 24, 281, 17}, "Automatically adjust exposure to prevent overexposure"},
        {"Frame3", {8, 72, 313, 153}, "Parameters For New Lights:"},
        {"picGraph", {16, 88, 297, 65}, ""},
        {"lbl2", {8, 88, 61, 13}, "Fog (diffuse):"},
        {"scrFog", {104, 88, 201, 17}, ""},
        {"lbl3", {8, 112, 42, 13}, "Intensity:"},
        {"scrIntensity", {104, 112, 201, 17}, ""},
        {"Frame1", {8, 232, 313, 57}, "Picture Size (in pixels):"},
        {"lbl0", {80, 24, 31, 13}, "Width:"},
        {"txtWidth", {120, 24, 57, 19}, "640"},
        {"lbl1", {200, 24, 34, 13}, "Height:"},
        {"txtHeight", {240, 24, 57, 19}, "480"},
        {"cmdOK", {152, 304, 81, 25}, "OK"},
        {"cmdCancel", {240, 304, 81, 25}, "Cancel"},
    };
    for (const auto& control : controls) {
        const QWidget* widget = Control<QWidget>(control.name);
        ASSERT_NE(widget, nullptr) << control.name;
        EXPECT_EQ(widget->geometry(), control.geometry) << control.name;
        QString caption = widget->property("text").toString();
        if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) caption = frame->title();
        EXPECT_EQ(caption, control.caption) << control.name;
    }
    EXPECT_EQ(Control<QLabel>("lblFog")->pos(), QPoint(91, 88));
    EXPECT_EQ(Control<QLabel>("lblFog")->text(), "10");
    for (const char* name : {"scrFog", "scrIntensity"}) {
        const auto* bar = Control<QScrollBar>(name);
        EXPECT_EQ(std::tuple(bar->minimum(), bar->maximum(), bar->pageStep(), bar->singleStep(), bar->value()),
                  std::tuple(0, 100, 10, 1, 10));
    }
    EXPECT_TRUE(Control<QPushButton>("cmdOK")->isDefault());
    EXPECT_EQ(dialog->focusWidget(), Control<QWidget>("cmdOK"));
    QStringList order;
    for (QWidget* w = Control<QWidget>("cmdOK"); order.size() < 8; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
    }
    EXPECT_EQ(order, QStringList({"cmdOK", "cmdCancel", "txtWidth", "txtHeight", "chkExposure", "scrFog",
                                  "scrIntensity", "picGraph"}));
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

TEST_F(Options, ValuesAboveTheBarsAreReducedWithAMessageEach) {
    s.window->SetFogText("500");
    s.window->SetIntensityText("1000");
    Open();
    EXPECT_EQ(s.platform.messages.shown,
              std::vector<MessageRequest>({Information(kFogReduced), Information(kIntensityReduced)}));
    EXPECT_EQ(Control<QScrollBar>("scrFog")->value(), 100);
    EXPECT_EQ(Control<QLabel>("lblIntensity")->text(), "100");
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(MainText("txtFog"), "500");
    EXPECT_EQ(s.platform.settings.writes, 0);
}

TEST_F(Options, OkWritesTheBarsBackRoundedAndStoresTheSetting) {
    s.window->SetFogText("10.5");
    s.window->SetIntensityText("11.5");
    Open();
    EXPECT_EQ(Control<QScrollBar>("scrIntensity")->value(), 12);
    QTest::keyClick(dialog, Qt::Key_Return);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(MainText("txtFog"), "10");
    EXPECT_EQ(MainText("txtIntensity"), "12");
    EXPECT_EQ(Stored(), "0");
    EXPECT_TRUE(s.platform.busy.events.empty());  // nothing to repaint
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

TEST_F(Options, PictureSizesOutsideTenToFiveThousandAreRefused) {
    Open();
    for (const auto& [width, height] : std::vector<std::pair<QString, QString>>{
             {"9.9", "480"}, {"5000.1", "480"}, {"", "480"}, {"abc", "480"}, {"64 0", "480"}, {"640px", "480"},
             {"640", "4"}}) {
        s.platform.messages.shown.clear();
        Type("txtWidth", width);
        Type("txtHeight", height);
        PressOK();
        EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>{kInvalidSize}) << width.toStdString();
        EXPECT_FALSE(Closed());
    }
    EXPECT_EQ(s.platform.settings.writes, 0);
}

TEST_F(Options, DecliningTheSizeWarningAppliesNothing) {
    Open();
    Type("txtWidth", "10");
    Type("txtHeight", "5000");
    Control<QCheckBox>("chkExposure")->setChecked(true);
    Control<QScrollBar>("scrFog")->setValue(50);
    s.platform.messages.answers = {MessageAnswer::No};
    PressOK();
    EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>{kSizeWarning});
    EXPECT_FALSE(Closed());
    EXPECT_EQ(s.window->PictureWidth(), 640);
    EXPECT_EQ(s.platform.settings.writes, 0);
    EXPECT_EQ(MainText("txtFog"), "10");
}

TEST_F(Options, AcceptingANewSizeStartsABlankPicture) {
    ClickWith(s.Child<PictureBox>("p"), {100, 100});
    Open();
    Type("txtWidth", "640.4");  // a change, though it rounds to the same width
    Type("txtHeight", "300");
    s.platform.messages.answers = {MessageAnswer::Yes};
    PressOK();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(s.window->PictureWidth(), 640);
    EXPECT_EQ(s.window->PictureHeight(), 300);
    EXPECT_EQ(s.window->Document().LightsCount, 0);
    EXPECT_EQ(s.window->Document().LightBuffer.UpperY(), 300);
    EXPECT_EQ(s.window->centralWidget()->size(), QSize(640, 300));
}

TEST_F(Options, TickingExposureRepaintsTheCanvasAtOnce) {
    auto* canvas = s.Child<PictureBox>("p");
    ClickWith(canvas, {100, 100});
    ClickWith(canvas, {100, 100});
    EXPECT_EQ(qRed(canvas->Image().pixel(109, 99)), 255);
    Open();
    EXPECT_FALSE(Control<QCheckBox>("chkExposure")->isChecked());
    QTest::mouseClick(Control<QCheckBox>("chkExposure"), Qt::LeftButton, {}, QPoint(5, 8));
    s.platform.busy.events.clear();
    PressOK();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(qRed(canvas->Image().pixel(109, 99)), 128);
    EXPECT_EQ(Stored(), "1");
    EXPECT_EQ(s.platform.busy.events, std::vector<std::string>({"busy", "default"}));
    Open();
    EXPECT_TRUE(Control<QCheckBox>("chkExposure")->isChecked());
}

TEST_F(Options, AStoredSettingThatIsNoNumberIsReported) {
    SetAutoExposure(s.platform, "abc");
    Open();
    EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>{ErrorBox("Type mismatch")});
    EXPECT_EQ(Control<QLineEdit>("txtWidth")->text(), "640");
    EXPECT_EQ(Control<QLabel>("lblFog")->text(), "...");
    PressOK();
    EXPECT_EQ(s.platform.messages.shown.size(), 2u);
    EXPECT_FALSE(Closed());
}

TEST(FalloffGraph, DrawsOneDotPerColumnAtItsHeight) {
    ScriptedMessageBoxes messages;
    GMPicture graph(messages);
    graph.CreateNewPicture(300, 65);
    const auto blackRows = [&](int x) {
        std::vector<int> rows;
        for (int row = 1; row <= 65; ++row) {
            std::int32_t r = 0, g = 0, b = 0;
            graph.GetPixel(float(x), float(row), r, g, b);
            if (r == 0 && g == 0 && b == 0) rows.push_back(row);
        }
        return rows;
    };
    const struct {
        std::int16_t fog, intensity;
        int column;
        std::vector<int> rows;
    } cases[] = {
        {10, 10, 1, {17}}, {10, 10, 300, {62}}, {100, 100, 1, {}}, {100, 100, 300, {}},
        {0, 0, 1, {65}},   {55, 0, 300, {65}},  {0, 9, 1, {35}},   {0, 9, 2, {43}},
    };
    for (const auto& c : cases) {
        DrawFalloffGraph(graph, c.fog, c.intensity);
        EXPECT_EQ(blackRows(c.column), c.rows) << c.fog << " " << c.intensity << " " << c.column;
    }
    EXPECT_EQ(FalloffHeight(300, 100, 100), 201);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Options, TheGraphFollowsTheBars) {
    Open();
    const auto* graph = Control<PictureBox>("picGraph");
    EXPECT_EQ(graph->Image().pixel(0, 16) & 0xFFFFFF, 0u);  // I = 10, F = 10: column 1 at row 17
    Control<QScrollBar>("scrIntensity")->setValue(0);
    EXPECT_EQ(Control<QLabel>("lblIntensity")->text(), "0");
    for (int x = 0; x < 297; ++x) {
        ASSERT_EQ(graph->Image().pixel(x, 64) & 0xFFFFFF, 0u) << x;
        ASSERT_EQ(graph->Image().pixel(x, 16) & 0xFFFFFF, 0xFFFFFFu) << x;
    }
    Control<QScrollBar>("scrIntensity")->setValue(100);
    Control<QScrollBar>("scrFog")->setValue(100);
    EXPECT_EQ(graph->Image(), [] {
        QImage white(297, 65, QImage::Format_RGB32);
        white.fill(Qt::white);
        return white;
    }());
}
