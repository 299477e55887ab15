// The gradient fill: an area of one colour becomes a gradient of that colour. Its direction
// menu stays hidden; the fill is reached through Fill and the four direction commands.

#include "windows/editor/frmDrawing.h"

#include "core/fill/GradientFill.h"
#include "windows/canvas/CanvasBox.h"
#include "windows/common/ErrorBox.h"
#include "core/platform/Platform.h"

#include <QAction>

void frmDrawing::SetFillSource(const QImage& picture) { Reported(doc_.GMPic3).SetPicture(picture); }

void frmDrawing::Fill(float X, float& Y, std::int32_t& lDirection) {
    RunReportingFailures(platform_.Messages(), [&] {
        const BusyScope busy(platform_.Busy());
        GMPicture source = Reported(doc_.GMPic3);
        GMPicture mask = Reported(doc_.GMPic2);
        GMPicture target = Reported(doc_.GMPic1);
        FillArea(source, mask, target, *p, X, Y, lDirection);
    });
}

void frmDrawing::FillInDirection(std::int32_t direction) {
    // Each command hands over a copy, so what Fill writes back is dropped.
    float y = doc_.FillY;
    Fill(doc_.FillX, y, direction);
}
