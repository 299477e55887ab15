#include "windows/editor/ProgressStrip.h"

#include <algorithm>

namespace {

constexpr std::int32_t kColumnStep = 10;
constexpr std::int32_t kStripRows = 10;
constexpr std::uint8_t kStripGrey = 70;

}  // namespace

ProgressStrip::ProgressStrip(PixelBuffer& strip, GMPicture printer, ImageSurface& canvas, std::int32_t pictureHeight,
                             Clock clock)
    : strip_(strip),
      printer_(printer),
      canvas_(canvas),
      height_(pictureHeight),
      clock_(std::move(clock)) {}

void ProgressStrip::Show(std::int32_t rowsDone) {
    if (height_ < 1) return;
    const std::int64_t share = std::int64_t(strip_.Width()) * std::clamp(rowsDone, 0, height_) / height_;
    const auto columns = std::int32_t(share / kColumnStep * kColumnStep);
    if (columns <= shown_) return;
    const bool finished = rowsDone >= height_;
    if (!finished && columns - shown_ < kColumnStep) return;
    const auto now = clock_();
    if (!finished && shown_ > 0 && now - lastPrint_ < kPrintInterval) return;
    Paint(columns);
    lastPrint_ = now;
}

// The pixels are written straight into the strip's bytes, as SetPixel would write them one
// by one: on a wide picture that is tens of thousands of calls a print.
void ProgressStrip::Paint(std::int32_t columns) {
    const std::int32_t width = strip_.Width();
    const std::int32_t last = std::min(columns, width);
    const std::int32_t rows = std::min(kStripRows, strip_.Height());
    if (strip_.HoldsPixelsOf(width, strip_.Height())) {
        for (std::int32_t row = 0; row < rows; ++row) {
            std::uint8_t* pixel = strip_.Bytes().data() + (std::size_t(row) * std::size_t(width) + std::size_t(shown_)) * 4;
            for (std::int32_t column = shown_; column < last; ++column, pixel += 4) {
                pixel[0] = pixel[1] = pixel[2] = kStripGrey;
            }
        }
    }
    shown_ = columns;
    printer_.PrintToPictureBox(canvas_, true, false);
}
