#include "core/picture/ReducedView.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace {

// Two channels of a pixel in the two halves of a word: at most 16 × 16 pixels of 255 add
// up to less than 65536, so a block's sums never spill from one half into the other.
constexpr std::uint32_t kLowChannels = 0x00FF00FFu;

// Each picture column's sums over the rows of one view row, channel pairs packed as above.
struct ColumnSums {
    std::vector<std::uint32_t> blueRed;
    std::vector<std::uint32_t> greenAlpha;
};

// The sums of a band of rows, column by column: one straight pass that the compiler turns into
// vector code when it knows how many rows the band has, as it does for every band but the
// picture's last.
template <int kRows>
void SumBand(const QRgb* const* rows, int count, std::size_t columns, ColumnSums& sums) {
    const int bandRows = kRows > 0 ? kRows : count;
    std::uint32_t* __restrict blueRed = sums.blueRed.data();
    std::uint32_t* __restrict greenAlpha = sums.greenAlpha.data();
    for (std::size_t x = 0; x < columns; ++x) {
        std::uint32_t pairBlueRed = 0, pairGreenAlpha = 0;
        for (int r = 0; r < bandRows; ++r) {
            const QRgb pixel = rows[r][x];
            pairBlueRed += pixel & kLowChannels;
            pairGreenAlpha += (pixel >> 8) & kLowChannels;
        }
        blueRed[x] = pairBlueRed;
        greenAlpha[x] = pairGreenAlpha;
    }
}

// Built for AVX2 as well where the compiler can pick the version at load time: the sums are
// the view's whole cost, and twice as wide vectors halve it.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
__attribute__((target_clones("avx2", "default")))
#endif
void SumBand(const QRgb* const* rows, int count, int factor, std::size_t columns, ColumnSums& sums) {
    if (count == factor) {
        switch (factor) {
            case 2: return SumBand<2>(rows, count, columns, sums);
            case 4: return SumBand<4>(rows, count, columns, sums);
            case 8: return SumBand<8>(rows, count, columns, sums);
            case 16: return SumBand<16>(rows, count, columns, sums);
            default: break;
        }
    }
    SumBand<0>(rows, count, columns, sums);
}

// The mean of `count` pixels, halves rounded up. Whole blocks hold a power of two of pixels,
// so all but a picture's edge blocks divide with a shift rather than a slow division.
QRgb Mean(std::uint32_t blueRed, std::uint32_t greenAlpha, std::uint32_t count) {
    const std::uint32_t half = count / 2;
    const std::uint32_t red = (blueRed >> 16) & 0xFFFFu, blue = blueRed & 0xFFFFu, green = greenAlpha & 0xFFFFu;
    if ((count & (count - 1)) == 0) {
        const int shift = std::countr_zero(count);
        return qRgb(int((red + half) >> shift), int((green + half) >> shift), int((blue + half) >> shift));
    }
    return qRgb(int((red + half) / count), int((green + half) / count), int((blue + half) / count));
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

// Each thread takes a band of view rows; a view row adds up its band of picture rows column by
// column, then each block's columns.
void ReducedView::Average(const QImage& picture, const QRect& viewArea) {
    const int threads = std::clamp(viewArea.height() / 8, 1, pool_.Threads());
    // Taken once here: bits() on a shared image would copy it, which threads must not race on.
    uchar* const reducedBits = reduced_.bits();
    const qsizetype reducedStride = reduced_.bytesPerLine();
    const int firstX = viewArea.left() * factor_;
    const int endX = std::min(picture.width(), (viewArea.right() + 1) * factor_);
    const auto columns = std::size_t(endX - firstX);
    pool_.Run(threads, [&](int thread) {
        const int firstRow = viewArea.top() + viewArea.height() * thread / threads;
        const int endRow = viewArea.top() + viewArea.height() * (thread + 1) / threads;
        ColumnSums sums{std::vector<std::uint32_t>(columns), std::vector<std::uint32_t>(columns)};
        std::vector<const QRgb*> rows(static_cast<std::size_t>(factor_));
        for (int viewY = firstRow; viewY < endRow; ++viewY) {
            const int firstY = viewY * factor_;
            const int endY = std::min(picture.height(), firstY + factor_);
            for (int y = firstY; y < endY; ++y) {
                rows[std::size_t(y - firstY)] = reinterpret_cast<const QRgb*>(picture.constScanLine(y)) + firstX;
            }
            SumBand(rows.data(), endY - firstY, factor_, columns, sums);
            auto* out = reinterpret_cast<QRgb*>(reducedBits + reducedStride * viewY);
            for (int viewX = viewArea.left(); viewX <= viewArea.right(); ++viewX) {
                const auto from = std::size_t(viewX * factor_ - firstX);
                const auto to = std::min(columns, from + std::size_t(factor_));
                std::uint32_t blueRed = 0, greenAlpha = 0;
                for (std::size_t x = from; x < to; ++x) {
                    blueRed += sums.blueRed[x];
                    greenAlpha += sums.greenAlpha[x];
                }
                out[viewX] = Mean(blueRed, greenAlpha, std::uint32_t((to - from) * std::size_t(endY - firstY)));
            }
        }
    });
}
