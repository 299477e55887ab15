#include "about/AboutTexts.h"
#include "about/frmAbout.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QDialog* VisibleTopLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name) && widget->isVisible()) return qobject_cast<QDialog*>(widget);
    }
    return nullptr;
}

QString Shown(const QString& text) { return QString(text).replace("\r\n", "\n"); }

template <typename T>
T* In(QWidget* window, const char* name) {
    return window->findChild<T*>(QLatin1String(name));
}

}  // namespace

TEST(About, ShowsModallyOverTheMainWindowAtStartUp) {
    StartedWindow s;
    s.StartKeepingAbout();
    QPointer<QDialog> about = VisibleTopLevel("frmAbout");
    ASSERT_TRUE(about);
    EXPECT_TRUE(s.window->isVisible());
    EXPECT_EQ(about->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(about->windowTitle(), "About");
    EXPECT_EQ(about->size(), QSize(595, 403));
    EXPECT_EQ(about->palette().color(QPalette::Window), QColor(Qt::white));

    EXPECT_EQ(In<QPlainTextEdit>(about, "Text4")->toPlainText(), Shown(AboutTexts::GlimmerageDescription()));
    EXPECT_EQ(In<QPlainTextEdit>(about, "Text2")->toPlainText(),
              "Version 1.5 - for Windows98/2000/XP or compatible.");
    EXPECT_TRUE(AboutTexts::GlimmerageDescription().startsWith(
        "This program allows you to add some nice Glimmerage to your \r\npictures (look at"));
    EXPECT_TRUE(AboutTexts::GlimmerageDescription().endsWith("from the menu that is at the top.\r\n"));
    const auto* heading = In<QLabel>(about, "Label4");
    EXPECT_EQ(heading->text(), "What does this program do?");
    EXPECT_EQ(heading->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    EXPECT_TRUE(heading->font().bold());
    const auto* link = In<QLabel>(about, "Label1");
    EXPECT_EQ(link->text(), "Click here to continue...");
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    EXPECT_TRUE(link->font().underline() && link->font().bold());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(In<QLabel>(about, "Image1")->pixmap().size(), QSize(305, 67));
    EXPECT_EQ(In<QLabel>(about, "Image2")->pixmap().size(), QSize(231, 401));
    EXPECT_FALSE(about->windowIcon().isNull());

    const auto* hidden = In<QPushButton>(about, "Command1");
    EXPECT_EQ(hidden->geometry(), QRect(640, 160, 97, 33));
    EXPECT_EQ(about->focusWidget(), hidden);
    QTest::keyClick(about, Qt::Key_Return);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
}

TEST(About, TheSpaceBarAndTheLinkCloseItToo) {
    StartedWindow s;
    s.Start();
    for (const bool byLink : {false, true}) {
        s.Child<QAction>("mnuAbout")->trigger();
        QPointer<QDialog> about = VisibleTopLevel("frmAbout");
        ASSERT_TRUE(about);
        if (byLink) {
            QTest::mouseClick(In<QLabel>(about, "Label1"), Qt::LeftButton);
        } else {
            QTest::keyClick(In<QPushButton>(about, "Command1"), Qt::Key_Space);
        }
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(about.isNull()) << byLink;
    }
}

TEST(About, AFailedStartUpSkipsIt) {
    struct FailingDisplay : DisplaySettings {
        std::optional<int> ColorDepth() override { throw Failure::Overflow(); }
    };
    struct Platform : ScriptedPlatform {
        FailingDisplay failing;
        DisplaySettings& Display() override { return failing; }
    } platform;
    frmDrawing window(platform);
    window.Form_Load();
    EXPECT_EQ(VisibleTopLevel("frmAbout"), nullptr);
}

TEST(About, TheGradientToolsWindowStartsAPaintProgram) {
    ScriptedProgramStarter programs;
    frmAbout2 about(programs);
    about.show();
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.size(), QSize(595, 381));
    EXPECT_EQ(In<QPlainTextEdit>(&about, "Text1")->toPlainText(), Shown(AboutTexts::OmbravonDescription()));
    EXPECT_EQ(In<QPlainTextEdit>(&about, "Text3")->toPlainText(), Shown(AboutTexts::RedistributionNote()));
    EXPECT_EQ(In<QLabel>(&about, "Label2")->text(), "For use in conjunction with");
    EXPECT_EQ(In<QLabel>(&about, "Image1")->pixmap().size(), QSize(317, 49));
    EXPECT_EQ(In<QLabel>(&about, "Image2")->pixmap().size(), QSize(232, 372));
    EXPECT_EQ(In<QPushButton>(&about, "Command1")->geometry(), QRect(608, 200, 97, 33));

    auto* paint = In<QLabel>(&about, "Label3");
    EXPECT_EQ(paint->text(), "MS Paint");
    QTest::mouseClick(paint, Qt::LeftButton);
    EXPECT_EQ(programs.started, std::vector<QString>{"kolourpaint"});
    programs.succeed = false;
    programs.started.clear();
    QTest::mouseClick(paint, Qt::LeftButton);
    EXPECT_EQ(programs.started, std::vector<QString>({"kolourpaint", "pinta", "gimp"}));
    EXPECT_TRUE(about.isVisible());
}
