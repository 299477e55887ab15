#include "windows/about/AboutTexts.h"
#include "windows/about/frmAbout.h"
#include "support/TestSupport.h"

namespace {

QString Shown(const QString& text) { return QString(text).replace("\r\n", "\n"); }

}  // namespace

TEST(About, ShowsModallyOverTheMainWindowAtStartUp) {
    StartedWindow s;
    s.StartKeepingAbout();
    QPointer<QDialog> about = VisibleTopLevel("frmAbout");
    ASSERT_TRUE(about);
    EXPECT_TRUE(s.window->isVisible());
    EXPECT_EQ(std::tuple(about->windowModality(), about->windowTitle(), about->size(),
                         about->palette().color(QPalette::Window), about->windowIcon().isNull()),
              std::tuple(Qt::ApplicationModal, QString("About"), QSize(595, 403), QColor(Qt::white), false));
    EXPECT_EQ(about->findChild<QPlainTextEdit*>("Text4")->toPlainText(), Shown(AboutTexts::GlimmerageDescription()));
    EXPECT_EQ(about->findChild<QPlainTextEdit*>("Text2")->toPlainText(),
              "Version 1.5 - for Windows98/2000/XP or compatible.");
    EXPECT_TRUE(AboutTexts::GlimmerageDescription().startsWith(
        "This program allows you to add some nice Glimmerage to your \r\npictures (look at"));
    EXPECT_TRUE(AboutTexts::GlimmerageDescription().endsWith("from the menu that is at the top.\r\n"));
    const auto* heading = about->findChild<QLabel*>("Label4");
    EXPECT_EQ(std::tuple(heading->text(), heading->palette().color(QPalette::WindowText), heading->font().bold()),
              std::tuple(QString("What does this program do?"), QColor(192, 0, 0), true));
    const auto* link = about->findChild<QLabel*>("Label1");
    EXPECT_EQ(std::tuple(link->text(), link->palette().color(QPalette::WindowText), link->font().underline(),
                         link->font().bold(), link->cursor().shape()),
              std::tuple(QString("Click here to continue..."), QColor(0, 0, 192), true, true, Qt::PointingHandCursor));
    EXPECT_EQ(about->findChild<QLabel*>("Image1")->pixmap().size(), QSize(305, 67));
    EXPECT_EQ(about->findChild<QLabel*>("Image2")->pixmap().size(), QSize(231, 401));
    const auto* hidden = about->findChild<QPushButton*>("Command1");
    EXPECT_EQ(hidden->geometry(), QRect(640, 160, 97, 33));
    EXPECT_EQ(about->focusWidget(), hidden);

    // Return, the space bar and the link each close it.
    for (const int way : {0, 1, 2}) {
        if (way > 0) s.Action("mnuAbout")->trigger();
        about = VisibleTopLevel("frmAbout");
        ASSERT_TRUE(about) << way;
        if (way == 0) QTest::keyClick(about, Qt::Key_Return);
        if (way == 1) QTest::keyClick(about->findChild<QPushButton*>("Command1"), Qt::Key_Space);
        if (way == 2) QTest::mouseClick(about->findChild<QLabel*>("Label1"), Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(about.isNull()) << way;
    }
}

TEST(About, TheGradientToolsWindowStartsAPaintProgram) {
    ScriptedProgramStarter programs;
    frmAbout2 about(programs);
    about.show();
    EXPECT_EQ(std::pair(about.windowTitle(), about.size()), std::pair(QString("About"), QSize(595, 381)));
    EXPECT_EQ(about.findChild<QPlainTextEdit*>("Text1")->toPlainText(), Shown(AboutTexts::OmbravonDescription()));
    EXPECT_EQ(about.findChild<QPlainTextEdit*>("Text3")->toPlainText(), Shown(AboutTexts::RedistributionNote()));
    EXPECT_EQ(about.findChild<QLabel*>("Label2")->text(), "For use in conjunction with");
    EXPECT_EQ(about.findChild<QLabel*>("Image1")->pixmap().size(), QSize(317, 49));
    EXPECT_EQ(about.findChild<QLabel*>("Image2")->pixmap().size(), QSize(232, 372));
    EXPECT_EQ(about.findChild<QPushButton*>("Command1")->geometry(), QRect(608, 200, 97, 33));
    auto* paint = about.findChild<QLabel*>("Label3");
    EXPECT_EQ(paint->text(), "MS Paint");
    QTest::mouseClick(paint, Qt::LeftButton);
    EXPECT_EQ(programs.started, std::vector<QString>{"kolourpaint"});
    programs.succeed = false;
    programs.started.clear();
    QTest::mouseClick(paint, Qt::LeftButton);
    EXPECT_EQ(programs.started, std::vector<QString>({"kolourpaint", "pinta", "gimp"}));
    EXPECT_TRUE(about.isVisible());
}
