#include "windows/about/frmAbout.h"
#include "support/TestSupport.h"

namespace {

const QString kNote =
    "You may copy and give away this program freely, as long as\n"
    "it is passed on whole and unchanged, and free of charge.\n";

// Every text of the window, word for word, as its labels and text boxes show it.
void ExpectTexts(const QWidget& window, const std::vector<std::pair<const char*, QString>>& texts) {
    for (const auto& [name, text] : texts) {
        const QWidget* control = window.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        const auto* box = qobject_cast<const QPlainTextEdit*>(control);
        EXPECT_EQ(box ? box->toPlainText() : control->property("text").toString(), text) << name;
    }
}

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
    ExpectTexts(*about, {{"Label4", "What does this program do?"},
                         {"Text4", "This program allows you to add some nice Glimmerage to your \n"
                                   "pictures (look at the pictures on the right to see some examples).\n"
                                   "Just load a picture and then click on it to add the lights. Use the\n"
                                   "right mouse button to pick the color of the pixel that is under the\n"
                                   "cursor. Make sure to select a color before adding a light. You\n"
                                   "may also click \"Options...\" from the menu that is at the top.\n"},
                         {"Label6", "Redistribution Note:"}, {"Text3", kNote}, {"Label5", "About:"},
                         {"Text2", "Version 1.5 - for Windows98/2000/XP or compatible."},
                         {"Label1", "Click here to continue..."}});
    const auto* heading = about->findChild<QLabel*>("Label4");
    auto* link = about->findChild<QLabel*>("Label1");
    EXPECT_EQ(std::tuple(heading->palette().color(QPalette::WindowText), heading->font().bold(),
                         link->palette().color(QPalette::WindowText), link->font().underline(), link->font().bold(),
                         link->cursor().shape()),
              std::tuple(QColor(192, 0, 0), true, QColor(0, 0, 192), true, true, Qt::PointingHandCursor));
    const auto* hidden = about->findChild<QPushButton*>("Command1");
    EXPECT_EQ(std::tuple(about->findChild<QLabel*>("Image1")->pixmap().size(),
                         about->findChild<QLabel*>("Image2")->pixmap().size(), hidden->geometry(),
                         about->focusWidget()),
              std::tuple(QSize(305, 67), QSize(231, 401), QRect(640, 160, 97, 33), hidden));

    // A press on the link let go off it does nothing; Return, the space bar and the link each close it.
    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-3, -3));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(about);
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
    ExpectTexts(about, {{"Label2", "For use in conjunction with"}, {"Label3", "MS Paint"},
                        {"Label4", "What does this program do?"},
                        {"Text1", "This program allows you to easily improve the drawings created \n"
                                  "with MS Paint by replacing the solid colors with beautiful gradients. \n"
                                  "Just load a picture and click on the areas that you want to replace \n"
                                  "with a gradient. Use the right mouse button to choose the direction \n"
                                  "of the gradient.\n"},
                        {"Label6", "Redistribution Note:"}, {"Text3", kNote}, {"Label5", "About:"},
                        {"Text2", "Version 1.1 - for Windows98/2000/XP or compatible."},
                        {"Label1", "Click here to continue..."}});
    EXPECT_EQ(std::tuple(about.findChild<QLabel*>("Image1")->pixmap().size(),
                         about.findChild<QLabel*>("Image2")->pixmap().size(),
                         about.findChild<QPushButton*>("Command1")->geometry()),
              std::tuple(QSize(317, 49), QSize(232, 372), QRect(608, 200, 97, 33)));
    auto* paint = about.findChild<QLabel*>("Label3");
    QTest::mouseClick(paint, Qt::LeftButton);
    EXPECT_EQ(programs.started, std::vector<QString>{"kolourpaint"});
    programs.succeed = false;
    programs.started.clear();
    QTest::mouseClick(paint, Qt::LeftButton);
    EXPECT_EQ(std::pair(programs.started, about.isVisible()),
              std::pair(std::vector<QString>({"kolourpaint", "pinta", "gimp"}), true));
}
