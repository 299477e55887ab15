#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Accumulated light: a 32-bit float per pixel and channel, addressed (x, y, channel) with
// x from 0 to the picture width, y from 0 to the picture height and channel 1 red,
// 2 green, 3 blue. Index 0 of x and y exists but is never used, matching the pixel
// buffers' coordinates that start at 1.
//
// In memory each channel is one plane of rows (x varies fastest), so whole-picture loops
// stream through it and line up with the rows of the pixel buffers.
class LightArray {
public:
    LightArray() = default;

    // Bounds 0..width, 0..height, 1..3, every element 0. The old contents are dropped first.
    void Reallocate(std::int32_t width, std::int32_t height);

    std::int32_t UpperX() const { return upperX_; }
    std::int32_t UpperY() const { return upperY_; }

    // Bounds-checked element access; an index outside the bounds throws
    // "Subscript out of range". Any access that may write forgets the row maxima.
    float& At(std::int32_t x, std::int32_t y, std::int32_t channel);
    float At(std::int32_t x, std::int32_t y, std::int32_t channel) const;

    // The row y of one channel, element x at index x.
    std::span<float> Row(std::int32_t channel, std::int32_t y);
    std::span<const float> Row(std::int32_t channel, std::int32_t y) const;

    std::span<float> Values();
    std::span<const float> Values() const { return values_; }

    // The greatest value of each row y (at index y) over the three channels and the
    // columns 1..width, or 0 when none is above 0: set by the passes that write whole rows,
    // forgotten by any other write. Empty unless known for exactly this width.
    std::span<const float> RowMaxima(std::int32_t width) const;
    void SetRowMaxima(std::vector<float> maxima, std::int32_t width);
    // Forgetting writes only while the maxima are known. A pass that forgets them on its own
    // thread first may then reach rows through the writing accessors from many threads at
    // once: they only read that they are forgotten.
    void ForgetRowMaxima() {
        if (rowMaximaWidth_ != -1) rowMaximaWidth_ = -1;
    }

private:
    std::size_t Index(std::int32_t x, std::int32_t y, std::int32_t channel) const;

    std::int32_t upperX_ = -1;
    std::int32_t upperY_ = -1;
    std::vector<float> values_;
    std::vector<float> rowMaxima_;
    std::int32_t rowMaximaWidth_ = -1;  // -1: not known
};
