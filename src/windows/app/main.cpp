#include "windows/common/ApplicationIcon.h"
#include "windows/editor/frmDrawing.h"
#include "windows/platform/QtPlatform.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Glimmerage"));
    QApplication::setApplicationName(QStringLiteral("Glimmerage"));
    QApplication::setApplicationVersion(QStringLiteral(GLIMMERAGE_VERSION));
    QApplication::setWindowIcon(ApplicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.glimmerage.Glimmerage"));

    // A file manager's "Open With" names the picture to open.
    QCommandLineParser arguments;
    arguments.setApplicationDescription(QStringLiteral("Paints coloured point lights onto pictures."));
    arguments.addHelpOption();
    arguments.addVersionOption();
    arguments.addPositionalArgument(QStringLiteral("picture"), QStringLiteral("A picture to open."),
                                    QStringLiteral("[picture]"));
    arguments.process(app);

    QtPlatform platform;
    frmDrawing window(platform);
    if (window.Form_Load() == frmDrawing::StartupOutcome::EndProgram) return 0;
    if (!arguments.positionalArguments().isEmpty()) window.LoadPictureAtStart(arguments.positionalArguments().first());
    return QApplication::exec();
}
