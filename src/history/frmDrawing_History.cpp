// Clearing the drawing, giving the canvas a new size, and the undo menu state.

#include "editor/frmDrawing.h"

#include "picture/PictureBox.h"
#include "platform/ErrorBox.h"
#include "platform/Platform.h"

#include <QAction>
#include <QMenuBar>

void frmDrawing::DisableUndo() { mnuUndo->setEnabled(false); }

void frmDrawing::ChangePictureSize(std::int32_t lWidth, std::int32_t lHeigth) {
    doc_.PictureWidth = lWidth;
    doc_.PictureHeight = lHeigth;
    p->SetBoxSize(doc_.PictureWidth, doc_.PictureHeight);
    ResizeMe();
}

// The window's inside becomes exactly the canvas; the frame and the position stay. No
// bounds apply: a huge picture makes a window larger than the screen.
void frmDrawing::ResizeMe() {
    const int width = p->width();
    // The menu bar may wrap onto more lines in a narrow window, so ask it for its height
    // at the width the window is about to get.
    int menuHeight = 0;
    if (QMenuBar* bar = menuBar(); !bar->isNativeMenuBar()) {
        menuHeight = bar->heightForWidth(width);
        if (menuHeight < 0) menuHeight = bar->sizeHint().height();
    }
    resize(width, menuHeight + p->height());
}

void frmDrawing::ClearAll() {
    DisableUndo();
    p->Cls();
    doc_.GMPic1.CreateNewPicture(float(doc_.PictureWidth), float(doc_.PictureHeight));
    doc_.GMPic2.CreateNewPicture(float(doc_.PictureWidth), float(doc_.PictureHeight));
    doc_.GMPicProgress.CreateNewPicture(float(doc_.PictureWidth), 10.0f);
    p->ClearPicture();
    doc_.LightsCount = 0;
    doc_.Lights.assign(1, LightPoint{});
    doc_.LightBuffer.Reallocate(doc_.PictureWidth, doc_.PictureHeight);
    doc_.UndoBuffer.Reallocate(doc_.PictureWidth, doc_.PictureHeight);
}

// A picture too big for the memory left must not take the program down: the failure is
// reported like any other.
void frmDrawing::mnuClear_Click() {
    RunReportingFailures(platform_.Messages(), [this] { ClearAll(); });
}
