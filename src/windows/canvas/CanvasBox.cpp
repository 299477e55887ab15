#include "windows/canvas/CanvasBox.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

CanvasBox::CanvasBox(QWidget* parent) : PictureBox(parent) {}

double CanvasBox::Zoom() const { return std::ldexp(1.0, step_); }

void CanvasBox::SetZoomStep(int step) {
    step = std::clamp(step, kSmallestZoomStep, kLargestZoomStep);
    if (step == step_) return;
    step_ = step;
    if (step_ < 0) reduced_.Reset(SurfaceSize(), 1 << -step_);
    resize(ShownSize(SurfaceSize()));
    update();
}

QSize CanvasBox::ShownSize(QSize imageSize) const {
    if (step_ >= 0) return imageSize * (1 << step_);
    return ReducedSize(imageSize, 1 << -step_);
}

QRect CanvasBox::ShownArea(const QRect& imageArea) const {
    QRect shown;
    if (step_ >= 0) {
        shown = QRect(imageArea.topLeft() * (1 << step_), imageArea.size() * (1 << step_));
    } else {
        const int factor = 1 << -step_;
        shown = QRect(QPoint(imageArea.left() / factor, imageArea.top() / factor),
                      QPoint(imageArea.right() / factor, imageArea.bottom() / factor));
    }
    // The strip is drawn at its own height, taller than its rows when zoomed out.
    if (progressRows_ > 0 && imageArea.top() < progressRows_) shown |= ProgressArea();
    return shown;
}

// The centre of the view pixel, taken back to the picture: at 100% and above the picture
// pixel under the pointer, below it the middle of the block the view pixel averages.
QPointF CanvasBox::ImagePoint(QPointF boxPoint) const {
    const double zoom = Zoom();
    const auto picturePixel = [zoom](double at, int extent, int shown) {
        const double pixel = std::floor((std::floor(at) + 0.5) / zoom);
        // The last view pixel of a reduced view may stand for a block only partly inside the
        // picture; a press outside the view keeps its place, as lights may lie off the picture.
        return at >= 0.0 && at < shown && pixel >= extent ? double(extent - 1) : pixel;
    };
    return {picturePixel(boxPoint.x(), SurfaceSize().width(), width()),
            picturePixel(boxPoint.y(), SurfaceSize().height(), height())};
}

void CanvasBox::SetProgressRows(int rows) {
    if (rows == progressRows_) return;
    const QRect before = ProgressArea();
    progressRows_ = rows;
    if (step_ != 0) update(before | ProgressArea());
}

QRect CanvasBox::ProgressArea() const { return step_ == 0 ? QRect() : QRect(0, 0, width(), progressRows_); }

void CanvasBox::ImageChanged(const QRect& area) {
    if (step_ < 0) reduced_.PictureChanged(area);
    PictureBox::ImageChanged(area);
}

// The image keeps the picture's size whatever size the box shows it at.
void CanvasBox::resizeEvent(QResizeEvent* event) { QWidget::resizeEvent(event); }

void CanvasBox::PaintImage(QPainter& painter, const QRect& area) {
    if (step_ == 0) {
        PictureBox::PaintImage(painter, area);
        return;
    }
    if (step_ > 0) {
        PaintBlocks(painter, area);
    } else {
        PaintReduced(painter, area);
    }
    if (progressRows_ > 0) PaintProgressRows(painter, area);
}

void CanvasBox::PaintBlocks(QPainter& painter, const QRect& area) const {
    const QRect pixels(QPoint(area.left() >> step_, area.top() >> step_),
                       QPoint(area.right() >> step_, area.bottom() >> step_));
    const QRect blocks(pixels.topLeft() * (1 << step_), pixels.size() * (1 << step_));
    painter.drawImage(blocks, Image(), pixels);
}

void CanvasBox::PaintReduced(QPainter& painter, const QRect& area) {
    const int factor = 1 << -step_;
    if (reduced_.Factor() != factor || reduced_.ViewSize() != ReducedSize(SurfaceSize(), factor)) {
        reduced_.Reset(SurfaceSize(), factor);
    }
    painter.drawImage(area.topLeft(), reduced_.Updated(Image(), area), area);
}

// The strip's rows, stretched only across, over the top of the view.
void CanvasBox::PaintProgressRows(QPainter& painter, const QRect& area) const {
    const QRect band = ProgressArea();
    if (!band.intersects(area)) return;
    const int rows = std::min(progressRows_, SurfaceSize().height());
    painter.drawImage(QRect(0, 0, width(), rows), Image(), QRect(0, 0, SurfaceSize().width(), rows));
}
