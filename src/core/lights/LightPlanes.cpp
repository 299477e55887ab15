#include "core/lights/LightPlanes.h"

#include "core/common/Failure.h"
#include "core/lights/RowKernels.h"

void LightPlanes::Reallocate(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) throw Failure::SubscriptOutOfRange();
    width_ = height_ = 0;
    MakeBlank(values_, ValuesFor(width, height));
    width_ = width;
    height_ = height;
}

float LightPlanes::SplitPictureRow(const std::uint8_t* picture, std::int32_t y) {
    const auto* const row = reinterpret_cast<const std::uint32_t*>(picture) + std::size_t(y) * std::size_t(width_);
    return ActiveRowKernels().splitPixels(row, Row(0, y), Row(1, y), Row(2, y), width_);
}
