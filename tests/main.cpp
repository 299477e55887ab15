// Test runner: GoogleTest inside a QApplication, always headless and never touching the
// user's own settings or screen.

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_PLATFORMTHEME", "");
    // Everything a test writes for the user lands in a folder of its own that goes away.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Glimmerage"));
    QApplication::setApplicationName(QStringLiteral("Glimmerage"));

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
