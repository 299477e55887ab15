#pragma once

#include "core/common/ColorValue.h"

#include <QImage>
#include <QRect>

#include <optional>

// What a picture box keeps: a persistent 32-bit image of its inside (bytes blue, green,
// red, fourth byte; rows top-down, no padding), drawn over a background picture that sits
// unscaled at the top-left corner over a background colour. This class holds that state
// without any widget, so pixel buffers, tests and benchmarks can work with it directly;
// the PictureBox widget shows it on screen.
class ImageSurface {
public:
    ImageSurface();
    virtual ~ImageSurface();
    ImageSurface(const ImageSurface&) = delete;
    ImageSurface& operator=(const ImageSurface&) = delete;

    QSize SurfaceSize() const { return image_.size(); }
    const QImage& Image() const;

    // The background picture; assigning or removing it redraws the image from it.
    void SetPicture(const QImage& picture);
    void ClearPicture();
    bool HasPicture() const { return pictureIsImage_ || !picture_.isNull(); }
    // The background picture, given pixels of its own first when the image still stands in
    // for it since the last merge.
    const QImage& DetachedPicture();
    // Freezes what the image shows now as the background picture. Nothing is copied here:
    // the image itself serves as the picture until a write would change it, and only the
    // pixels such writes cover are set aside, so a merge before a full redraw is cheap
    // even on a huge picture.
    void MergeImageIntoPicture();

    // While on, assigning a background picture gives the box the picture's size.
    void SetAutoSize(bool on) { autoSize_ = on; }

    ColorValue BackColor() const { return backColor_; }
    // Like assigning a new background colour on the platform, this erases any drawing.
    void SetBackColor(ColorValue color);

    // Back to the background picture over the background colour.
    void Cls();

    // The colour of a point of the image, or nothing outside it.
    std::optional<ColorValue> Point(int x, int y) const;

    // Writes raw pixel rows into the image as if the box had, for the copy, the given
    // width and height: `count` bytes, 4 bytes a pixel, rows of 4 * width bytes. What falls
    // outside the box is not kept; the box keeps its size.
    void WriteBitmapBits(int width, int height, const uchar* bits, qint64 count);

    // For a whole new image that is written elsewhere, row by row and perhaps on several
    // threads: NextImageBits gives a buffer laid out like the image (4 bytes a pixel, no
    // padding), which the image keeps showing until CommitNextImage. The outcome is that
    // of a clear followed by writing the whole image, without copying it once more.
    uchar* NextImageBits();
    void CommitNextImage();
    // The same for a whole new image already made: an RGB32 image of the image's size
    // becomes the image itself, without a copy. One of another size or format is not taken.
    void TakeWholeImage(QImage pixels);

    // The brush of the flood fill: solid, in this colour.
    void SetFillColor(ColorValue color) { fillColor_ = color; }
    // Paints the area of the surface colour connected to (x, y) with the fill colour.
    void FloodFill(int x, int y, ColorValue surface);

    // Shows the image now. A surface without a screen has nothing to do.
    virtual void Refresh() {}
    // While not 0, the top `rows` rows of the image show a progress strip, which a view that
    // scales the image keeps at its own height so that it stays readable.
    virtual void SetProgressRows(int rows) { static_cast<void>(rows); }

protected:
    // Changes the box's outer size; a widget moves its own geometry too.
    virtual void ResizeBox(QSize size);
    // Part of the image changed; a widget schedules a repaint of that part.
    virtual void ImageChanged(const QRect& area) { static_cast<void>(area); }

    // Gives the image a new size. Drawing inside the new size stays; the rest shows
    // the background.
    void ResizeImage(QSize size);

private:
    // Asks for `area` to show the background again. The work waits until the image is looked
    // at or drawn on: loading a photo clears and recomposes the whole image several times in a
    // row, and only the last of those is ever seen, if a full redraw does not replace it first.
    // After a merge it is done at once, from the few pixels set aside.
    void Compose(const QRect& area);
    void ComposeAll();
    // Does the composing asked for so far. Const because it only brings the image up to date
    // with what it already stands for.
    void ComposeNow() const;
    // Called before the image changes inside `area`: does the composing still to do and, while
    // the image stands in for the picture, sets the picture's pixels there aside.
    void KeepPictureUnder(const QRect& area);
    // Gives the picture pixels of its own again when the image stands in for it.
    void DetachPicture();
    void RestoreSavedPicture(const QRect& area);
    // Before the whole image is replaced, the image as it was at the merge becomes the
    // picture: its own buffer with the set-aside pixels put back, so nothing is copied.
    void HandImageToPicture();
    // A buffer of the image's size to write a whole new image into.
    QImage TakeSpareImage();
    // The image no longer stands in for the picture, and nothing is set aside.
    void ForgetSavedPicture();

    mutable QImage image_;
    // The part of the image still to be composed. A drawing composes it first, so it never
    // holds a drawing, and composing more of the image than was asked for loses nothing.
    mutable QRect stale_;
    QImage picture_;
    // After a merge the image is the picture, except where it changed since: the
    // picture's pixels there are kept in savedPixels_, covering savedArea_.
    bool pictureIsImage_ = false;
    QRect savedArea_;
    QImage savedPixels_;
    // The last picture's buffer, kept for the next whole-image write so that a huge
    // picture is not allocated (and faulted in page by page) on every redraw.
    QImage spare_;
    QImage next_;
    ColorValue backColor_ = 0;
    bool autoSize_ = false;
    ColorValue fillColor_ = 0;
    // The part of the image that may differ from the background: Cls restores only that.
    QRect drawn_;
};
