#include "core/picture/ImageSurface.h"

#include "core/common/LargeBlocks.h"
#include "core/picture/FloodFill.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

QRgb ToPixel(ColorValue color) { return qRgb(RedOf(color), GreenOf(color), BlueOf(color)); }

// Copies the pixels of `area` of one 32-bit image into another, with the area's top-left
// corner landing on `at`.
void CopyPixels(const QImage& from, const QRect& area, QImage& to, QPoint at) {
    for (int y = 0; y < area.height(); ++y) {
        std::memcpy(to.scanLine(at.y() + y) + at.x() * 4, from.constScanLine(area.top() + y) + area.left() * 4,
                    size_t(area.width()) * 4);
    }
}

}  // namespace

ImageSurface::ImageSurface() = default;
ImageSurface::~ImageSurface() = default;

const QImage& ImageSurface::Image() const {
    ComposeNow();
    return image_;
}

void ImageSurface::SetPicture(const QImage& picture) {
    ForgetSavedPicture();
    spare_ = QImage();
    picture_ = picture.convertToFormat(QImage::Format_RGB32);
    // The picture replaces any drawing. A box that takes the picture's size composes the
    // new image as it makes it, which on a photo is a pass worth sparing.
    drawn_ = QRect();
    const QSize sizeBefore = image_.size();
    if (autoSize_ && !picture_.isNull()) ResizeBox(picture_.size());
    if (image_.size() == sizeBefore) ComposeAll();
}

void ImageSurface::ClearPicture() {
    ForgetSavedPicture();
    spare_ = QImage();
    picture_ = QImage();
    ComposeAll();
}

const QImage& ImageSurface::DetachedPicture() {
    DetachPicture();
    return picture_;
}

void ImageSurface::MergeImageIntoPicture() {
    ComposeNow();
    if (!pictureIsImage_ && picture_.size() == image_.size() && picture_.isDetached()) spare_ = std::move(picture_);
    picture_ = QImage();
    ForgetSavedPicture();
    pictureIsImage_ = true;
    drawn_ = QRect();
}

void ImageSurface::KeepPictureUnder(const QRect& requested) {
    ComposeNow();
    if (!pictureIsImage_) return;
    const QRect area = requested & image_.rect();
    if (area.isEmpty() || savedArea_.contains(area)) return;
    const QRect grown = savedArea_ | area;
    // Setting most of the image aside would cost as much as a picture of its own.
    if (qint64(grown.width()) * grown.height() * 2 > qint64(image_.width()) * image_.height()) {
        DetachPicture();
        return;
    }
    // Outside the old saved area the image still shows the picture.
    QImage saved = image_.copy(grown);
    CopyPixels(savedPixels_, savedPixels_.rect(), saved, savedArea_.topLeft() - grown.topLeft());
    savedPixels_ = std::move(saved);
    savedArea_ = grown;
}

void ImageSurface::DetachPicture() {
    if (!pictureIsImage_) return;
    QImage picture = TakeSpareImage();
    if (!image_.isNull()) std::memcpy(picture.bits(), image_.constBits(), size_t(image_.sizeInBytes()));
    CopyPixels(savedPixels_, savedPixels_.rect(), picture, savedArea_.topLeft());
    picture_ = std::move(picture);
    ForgetSavedPicture();
}

void ImageSurface::HandImageToPicture() {
    RestoreSavedPicture(savedArea_);
    picture_ = image_;
    ForgetSavedPicture();
}

void ImageSurface::ForgetSavedPicture() {
    pictureIsImage_ = false;
    savedArea_ = QRect();
    savedPixels_ = QImage();
}

void ImageSurface::RestoreSavedPicture(const QRect& requested) {
    const QRect area = requested & savedArea_;
    CopyPixels(savedPixels_, area.translated(-savedArea_.topLeft()), image_, area.topLeft());
}

QImage ImageSurface::TakeSpareImage() {
    if (spare_.size() == image_.size() && spare_.isDetached()) return std::exchange(spare_, QImage());
    spare_ = QImage();
    return large_blocks::NewImage(image_.size());
}

void ImageSurface::SetBackColor(ColorValue color) {
    backColor_ = color;
    ComposeAll();
}

void ImageSurface::Cls() {
    const QRect area = drawn_;
    Compose(area);
    drawn_ = QRect();
    ImageChanged(area);
}

std::optional<ColorValue> ImageSurface::Point(int x, int y) const {
    ComposeNow();
    if (!image_.valid(x, y)) return std::nullopt;
    const QRgb pixel = image_.pixel(x, y);
    return PackColor(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

void ImageSurface::WriteBitmapBits(int width, int height, const uchar* bits, qint64 count) {
    if (width <= 0 || height <= 0 || bits == nullptr || count <= 0) return;
    const qint64 sourceRowBytes = qint64(width) * 4;
    const int columns = std::min(width, image_.width());
    const int rows = std::min(qint64(std::min(height, image_.height())),
                              (count + sourceRowBytes - 1) / sourceRowBytes);
    if (columns <= 0 || rows <= 0) return;
    const QRect area(0, 0, columns, rows);
    const bool wholeImage = columns == image_.width() && rows == image_.height() && count >= qint64(rows) * sourceRowBytes;
    if (wholeImage) {
        // Nothing of the image as it stands is left, composing still to do included.
        stale_ = QRect();
        if (pictureIsImage_) {
            HandImageToPicture();
            image_ = TakeSpareImage();
        } else if (!image_.isDetached()) {
            image_ = TakeSpareImage();
        }
    } else {
        KeepPictureUnder(area);
    }
    // Taken here, on one thread: the first write access may give the image its own copy.
    uchar* const target = image_.bits();
    const qsizetype targetRowBytes = image_.bytesPerLine();
    large_blocks::InBands(rows, std::size_t(columns) * 4, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const qint64 rowStart = y * sourceRowBytes;
            const qint64 bytes = std::min<qint64>(qint64(columns) * 4, count - rowStart);
            std::memcpy(target + y * targetRowBytes, bits + rowStart, size_t(bytes));
        }
    });
    drawn_ |= area;
    ImageChanged(area);
}

uchar* ImageSurface::NextImageBits() {
    if (next_.size() != image_.size() || !next_.isDetached()) next_ = TakeSpareImage();
    return next_.bits();
}

void ImageSurface::CommitNextImage() {
    if (next_.size() != image_.size()) return;
    if (pictureIsImage_) {
        HandImageToPicture();
    } else if (image_.isDetached()) {
        spare_ = image_;
    }
    image_ = std::exchange(next_, QImage());
    stale_ = QRect();
    drawn_ = image_.rect();
    ImageChanged(image_.rect());
}

void ImageSurface::TakeWholeImage(QImage pixels) {
    if (pixels.size() != image_.size() || pixels.format() != QImage::Format_RGB32 ||
        pixels.bytesPerLine() != qsizetype(pixels.width()) * 4) {
        return;
    }
    next_ = std::move(pixels);
    CommitNextImage();
    // The image it replaces goes back to the system instead of waiting as a spare: a photo's
    // worth of memory the drawing does not need until it renders.
    spare_ = QImage();
}

void ImageSurface::FloodFill(int x, int y, ColorValue surface) {
    KeepPictureUnder(image_.rect());
    const QRect area = FloodFillArea(image_, QPoint(x, y), ToPixel(surface), ToPixel(fillColor_));
    if (area.isEmpty()) return;
    drawn_ |= area;
    ImageChanged(area);
}

void ImageSurface::ResizeBox(QSize size) { ResizeImage(size); }

void ImageSurface::ResizeImage(QSize size) {
    size = size.expandedTo(QSize(0, 0));
    if (size == image_.size()) return;
    DetachPicture();
    spare_ = QImage();
    next_ = QImage();
    const QImage old = image_;
    const QRect kept = drawn_ & QRect(QPoint(0, 0), size);
    image_ = large_blocks::NewImage(size);
    stale_ = QRect();
    Compose(image_.rect());
    if (!kept.isEmpty()) {
        ComposeNow();
        CopyPixels(old, kept, image_, kept.topLeft());
    }
    drawn_ = kept;
    ImageChanged(image_.rect());
}

void ImageSurface::ComposeAll() {
    Compose(image_.rect());
    drawn_ = QRect();
    ImageChanged(image_.rect());
}

void ImageSurface::Compose(const QRect& requested) {
    const QRect area = requested & image_.rect();
    if (area.isEmpty()) return;
    if (pictureIsImage_) {
        // The picture covers the whole image and the image still shows it outside the
        // saved area.
        RestoreSavedPicture(area);
        return;
    }
    stale_ |= area;
}

void ImageSurface::ComposeNow() const {
    const QRect area = std::exchange(stale_, QRect());
    if (area.isEmpty()) return;
    // A picture that fills the whole image is the image: it is shared rather than copied,
    // and the first write to either gives the image its own copy.
    if (area == image_.rect() && picture_.size() == image_.size()) {
        image_ = picture_;
        return;
    }
    const QRgb back = ToPixel(backColor_);
    const QRect fromPicture = area & picture_.rect();
    // Taken here, on one thread: the first write access may give the image its own copy.
    uchar* const bits = image_.bits();
    const qsizetype rowBytes = image_.bytesPerLine();
    large_blocks::InBands(area.height(), std::size_t(rowBytes), [&](int first, int end) {
        for (int y = area.top() + first; y < area.top() + end; ++y) {
            auto* row = reinterpret_cast<QRgb*>(bits + y * rowBytes);
            if (y < fromPicture.top() || y > fromPicture.bottom()) {
                std::fill(row + area.left(), row + area.right() + 1, back);
                continue;
            }
            // The picture sits at the top-left corner, so inside the area it starts at the
            // left edge and only its right may show the colour.
            std::memcpy(row + fromPicture.left(), picture_.constScanLine(y) + fromPicture.left() * 4,
                        size_t(fromPicture.width()) * 4);
            std::fill(row + fromPicture.right() + 1, row + area.right() + 1, back);
        }
    });
}
