#include "windows/editor/DragStrip.h"

#include <QMouseEvent>

#include <utility>

DragStrip::DragStrip(QWidget* dragged, QWidget* parent, std::function<void(QPoint)> place)
    : QFrame(parent), dragged_(dragged), place_(std::move(place)) {}

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
    place_(dragged_->pos() + (at - anchor_));
}

void DragStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QFrame::mouseReleaseEvent(event);
}
