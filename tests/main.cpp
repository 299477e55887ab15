// Test runner: GoogleTest inside a QApplication, always headless and never touching the
// user's own settings or screen.

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_PLATFORMTHEME", "");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Glimmerage"));
    QApplication::setApplicationName(QStringLiteral("Glimmerage"));

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
