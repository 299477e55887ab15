#include "core/picture/PixelBuffer.h"

#include "core/common/Failure.h"
#include "core/common/Rounding.h"
#include "core/picture/ImageSurface.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int kBlue = 0;
constexpr int kGreen = 1;
constexpr int kRed = 2;

std::uint8_t ToByte(std::int32_t value) {
    if (value < 0 || value > 255) throw Failure::Overflow();
    return static_cast<std::uint8_t>(value);
}

}  // namespace

int PixelBuffer::BytesPerPixel() const {
    if (PicBitmap.bmWidth == 0) throw Failure::DivisionByZero();
    const double ratio = double(PicBitmap.bmWidthBytes) / double(PicBitmap.bmWidth);
    return RoundToInt32(ratio - 1.0) + 1;
}

void PixelBuffer::Reallocate(bool willOverwrite) {
    const int channels = BytesPerPixel();
    const int width = PicBitmap.bmWidth;
    const int height = PicBitmap.bmHeight;
    if (channels < 1 || width < 1 || height < 1) throw Failure::SubscriptOutOfRange();
    const auto count = std::uint64_t(channels) * std::uint64_t(width) * std::uint64_t(height);
    if (count > std::uint64_t(std::numeric_limits<std::ptrdiff_t>::max())) throw Failure::OutOfMemory();
    bitsChannels_ = bitsWidth_ = bitsHeight_ = 0;
    if (!willOverwrite || PicBits.size() != count) MakeBlank(PicBits, std::size_t(count));
    bitsChannels_ = channels;
    bitsWidth_ = width;
    bitsHeight_ = height;
}

std::size_t PixelBuffer::Offset(int channel, float X, float Y) const {
    const std::int32_t x = RoundToInt32(double(X) - 1.0);
    const std::int32_t y = RoundToInt32(double(Y) - 1.0);
    if (channel < 0 || channel >= bitsChannels_ || x < 0 || x >= bitsWidth_ || y < 0 || y >= bitsHeight_) {
        throw Failure::SubscriptOutOfRange();
    }
    return (std::size_t(y) * std::size_t(bitsWidth_) + std::size_t(x)) * std::size_t(bitsChannels_) +
           std::size_t(channel);
}

std::optional<std::int32_t> PixelBuffer::RecordedByteCount() const {
    const std::int64_t count = std::int64_t(PicBitmap.bmWidthBytes) * PicBitmap.bmHeight;
    if (count > std::numeric_limits<std::int32_t>::max() || count < std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    return std::int32_t(count);
}

std::int32_t PixelBuffer::BitmapByteCount() const {
    if (const std::optional<std::int32_t> count = RecordedByteCount()) return *count;
    throw Failure::Overflow();
}

void PixelBuffer::SetPicture(const QImage& StdPicture1) {
    // Our copies move whole rows of 32-bit pixels stored blue first with no room after
    // a row; any other source is brought to that form first.
    QImage source = StdPicture1;
    const QImage::Format format = source.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32) {
        source = source.convertToFormat(QImage::Format_RGB32);
    }
    if (source.bytesPerLine() != qsizetype(source.width()) * 4) source = source.copy();
    // The bits pointer is only ever reported, never read: ours reports none.
    PicBitmap = {0,
                 source.width(),
                 source.height(),
                 std::int32_t(source.isNull() ? 0 : source.bytesPerLine()),
                 1,
                 std::uint16_t(source.depth()),
                 nullptr};
    // The source's rows fill the buffer exactly, so blanking it first would only be a pass over
    // a photo's worth of bytes for the copy to overwrite; a copy too big to go ahead leaves it
    // blank.
    Reallocate(RecordedByteCount().has_value());
    const std::int64_t count = std::min<std::int64_t>(
        {BitmapByteCount(), std::int64_t(PicBits.size()), std::int64_t(source.sizeInBytes())});
    if (count <= 0) return;
    // A new buffer's pages are faulted in on every core, each slice by the thread copying it.
    large_blocks::InSlices(std::size_t(count), [&](std::size_t from, std::size_t to) {
        std::memcpy(PicBits.data() + from, source.constBits() + from, to - from);
    });
}

void PixelBuffer::PrintToPictureBox(ImageSurface& PictureBox1, bool bRefresh, bool bMergeLayer) {
    PictureBox1.Cls();
    const std::int32_t count = BitmapByteCount();
    if (PicBits.empty()) throw Failure::SubscriptOutOfRange();
    PictureBox1.WriteBitmapBits(PicBitmap.bmWidth, PicBitmap.bmHeight, PicBits.data(),
                                std::min<std::int64_t>(count, std::int64_t(PicBits.size())));
    if (bRefresh) PictureBox1.Refresh();
    if (bMergeLayer) PictureBox1.MergeImageIntoPicture();
}

void PixelBuffer::StartPicture(std::int32_t width, std::int32_t height) {
    PicBitmap = {0, width, height, width * 4, 1, 32, nullptr};
    Reallocate(true);
}

void PixelBuffer::CopyPictureRows(const std::uint8_t* pixels, std::int32_t first, std::int32_t end) {
    const std::size_t rowBytes = std::size_t(PicBitmap.bmWidth) * 4;
    std::memcpy(PicBits.data() + rowBytes * std::size_t(first), pixels + rowBytes * std::size_t(first),
                rowBytes * std::size_t(end - first));
}

void PixelBuffer::CreateNewPicture(float Width, float Height) {
    if (!(Width >= 1.0f) || !(Height >= 1.0f)) return;
    PicBitmap.bmWidth = RoundToInt32(Width);
    PicBitmap.bmHeight = RoundToInt32(Height);
    PicBitmap.bmWidthBytes = RoundToInt32(Width * 4.0f);
    PicBitmap.bmBits = nullptr;
    PicBitmap.bmBitsPixel = 32;
    PicBitmap.bmPlanes = 1;
    PicBitmap.bmType = 0;
    Reallocate();
}

void PixelBuffer::SetPixel(float X, float Y, std::int32_t Red, std::int32_t Green, std::int32_t Blue) {
    const std::size_t red = Offset(kRed, X, Y);
    PicBits[red] = ToByte(Red);
    const std::size_t green = Offset(kGreen, X, Y);
    PicBits[green] = ToByte(Green);
    const std::size_t blue = Offset(kBlue, X, Y);
    PicBits[blue] = ToByte(Blue);
}

void PixelBuffer::GetPixel(float X, float Y, std::int32_t& Red, std::int32_t& Green, std::int32_t& Blue) const {
    Red = PicBits[Offset(kRed, X, Y)];
    Green = PicBits[Offset(kGreen, X, Y)];
    Blue = PicBits[Offset(kBlue, X, Y)];
}

void PixelBuffer::FillAll(std::int32_t Red, std::int32_t Green, std::int32_t Blue) {
    const auto outside = [](std::int32_t v) { return v < 0 || v > 255; };
    if (outside(Red) || outside(Green) || outside(Blue)) return;
    if (PicBitmap.bmWidth <= 0 || PicBitmap.bmHeight <= 0) return;
    if (bitsChannels_ <= kRed || PicBitmap.bmWidth > bitsWidth_ || PicBitmap.bmHeight > bitsHeight_) {
        throw Failure::SubscriptOutOfRange();
    }
    // Every pixel gets the same three bytes, so one pass in memory order does it;
    // the fourth byte of each pixel is left alone.
    const std::size_t pixels = std::size_t(bitsWidth_) * std::size_t(bitsHeight_);
    std::uint8_t* pixel = PicBits.data();
    for (std::size_t i = 0; i < pixels; ++i, pixel += bitsChannels_) {
        pixel[kBlue] = std::uint8_t(Blue);
        pixel[kGreen] = std::uint8_t(Green);
        pixel[kRed] = std::uint8_t(Red);
    }
}

void PixelBuffer::Cls() { Reallocate(); }
