#include "windows/picture/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

int ButtonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton) code += 1;
    if (buttons & Qt::RightButton) code += 2;
    if (buttons & Qt::MiddleButton) code += 4;
    return code;
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
    int code = 0;
    if (modifiers & Qt::ShiftModifier) code += 1;
    if (modifiers & Qt::ControlModifier) code += 2;
    if (modifiers & Qt::AltModifier) code += 4;
    return code;
}

}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    // The image repaints everything itself and keeps its drawing at the top-left when the
    // box grows, so Qt need neither clear the background nor repaint the old part.
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    ResizeImage(size());
}

void PictureBox::MoveBox(int left, int top, int width, int height) {
    move(left, top);
    SetBoxSize(width, height);
}

void PictureBox::SetBoxSize(int width, int height) {
    ResizeImage(QSize(width, height));
    resize(ShownSize(QSize(width, height)));
}

void PictureBox::Refresh() {
    if (unpainted_.isEmpty()) {
        repaint();
    } else {
        repaint(unpainted_);
    }
}

void PictureBox::ResizeBox(QSize size) { SetBoxSize(size.width(), size.height()); }

void PictureBox::ImageChanged(const QRect& area) {
    const QRect shown = ShownArea(area);
    unpainted_ |= shown;
    update(shown);
}

// On a screen with more than one device pixel to a picture pixel the pointer can stand
// inside a picture pixel; the program works in whole picture pixels, the one under it.
QPointF PictureBox::ImagePoint(QPointF boxPoint) const { return {std::floor(boxPoint.x()), std::floor(boxPoint.y())}; }

void PictureBox::PaintImage(QPainter& painter, const QRect& area) { painter.drawImage(area.topLeft(), Image(), area); }

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Drawn without smoothing: on a high-density screen each picture pixel stays a crisp block.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect area = event->rect();
    if (area.contains(unpainted_)) unpainted_ = QRect();
    PaintImage(painter, area);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ResizeImage(size());
}

// Buttons other than left, right and middle mean nothing to the program and are not reported.
void PictureBox::mousePressEvent(QMouseEvent* event) {
    const int button = ButtonCode(event->button());
    if (button == 0) return;
    if (event->button() == Qt::LeftButton) leftPressedInside_ = true;
    const QPointF at = ImagePoint(event->position());
    emit MouseDown(button, ShiftCode(event->modifiers()), float(at.x()), float(at.y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = ImagePoint(event->position());
    emit MouseMove(ButtonCode(event->buttons()), ShiftCode(event->modifiers()), float(at.x()), float(at.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const int button = ButtonCode(event->button());
    if (button == 0) return;
    const QPointF at = ImagePoint(event->position());
    emit MouseUp(button, ShiftCode(event->modifiers()), float(at.x()), float(at.y()));
    if (event->button() == Qt::LeftButton && leftPressedInside_) {
        leftPressedInside_ = false;
        if (rect().contains(at.toPoint())) emit Clicked();
    }
}
