#include "core/common/Rounding.h"

#include "core/common/Failure.h"

#include <cmath>
#include <limits>

namespace {

template <typename Int>
Int RoundChecked(double value) {
    // nearbyint follows the current rounding mode, which is to-nearest-even unless
    // someone changed it; we never do.
    const double rounded = std::nearbyint(value);
    constexpr double low = std::numeric_limits<Int>::min();
    constexpr double high = std::numeric_limits<Int>::max();
    if (!(rounded >= low && rounded <= high)) throw Failure::Overflow();
    return static_cast<Int>(rounded);
}

}  // namespace

std::int16_t RoundToInt16(double value) { return RoundChecked<std::int16_t>(value); }

std::int32_t RoundToInt32(double value) { return RoundChecked<std::int32_t>(value); }
