#include "windows/editor/DragStrip.h"

#include <QMouseEvent>

#include <algorithm>

DragStrip::DragStrip(QWidget* dragged, QWidget* parent) : QFrame(parent), dragged_(dragged) {}

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
    if (const QWidget* area = dragged_->parentWidget()) {
        target.setX(std::clamp(target.x(), 0, std::max(0, area->width() - dragged_->width())));
        target.setY(std::clamp(target.y(), 0, std::max(0, area->height() - dragged_->height())));
    }
    dragged_->move(target);
}

void DragStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QFrame::mouseReleaseEvent(event);
}
