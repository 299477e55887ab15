#pragma once

#include "core/common/LargeBlocks.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Three planes of 32-bit floats, red, green and blue, each `height` rows of `width` values,
// with rows and columns counted from 0. Whole-picture passes stream through a plane row by
// row, in step with the rows of the pixel buffers.
class LightPlanes {
public:
    // Every value 0. The old values are let go first, so that a big picture never needs
    // both at once.
    void Reallocate(std::int32_t width, std::int32_t height);
    // The memory the planes of that size take.
    static std::size_t BytesFor(std::int32_t width, std::int32_t height) {
        return ValuesFor(width, height) * sizeof(float);
    }

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::size_t Count() const { return values_.size(); }

    // Row y takes the colours of row y of a picture as wide as the planes (4 bytes a pixel,
    // blue first, rows back to back), each channel 0 to 255; returns the row's greatest.
    float SplitPictureRow(const std::uint8_t* picture, std::int32_t y);

    // Row y of a channel (0 red, 1 green, 2 blue).
    float* Row(int channel, std::int32_t y) { return values_.data() + Offset(channel, y); }
    const float* Row(int channel, std::int32_t y) const { return values_.data() + Offset(channel, y); }

private:
    static std::size_t ValuesFor(std::int32_t width, std::int32_t height) {
        return std::size_t(width) * std::size_t(height) * 3;
    }
    std::size_t Offset(int channel, std::int32_t y) const {
        return (std::size_t(channel) * std::size_t(height_) + std::size_t(y)) * std::size_t(width_);
    }

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<float, LargeBlockAllocator<float>> values_;
};
