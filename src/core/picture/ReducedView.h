#pragma once

#include "core/common/WorkerPool.h"

#include <QImage>
#include <QRegion>

// A picture shown smaller than its pixels. Each view pixel is the average of the block of
// picture pixels it stands for, so fine detail blends instead of flickering in and out as
// whole pixels are dropped. Blocks are averaged only where a view asks for them and the
// picture changed since, on every core.
class ReducedView {
public:
    // `factor` picture pixels to a view pixel each way, from 2 to 16; the view of a picture
    // of `pictureSize` starts out all stale.
    void Reset(QSize pictureSize, int factor);
    int Factor() const { return factor_; }
    QSize ViewSize() const { return reduced_.size(); }

    // The picture changed inside `area`, in picture pixels.
    void PictureChanged(const QRect& area);
    // The reduced image, brought up to date from `picture` inside `viewArea` (view pixels).
    const QImage& Updated(const QImage& picture, const QRect& viewArea);

private:
    void Average(const QImage& picture, const QRect& viewArea);

    int factor_ = 1;
    QImage reduced_;
    QRegion stale_;
    WorkerPool pool_;
};

// The view size of `pictureSize` at 1/`factor`: every picture pixel has a view pixel.
QSize ReducedSize(QSize pictureSize, int factor);
