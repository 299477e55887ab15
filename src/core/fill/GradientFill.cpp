#include "core/fill/GradientFill.h"

#include "core/common/Failure.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int32_t kDarker = 50;
constexpr std::int32_t kLighter = 140;

std::int32_t Product(std::int32_t difference, std::int32_t k) {
    const std::int64_t product = std::int64_t(difference) * k;
    if (product > std::numeric_limits<std::int32_t>::max() || product < std::numeric_limits<std::int32_t>::min()) {
        throw Failure::Overflow();
    }
    return std::int32_t(product);
}

// start + (end - start) * k / n: the product in 32 bits, the rest in double, rounded half to even.
std::int32_t Step(std::int32_t start, std::int32_t end, std::int32_t k, std::int32_t n) {
    return RoundToInt32(double(Product(end - start, k)) / double(n) + double(start));
}

}  // namespace

GradientEnds GradientEndsOf(std::int32_t red, std::int32_t green, std::int32_t blue) {
    GradientEnds ends{};
    const std::int32_t seed[3] = {red, green, blue};
    for (int c = 0; c < 3; ++c) {
        ends.dark[c] = std::max(seed[c] - kDarker, 0);
        ends.light[c] = std::min(seed[c] + kLighter, 255);
    }
    return ends;
}

bool MarkerMask::IsMarked(std::int32_t x, std::int32_t y) const {
    const std::size_t at = (std::size_t(y - 1) * std::size_t(width) + std::size_t(x - 1)) * 4;
    return bytes[at + 2] == RedOf(kFillMarker) && bytes[at + 1] == GreenOf(kFillMarker) &&
           bytes[at] == BlueOf(kFillMarker);
}

std::optional<QRect> FindMarkedArea(const MarkerMask& mask) {
    if (mask.bytes.size() < std::size_t(std::max(mask.width, 0)) * std::size_t(std::max(mask.height, 0)) * 4) {
        return std::nullopt;
    }
    std::optional<QRect> area;
    for (std::int32_t x = 1; x <= mask.width; ++x) {
        for (std::int32_t y = 1; y <= mask.height; ++y) {
            if (!mask.IsMarked(x, y)) continue;
            area = area ? area->united(QRect(x, y, 1, 1)) : QRect(x, y, 1, 1);
        }
    }
    return area;
}

std::int32_t ChosenDirection(const QRect& area) {
    return (area.right() - area.left()) >= (area.bottom() - area.top()) ? 1 : 3;
}

std::array<std::int32_t, 3> GradientColour(const QRect& area, const GradientEnds& ends, std::int32_t direction,
                                           std::int32_t x, std::int32_t y) {
    if (direction < 1 || direction > 4) return {RedOf(kFillMarker), GreenOf(kFillMarker), BlueOf(kFillMarker)};
    const bool vertical = direction == 1 || direction == 2;
    const bool fromDark = direction == 1 || direction == 3;
    const std::int32_t n = vertical ? area.bottom() - area.top() + 1 : area.right() - area.left() + 1;
    const std::int32_t k = vertical ? y - area.top() : x - area.left();
    std::array<std::int32_t, 3> colour{};
    for (int c = 0; c < 3; ++c) {
        colour[std::size_t(c)] =
            fromDark ? Step(ends.dark[c], ends.light[c], k, n) : Step(ends.light[c], ends.dark[c], k, n);
    }
    return colour;
}
