#include "core/picture/ReducedView.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Two channels of a pixel in the two halves of a word: at most 16 × 16 pixels of 255 add
// up to less than 65536, so a block's sums never spill from one half into the other.
constexpr std::uint32_t kLowChannels = 0x00FF00FFu;

struct BlockSums {
    std::uint32_t blueRed = 0;
    std::uint32_t greenAlpha = 0;
};

void AddRow(const QRgb* row, int first, int end, int shift, BlockSums* sums) {
    for (int x = first; x < end; ++x) {
        BlockSums& block = sums[(x >> shift) - (first >> shift)];
        block.blueRed += row[x] & kLowChannels;
        block.greenAlpha += (row[x] >> 8) & kLowChannels;
    }
}

QRgb Mean(const BlockSums& block, std::uint32_t count) {
    const std::uint32_t half = count / 2;
    const std::uint32_t red = (((block.blueRed >> 16) & 0xFFFFu) + half) / count;
    const std::uint32_t blue = ((block.blueRed & 0xFFFFu) + half) / count;
    const std::uint32_t green = ((block.greenAlpha & 0xFFFFu) + half) / count;
    return qRgb(int(red), int(green), int(blue));
}

int Log2(int factor) {
    int shift = 0;
    while ((1 << shift) < factor) ++shift;
    return shift;
}

}  // namespace

QSize ReducedSize(QSize pictureSize, int factor) {
    return {(pictureSize.width() + factor - 1) / factor, (pictureSize.height() + factor - 1) / factor};
}

void ReducedView::Reset(QSize pictureSize, int factor) {
    factor_ = factor;
    reduced_ = QImage(ReducedSize(pictureSize, factor), QImage::Format_RGB32);
    stale_ = QRegion(reduced_.rect());
}

void ReducedView::PictureChanged(const QRect& area) {
    if (area.isEmpty()) return;
    const QRect blocks(QPoint(area.left() / factor_, area.top() / factor_),
                       QPoint(area.right() / factor_, area.bottom() / factor_));
    stale_ += blocks & reduced_.rect();
}

const QImage& ReducedView::Updated(const QImage& picture, const QRect& viewArea) {
    const QRegion wanted = stale_ & (viewArea & reduced_.rect());
    for (const QRect& part : wanted) Average(picture, part);
    stale_ -= wanted;
    return reduced_;
}

// Each thread takes a band of view rows; a view row sums its picture rows block by block.
void ReducedView::Average(const QImage& picture, const QRect& viewArea) {
    const int shift = Log2(factor_);
    const int threads = std::clamp(viewArea.height() / 8, 1, pool_.Threads());
    // Taken once here: bits() on a shared image would copy it, which threads must not race on.
    uchar* const reducedBits = reduced_.bits();
    const qsizetype reducedStride = reduced_.bytesPerLine();
    pool_.Run(threads, [&](int thread) {
        const int firstRow = viewArea.top() + viewArea.height() * thread / threads;
        const int endRow = viewArea.top() + viewArea.height() * (thread + 1) / threads;
        const int firstX = viewArea.left() * factor_;
        const int endX = std::min(picture.width(), (viewArea.right() + 1) * factor_);
        std::vector<BlockSums> sums(std::size_t(viewArea.width()));
        for (int viewY = firstRow; viewY < endRow; ++viewY) {
            std::fill(sums.begin(), sums.end(), BlockSums{});
            const int firstY = viewY * factor_;
            const int endY = std::min(picture.height(), firstY + factor_);
            for (int y = firstY; y < endY; ++y) {
                AddRow(reinterpret_cast<const QRgb*>(picture.constScanLine(y)), firstX, endX, shift, sums.data());
            }
            auto* out = reinterpret_cast<QRgb*>(reducedBits + reducedStride * viewY);
            for (int i = 0; i < viewArea.width(); ++i) {
                const int viewX = viewArea.left() + i;
                const int columns = std::min(endX, (viewX + 1) * factor_) - viewX * factor_;
                out[viewX] = Mean(sums[std::size_t(i)], std::uint32_t(columns * (endY - firstY)));
            }
        }
    });
}
