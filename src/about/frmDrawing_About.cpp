// "About / Help...": the About window, modal over the whole program.

#include "editor/frmDrawing.h"

#include "about/frmAbout.h"

void frmDrawing::mnuAbout_Click() {
    auto* about = new frmAbout;
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowModality(Qt::ApplicationModal);
    about->show();
}
