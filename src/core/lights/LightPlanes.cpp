#include "core/lights/LightPlanes.h"

#include "core/common/Failure.h"

#include <new>

void LightPlanes::Reallocate(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) throw Failure::SubscriptOutOfRange();
    values_.reset();
    width_ = height_ = 0;
    count_ = 0;
    const std::size_t count = std::size_t(width) * std::size_t(height) * 3;
    // All-zero bits are 0.0f, so zeroed memory is a plane of zeros.
    values_.reset(static_cast<float*>(std::calloc(count == 0 ? 1 : count, sizeof(float))));
    if (!values_) throw std::bad_alloc();
    count_ = count;
    width_ = width;
    height_ = height;
}
