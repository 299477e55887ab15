#include "windows/common/ApplicationIcon.h"
#include "windows/editor/frmDrawing.h"
#include "windows/platform/QtPlatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Glimmerage"));
    QApplication::setApplicationName(QStringLiteral("Glimmerage"));
    QApplication::setWindowIcon(ApplicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.glimmerage.Glimmerage"));

    QtPlatform platform;
    frmDrawing window(platform);
    if (window.Form_Load() == frmDrawing::StartupOutcome::EndProgram) return 0;
    return QApplication::exec();
}
