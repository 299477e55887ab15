#include "windows/editor/CanvasRender.h"

#include "core/document/DrawingDocument.h"
#include "core/picture/ImageSurface.h"
#include "windows/editor/ProgressStrip.h"
#include "windows/picture/GMPicture.h"

#include <utility>

PictureRows PictureAndCanvas(DrawingDocument& doc, ImageSurface& canvas) {
    const PixelBuffer& picture = doc.GMPic1;
    const bool direct = canvas.SurfaceSize() == QSize(picture.Width(), picture.Height()) &&
                        picture.HoldsPixelsOf(picture.Width(), picture.Height()) && !picture.Bytes().empty();
    return {doc.GMPic1.Bytes(), direct ? canvas.NextImageBits() : nullptr};
}

void ShowDrawnPicture(DrawingDocument& doc, ImageSurface& canvas, MessageBoxes& messages, const PictureRows& picture) {
    if (picture.copy != nullptr) {
        canvas.CommitNextImage();
    } else {
        GMPicture(doc.GMPic1, messages).PrintToPictureBox(canvas, false, false);
    }
}

void RenderOntoCanvas(DrawingDocument& doc, ImageSurface& canvas, MessageBoxes& messages, const RenderPass& pass,
                      ProgressStrip::Clock clock) {
    GMPicture(doc.GMPicProgress, messages).Cls();
    canvas.MergeImageIntoPicture();
    ProgressStrip strip(doc.GMPicProgress, GMPicture(doc.GMPicProgress, messages), canvas, doc.GMPic1.Height(),
                        std::move(clock));
    const PictureRows picture = PictureAndCanvas(doc, canvas);
    pass(picture, [&strip](std::int32_t rowsDone) { strip.Show(rowsDone); });
    ShowDrawnPicture(doc, canvas, messages, picture);
}
