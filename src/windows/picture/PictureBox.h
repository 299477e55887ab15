#pragma once

#include "core/picture/ImageSurface.h"

#include <QWidget>

// A borderless child window that shows an ImageSurface and reports the mouse the way the
// program's handlers expect: the button that changed (1 left, 2 right, 4 middle) for down
// and up, the sum of the buttons held for moves, the shift state (1 Shift, 2 Ctrl, 4 Alt),
// and the position in pixels from the inside's top-left corner as floats.
class PictureBox : public QWidget, public ImageSurface {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Outer position and size in the parent's pixels; the image takes the box's size at
    // once. (A plain QWidget::resize reaches the image only when Qt delivers the resize
    // event, which for a hidden box waits until it is shown.)
    void MoveBox(int left, int top, int width, int height);
    void SetBoxSize(int width, int height);

    void Refresh() override;

signals:
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    // The left button went down and came up again over the box.
    void Clicked();

protected:
    void ResizeBox(QSize size) override;
    void ImageChanged(const QRect& area) override;

    // How the box shows its image; a box that scales its image overrides these three. The
    // size on screen of an image of `imageSize`:
    virtual QSize ShownSize(QSize imageSize) const { return imageSize; }
    // The part of the box that shows `imageArea` of the image:
    virtual QRect ShownArea(const QRect& imageArea) const { return imageArea; }
    // The image pixel a point of the box stands for, in whole pixels:
    virtual QPointF ImagePoint(QPointF boxPoint) const;
    // Paints `area` of the box from the image.
    virtual void PaintImage(QPainter& painter, const QRect& area);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool leftPressedInside_ = false;
    // What changed since the last paint: a refresh repaints only that.
    QRect unpainted_;
};
