// "About / Help...": the About window, modal over the whole program.

#include "windows/editor/frmDrawing.h"

#include "windows/about/frmAbout.h"

void frmDrawing::mnuAbout_Click() {
    auto* about = new frmAbout;
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowModality(Qt::ApplicationModal);
    about->show();
    about_ = about;
}
