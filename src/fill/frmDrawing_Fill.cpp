// The gradient fill: an area of one colour becomes a gradient of that colour. Its direction
// menu stays hidden; the fill is reached through Fill and the four direction commands.

#include "editor/frmDrawing.h"

#include "fill/GradientFill.h"
#include "picture/PictureBox.h"
#include "platform/ErrorBox.h"
#include "platform/Platform.h"

#include <QAction>

void frmDrawing::SetFillSource(const QImage& picture) { doc_.GMPic3.SetPicture(picture); }

void frmDrawing::Fill(float X, float& Y, std::int32_t& lDirection) {
    RunReportingFailures(platform_.Messages(), [&] {
        const BusyScope busy(platform_.Busy());
        FillArea(doc_.GMPic3, doc_.GMPic2, doc_.GMPic1, *p, X, Y, lDirection);
    });
}

void frmDrawing::FillInDirection(std::int32_t direction) {
    // Each command hands over a copy, so what Fill writes back is dropped.
    float y = doc_.FillY;
    Fill(doc_.FillX, y, direction);
}
