#include "core/options/FalloffGraph.h"

#include "core/common/Failure.h"
#include "core/common/Rounding.h"

#include <limits>

namespace {

std::int16_t Checked16(std::int32_t value) {
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) {
        throw Failure::Overflow();
    }
    return std::int16_t(value);
}

}  // namespace

std::int32_t FalloffHeight(std::int32_t x, std::int16_t fog, std::int16_t intensity) {
    const std::int16_t numerator = Checked16(std::int32_t(intensity) * 10);
    const double denominator = double(x) / double(Checked16(std::int32_t(fog) + 1)) + 2.0;
    return RoundToInt32(double(numerator) / denominator);
}
