#include "picture/ImageSurface.h"

#include "fill/FloodFill.h"

#include <algorithm>
#include <cstring>

namespace {

QRgb ToPixel(ColorValue color) { return qRgb(RedOf(color), GreenOf(color), BlueOf(color)); }

}  // namespace

ImageSurface::ImageSurface() = default;
ImageSurface::~ImageSurface() = default;

void ImageSurface::SetPicture(const QImage& picture) {
    picture_ = picture.convertToFormat(QImage::Format_RGB32);
    if (autoSize_ && !picture_.isNull()) ResizeBox(picture_.size());
    ComposeAll();
}

void ImageSurface::ClearPicture() {
    picture_ = QImage();
    ComposeAll();
}

void ImageSurface::MergeImageIntoPicture() {
    picture_ = image_;
    drawn_ = QRect();
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
    // When every pixel is about to be replaced, a picture shared with the background
    // (after MergeImageIntoPicture) need not be copied first: a fresh image will do.
    if (columns == image_.width() && rows == image_.height() && count >= qint64(rows) * sourceRowBytes &&
        !image_.isDetached()) {
        image_ = QImage(image_.size(), QImage::Format_RGB32);
    }
    for (int y = 0; y < rows; ++y) {
        const qint64 rowStart = y * sourceRowBytes;
        const qint64 bytes = std::min<qint64>(qint64(columns) * 4, count - rowStart);
        std::memcpy(image_.scanLine(y), bits + rowStart, size_t(bytes));
    }
    const QRect area(0, 0, columns, rows);
    drawn_ |= area;
    ImageChanged(area);
}

void ImageSurface::FloodFill(int x, int y, ColorValue surface) {
    const QRect area = FloodFillArea(image_, QPoint(x, y), ToPixel(surface), ToPixel(fillColor_));
    if (area.isEmpty()) return;
    drawn_ |= area;
    ImageChanged(area);
}

void ImageSurface::ResizeBox(QSize size) { ResizeImage(size); }

void ImageSurface::ResizeImage(QSize size) {
    size = size.expandedTo(QSize(0, 0));
    if (size == image_.size()) return;
    const QImage old = image_;
    const QRect kept = drawn_ & QRect(QPoint(0, 0), size);
    image_ = QImage(size, QImage::Format_RGB32);
    Compose(image_.rect());
    for (int y = kept.top(); y <= kept.bottom(); ++y) {
        std::memcpy(image_.scanLine(y) + kept.left() * 4, old.constScanLine(y) + kept.left() * 4,
                    size_t(kept.width()) * 4);
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
    const QRgb back = ToPixel(backColor_);
    const QRect fromPicture = area & picture_.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(row + area.left(), row + area.right() + 1, back);
        if (y >= fromPicture.top() && y <= fromPicture.bottom()) {
            std::memcpy(row + fromPicture.left(),
                        picture_.constScanLine(y) + fromPicture.left() * 4,
                        size_t(fromPicture.width()) * 4);
        }
    }
}
