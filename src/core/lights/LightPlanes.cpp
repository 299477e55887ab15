#include "core/lights/LightPlanes.h"

#include "core/common/Failure.h"

#include <algorithm>

void LightPlanes::Reallocate(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) throw Failure::SubscriptOutOfRange();
    // Planes of the same size are blanked where they stand, sparing the page faults of
    // fresh memory.
    if (width == width_ && height == height_) {
        std::fill(values_.begin(), values_.end(), 0.0f);
        return;
    }
    // Swapped out, not assigned: an assignment keeps the old capacity, and with it the
    // memory of the biggest picture ever opened.
    decltype(values_)().swap(values_);
    width_ = height_ = 0;
    values_ = decltype(values_)(std::size_t(width) * std::size_t(height) * 3);
    width_ = width;
    height_ = height;
}
