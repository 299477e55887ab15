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

float LightPlanes::SplitPictureRow(const std::uint32_t* pixels, std::int32_t y) {
    return ActiveRowKernels().splitPixels(pixels, Row(0, y), Row(1, y), Row(2, y), width_);
}
