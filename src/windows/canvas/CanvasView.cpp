#include "windows/canvas/CanvasView.h"

#include "windows/canvas/CanvasBox.h"
#include "windows/canvas/ZoomNote.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Around the canvas, where there is no picture: dark, so a small picture stands out.
const QColor kBeyondCanvas(48, 48, 48);

}  // namespace

CanvasView::CanvasView(CanvasBox* canvas, QWidget* parent)
    : QScrollArea(parent), canvas_(canvas), zoomNote_(new ZoomNote(viewport())) {
    setFrameShape(QFrame::NoFrame);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidgetResizable(false);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, kBeyondCanvas);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    // The view itself takes no focus: the keys that scroll reach it from the canvas.
    setFocusPolicy(Qt::NoFocus);
    setWidget(canvas);
    canvas->installEventFilter(this);
}

void CanvasView::SetPanel(QWidget* panel) {
    panel_ = panel;
    panelPlace_ = panel->pos();
    panel->setParent(viewport());
    panel->raise();
}

void CanvasView::PlacePanel(QPoint place) {
    panelPlace_ = place;
    KeepPanelInside();
}

QRect CanvasView::VisibleCanvas() const { return viewport()->rect() & canvas_->geometry(); }

void CanvasView::ZoomBy(int steps) { ZoomTo(canvas_->ZoomStep() + steps, viewport()->rect().center()); }

void CanvasView::ZoomTo(int step, QPoint anchor) {
    const double before = canvas_->Zoom();
    // The picture point under the anchor, in picture pixels, before the zoom changes.
    const double pictureX = (horizontalScrollBar()->value() + anchor.x()) / before;
    const double pictureY = (verticalScrollBar()->value() + anchor.y()) / before;
    canvas_->SetZoomStep(step);
    const double after = canvas_->Zoom();
    horizontalScrollBar()->setValue(int(std::lround(pictureX * after)) - anchor.x());
    verticalScrollBar()->setValue(int(std::lround(pictureY * after)) - anchor.y());
    KeepPanelInside();
    zoomNote_->Show(after);
}

void CanvasView::ZoomToFit() {
    const QSize room = maximumViewportSize();
    const QSize picture = canvas_->SurfaceSize();
    int step = CanvasBox::kLargestZoomStep;
    while (step > CanvasBox::kSmallestZoomStep) {
        const double zoom = std::ldexp(1.0, step);
        if (std::ceil(picture.width() * zoom) <= room.width() && std::ceil(picture.height() * zoom) <= room.height()) break;
        --step;
    }
    ZoomTo(step, QPoint(0, 0));
}

void CanvasView::ResetView() {
    canvas_->SetZoomStep(0);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    KeepPanelInside();
}

void CanvasView::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        // One notch of a wheel is 120; a touchpad sends many small steps, which add up to one.
        zoomTurn_ += delta.y();
        const int notches = zoomTurn_ / 120;
        zoomTurn_ -= notches * 120;
        if (notches != 0) ZoomTo(canvas_->ZoomStep() + notches, viewport()->mapFrom(this, event->position().toPoint()));
        event->accept();
        return;
    }
    if ((event->modifiers() & Qt::ShiftModifier) && delta.x() == 0) {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() - delta.y() * bar->singleStep() * 3 / 120);
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

void CanvasView::keyPressEvent(QKeyEvent* event) {
    if (!SpaceKey(event, true)) QScrollArea::keyPressEvent(event);
}

void CanvasView::keyReleaseEvent(QKeyEvent* event) {
    if (!SpaceKey(event, false)) QScrollArea::keyReleaseEvent(event);
}

// Space reaches the view from the canvas only while the canvas has the focus: in a text field
// it is a space. Held down, it repeats; only its first press and last release count.
bool CanvasView::SpaceKey(QKeyEvent* event, bool down) {
    if (event->key() != Qt::Key_Space) return false;
    if (!event->isAutoRepeat()) {
        spaceHeld_ = down;
        ShowWhatAPressDoes();
    }
    event->accept();
    return true;
}

// The scroll area watches its widget's size through this filter too.
bool CanvasView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == canvas_ && event->type() == QEvent::FocusOut) EndPanning();
    if (watched == canvas_ && (spaceHeld_ || grabbedAt_) && Pan(event)) return true;
    return QScrollArea::eventFilter(watched, event);
}

// Every press on the canvas while Space is down grabs the picture rather than reaching the
// drawing; the picture follows the pointer until the button is let go.
bool CanvasView::Pan(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (!grabbedAt_) {
                grabbedAt_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
                scrollAtGrab_ = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
                ShowWhatAPressDoes();
            }
            return true;
        case QEvent::MouseMove:
            if (grabbedAt_) {
                const QPoint moved = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - *grabbedAt_;
                horizontalScrollBar()->setValue(scrollAtGrab_.x() - moved.x());
                verticalScrollBar()->setValue(scrollAtGrab_.y() - moved.y());
            }
            return true;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
                grabbedAt_.reset();
                ShowWhatAPressDoes();
            }
            return true;
        default:
            return false;
    }
}

// Without the focus the canvas hears no more of the keys: Space may be let go elsewhere.
void CanvasView::EndPanning() {
    spaceHeld_ = false;
    grabbedAt_.reset();
    ShowWhatAPressDoes();
}

// The pointer over the canvas: a closed hand while dragging, an open one while a press would
// grab the picture, and the usual one while a press places a light.
void CanvasView::ShowWhatAPressDoes() {
    if (grabbedAt_) canvas_->setCursor(Qt::ClosedHandCursor);
    else if (spaceHeld_) canvas_->setCursor(Qt::OpenHandCursor);
    else canvas_->unsetCursor();
}

void CanvasView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    KeepPanelInside();
}

// The panel keeps its place in the view while the canvas scrolls under it, and shows as near
// to that place as it can while staying over the canvas that shows; it goes back there when
// the view grows again. Over a canvas too small to hold it, it stays put and shows only
// where the canvas is, as it always has.
void CanvasView::KeepPanelInside() {
    if (panel_ == nullptr) return;
    const QRect area = VisibleCanvas();
    if (area.isEmpty()) return;
    const auto nearest = [](int place, int low, int high) { return high < low ? place : std::clamp(place, low, high); };
    panel_->move(nearest(panelPlace_.x(), area.left(), area.right() + 1 - panel_->width()),
                 nearest(panelPlace_.y(), area.top(), area.bottom() + 1 - panel_->height()));
    const QRect shown = area.translated(-panel_->pos()) & panel_->rect();
    if (shown == panel_->rect()) {
        panel_->clearMask();
    } else if (!shown.isEmpty()) {
        panel_->setMask(shown);
    }
    panel_->setVisible(!shown.isEmpty());
}
