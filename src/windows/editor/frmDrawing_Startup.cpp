// Start-up and the end of the program.

#include "windows/editor/frmDrawing.h"

#include "windows/common/ErrorBox.h"
#include "core/platform/Platform.h"

#include <QCoreApplication>

namespace {

const QString kDepthQueryFailed = QStringLiteral("Error evaluating the current display settings.");

const QString kDepthTitle = QStringLiteral("Invalid Display Color Depth");

const QString kDepthMessage =
    QStringLiteral("Your display is currently NOT running in True Color (24bit-32bit color modes). "
                   "You must increase the display color depth before being able to use this program.") +
    QStringLiteral("\r\n\r\n") +
    QStringLiteral("To increase the color depth, go to the \"Display Properties\" window from the Control "
                   "Panel, then go to the \"Settings\" tab, and then increase the \"Colors\" setting.") +
    QStringLiteral("\r\n\r\n") + QStringLiteral("Click OK once you have increased your display color depth.");

bool IsPaletteDepth(int bitsPerPixel) { return bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16; }

}  // namespace

frmDrawing::StartupOutcome frmDrawing::Form_Load() {
    bool declined = false;
    const bool completed = RunReportingFailures(platform_.Messages(), [&] {
        doc_.sIntensity = 10.0f;
        doc_.sFog = 10.0f;
        ChangePictureSize(640, 480);
        ClearAll();
        declined = !PassesDisplayColorDepthCheck();
    });
    if (declined) return StartupOutcome::EndProgram;
    show();
    // After a failure the window stays open with what was done, and the rest is skipped.
    if (completed) mnuAbout_Click();
    return StartupOutcome::Running;
}

// The program's colours need a true-colour display; palette modes are refused until the
// user changes them or gives up.
bool frmDrawing::PassesDisplayColorDepthCheck() {
    MessageBoxes& messages = platform_.Messages();
    for (;;) {
        const std::optional<int> depth = platform_.Display().ColorDepth();
        if (!depth) {
            messages.Show(kDepthQueryFailed, MessageButtons::Ok, MessageIcon::Information);
            return true;
        }
        if (!IsPaletteDepth(*depth)) return true;
        const MessageAnswer answer =
            messages.Show(kDepthMessage, MessageButtons::OkCancel, MessageIcon::Information, kDepthTitle);
        if (answer != MessageAnswer::Ok) return false;
    }
}

void frmDrawing::mnuExit_Click() {
    close();
    QCoreApplication::quit();
}
