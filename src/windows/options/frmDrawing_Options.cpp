// "Options...": the options dialog, modal over the whole program.

#include "windows/editor/frmDrawing.h"

#include "windows/options/frmOptions.h"

#include <QLineEdit>

QString frmDrawing::FogText() const { return txtFog->text(); }

void frmDrawing::SetFogText(const QString& text) { txtFog->setText(text); }

QString frmDrawing::IntensityText() const { return txtIntensity->text(); }

void frmDrawing::SetIntensityText(const QString& text) { txtIntensity->setText(text); }

// The dialog blocks every other window while it is open but not the caller: it fills
// itself in, shows, and goes away when it is closed.
void frmDrawing::mnuOptions_Click() {
    auto* dialog = new frmOptions(*this, platform_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->Form_Load();
    dialog->show();
}
