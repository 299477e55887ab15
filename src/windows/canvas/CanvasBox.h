#pragma once

#include "core/picture/ReducedView.h"
#include "windows/picture/PictureBox.h"

// The drawing's canvas: a picture box whose image, always the picture's own size, shows
// zoomed by a power of two. Above 100% each picture pixel is a sharp square block; below,
// each view pixel is the average of the block of picture pixels it stands for. A press
// reports the picture pixel it stands for, and a progress strip keeps its own height.
class CanvasBox : public PictureBox {
    Q_OBJECT

public:
    static constexpr int kSmallestZoomStep = -4;  // 1/16
    static constexpr int kLargestZoomStep = 4;    // 16 x

    explicit CanvasBox(QWidget* parent = nullptr);

    // The zoom is 2 to the power of the step; the box takes the size it shows at.
    void SetZoomStep(int step);
    int ZoomStep() const { return step_; }
    double Zoom() const;

    void SetProgressRows(int rows) override;

protected:
    QSize ShownSize(QSize imageSize) const override;
    QRect ShownArea(const QRect& imageArea) const override;
    QPointF ImagePoint(QPointF boxPoint) const override;
    void PaintImage(QPainter& painter, const QRect& area) override;
    void ImageChanged(const QRect& area) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PaintBlocks(QPainter& painter, const QRect& area) const;
    void PaintReduced(QPainter& painter, const QRect& area);
    void PaintProgressRows(QPainter& painter, const QRect& area) const;
    QRect ProgressArea() const;

    int step_ = 0;
    int progressRows_ = 0;
    ReducedView reduced_;
};
