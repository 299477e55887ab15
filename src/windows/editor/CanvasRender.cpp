#include "windows/editor/CanvasRender.h"

#include "core/document/DrawingDocument.h"
#include "core/picture/ImageSurface.h"
#include "windows/editor/ProgressStrip.h"
#include "windows/picture/GMPicture.h"

#include <utility>

namespace {

// The canvas shows the strip while the pass runs, and not once it ends, failed or not.
class ProgressRows {
public:
    ProgressRows(ImageSurface& canvas, int rows) : canvas_(canvas) { canvas_.SetProgressRows(rows); }
    ~ProgressRows() { canvas_.SetProgressRows(0); }
    ProgressRows(const ProgressRows&) = delete;
    ProgressRows& operator=(const ProgressRows&) = delete;

private:
    ImageSurface& canvas_;
};

}  // namespace

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
    {
        const ProgressRows showing(canvas, doc.GMPicProgress.Height());
        pass(picture, [&strip](std::int32_t rowsDone) { strip.Show(rowsDone); });
    }
    ShowDrawnPicture(doc, canvas, messages, picture);
}
