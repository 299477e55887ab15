// Clearing the drawing, giving the canvas a new size, and the undo menu state.

#include "windows/editor/frmDrawing.h"

#include "core/common/Failure.h"
#include "core/options/ExposureSetting.h"
#include "windows/canvas/CanvasBox.h"
#include "windows/canvas/CanvasView.h"
#include "windows/common/ErrorBox.h"
#include "core/platform/Platform.h"

#include <QAction>

// One level of undo, for the placing of a light only: the light buffer as it was before the
// newest light, restored on demand.
void frmDrawing::CreateUndo() {
    doc_.lightEngine.TakeUndoCopy();
    mnuUndo->setEnabled(true);
}

void frmDrawing::Undo() {
    if (doc_.LightsCount < 1) return;
    DisableUndo();
    const BusyScope busy(platform_.Busy());
    doc_.lightEngine.RestoreUndoCopy();
    --doc_.LightsCount;
    const bool autoAdjust = AutoAdjustExposureIsOn(platform_.Settings());
    const float maximum = FindMaximum();
    RedrawGMPic1(autoAdjust ? maximum : 255.0f);
}

void frmDrawing::DisableUndo() { mnuUndo->setEnabled(false); }

void frmDrawing::mnuUndo_Click() {
    RunReportingFailures(platform_.Messages(), [this] { Undo(); });
}

void frmDrawing::ChangePictureSize(std::int32_t lWidth, std::int32_t lHeigth) {
    doc_.PictureWidth = lWidth;
    doc_.PictureHeight = lHeigth;
    // A new picture starts at actual pixels, from its top left corner.
    view_->ResetView();
    p->SetBoxSize(doc_.PictureWidth, doc_.PictureHeight);
    ResizeMe();
}

void frmDrawing::AdoptPictureSize(std::int32_t width, std::int32_t height) {
    const std::int32_t oldWidth = doc_.PictureWidth;
    const std::int32_t oldHeight = doc_.PictureHeight;
    try {
        ChangePictureSize(width, height);
        ClearAll();
    } catch (...) {
        ChangePictureSize(oldWidth, oldHeight);
        ClearAll();
        throw;
    }
}

void frmDrawing::ClearAll() {
    DisableUndo();
    p->Cls();
    // The light buffers are by far the largest part: they are made first, so that a size
    // too big for the memory fails before anything else has changed size.
    doc_.lightEngine.Reset(doc_.PictureWidth, doc_.PictureHeight);
    Reported(doc_.GMPic1).CreateNewPicture(float(doc_.PictureWidth), float(doc_.PictureHeight));
    Reported(doc_.GMPic2).CreateNewPicture(float(doc_.PictureWidth), float(doc_.PictureHeight));
    Reported(doc_.GMPicProgress).CreateNewPicture(float(doc_.PictureWidth), 10.0f);
    p->ClearPicture();
    doc_.LightsCount = 0;
    doc_.Lights.assign(1, LightPoint{});
    // The pixel buffers report their own failures; a buffer left without its pixels would
    // not match the light buffers, so that is a failure of the whole clear.
    if (!doc_.GMPic1.HoldsPixelsOf(doc_.PictureWidth, doc_.PictureHeight) ||
        !doc_.GMPic2.HoldsPixelsOf(doc_.PictureWidth, doc_.PictureHeight) ||
        !doc_.GMPicProgress.HoldsPixelsOf(doc_.PictureWidth, 10)) {
        throw Failure::OutOfMemory();
    }
}

// A picture too big for the memory left must not take the program down: the failure is
// reported like any other.
void frmDrawing::mnuClear_Click() {
    RunReportingFailures(platform_.Messages(), [this] { ClearAll(); });
}
