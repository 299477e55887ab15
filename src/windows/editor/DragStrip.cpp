#include "windows/editor/DragStrip.h"

#include <QMouseEvent>

#include <algorithm>
#include <utility>

DragStrip::DragStrip(QWidget* dragged, QWidget* parent, std::function<QRect()> bounds)
    : QFrame(parent), dragged_(dragged), bounds_(std::move(bounds)) {}

void DragStrip::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!dragging_) {
        if (event->buttons() != Qt::LeftButton) return;
        dragging_ = true;
        anchor_ = at;
        return;
    }
    // The strip moves with the dragged widget, so the pointer's offset from the anchor
    // is exactly how far the widget still has to go.
    QPoint target = dragged_->pos() + (at - anchor_);
    const QRect area = bounds_();
    target.setX(std::clamp(target.x(), area.left(), std::max(area.left(), area.right() + 1 - dragged_->width())));
    target.setY(std::clamp(target.y(), area.top(), std::max(area.top(), area.bottom() + 1 - dragged_->height())));
    dragged_->move(target);
}

void DragStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QFrame::mouseReleaseEvent(event);
}
