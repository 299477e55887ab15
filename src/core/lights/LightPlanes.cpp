#include "core/lights/LightPlanes.h"

#include "core/common/Failure.h"

void LightPlanes::Reallocate(std::int32_t width, std::int32_t height) {
    if (width < 0 || height < 0) throw Failure::SubscriptOutOfRange();
    width_ = height_ = 0;
    MakeBlank(values_, ValuesFor(width, height));
    width_ = width;
    height_ = height;
}
