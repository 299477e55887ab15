#pragma once

#include "core/common/LargeBlocks.h"

#include <QImage>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class ImageSurface;

// The description of a bitmap, field for field as the device bitmap description.
struct PicBitmapRecord {
    std::int32_t bmType = 0;
    std::int32_t bmWidth = 0;
    std::int32_t bmHeight = 0;
    std::int32_t bmWidthBytes = 0;
    std::uint16_t bmPlanes = 0;
    std::uint16_t bmBitsPixel = 0;
    const void* bmBits = nullptr;
};

// An in-memory picture laid out byte for byte like a 32-bit device bitmap (blue, green,
// red, a fourth byte; rows top-down; no padding), so that a whole picture moves to and
// from a picture box in one block copy while single pixels are read and written in
// between. Pixels are addressed from (1, 1) at the top left.
//
// A failing operation throws and leaves done what it did before the failure. The windows
// reach these buffers through GMPicture, which reports each failure where it happens.
class PixelBuffer {
public:
    void SetPicture(const QImage& StdPicture1);
    // SetPicture of a width x height 32-bit picture, given a band of rows at a time as it is
    // decoded: StartPicture sizes the buffer, CopyPictureRows copies rows first .. end - 1 of
    // the picture's pixels (4 bytes a pixel, rows of 4 * width bytes).
    void StartPicture(std::int32_t width, std::int32_t height);
    void CopyPictureRows(const std::uint8_t* pixels, std::int32_t first, std::int32_t end);
    void PrintToPictureBox(ImageSurface& PictureBox1, bool bRefresh = false, bool bMergeLayer = false);
    void CreateNewPicture(float Width, float Height);
    void SetPixel(float X, float Y, std::int32_t Red, std::int32_t Green, std::int32_t Blue);
    void GetPixel(float X, float Y, std::int32_t& Red, std::int32_t& Green, std::int32_t& Blue) const;
    void FillAll(std::int32_t Red, std::int32_t Green, std::int32_t Blue);
    std::int32_t Width() const { return PicBitmap.bmWidth; }
    std::int32_t Height() const { return PicBitmap.bmHeight; }
    void Cls();

    // The pixel bytes for whole-picture kernels: (y * Width() + x) * 4 + channel for a
    // buffer made by CreateNewPicture or from a 32-bit picture. Empty until sized.
    std::span<std::uint8_t> Bytes() { return PicBits; }
    std::span<const std::uint8_t> Bytes() const { return PicBits; }
    // Whether the bytes are exactly those of a width x height picture.
    bool HoldsPixelsOf(std::int32_t width, std::int32_t height) const {
        return PicBits.size() == std::size_t(width) * std::size_t(height) * 4;
    }
    const PicBitmapRecord& Description() const { return PicBitmap; }

private:
    int BytesPerPixel() const;
    // Bytes for the recorded size, all 0; with `willOverwrite` a buffer of that size already
    // there keeps its bytes, for a caller about to write every one of them.
    void Reallocate(bool willOverwrite = false);
    std::size_t Offset(int channel, float X, float Y) const;
    // The byte count the bitmap's record gives, where 32 bits hold it; BitmapByteCount fails
    // with an overflow where they do not.
    std::optional<std::int32_t> RecordedByteCount() const;
    std::int32_t BitmapByteCount() const;

    PicBitmapRecord PicBitmap;
    std::vector<std::uint8_t, LargeBlockAllocator<std::uint8_t>> PicBits;
    // Dimensions the array was allocated with; all 0 while it is not allocated.
    int bitsChannels_ = 0;
    int bitsWidth_ = 0;
    int bitsHeight_ = 0;
};
