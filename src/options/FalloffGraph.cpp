#include "options/FalloffGraph.h"

#include "common/Failure.h"
#include "common/Rounding.h"
#include "picture/GMPicture.h"

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

void DrawFalloffGraph(GMPicture& graph, std::int16_t fog, std::int16_t intensity) {
    graph.FillAll(255, 255, 255);
    for (std::int32_t x = 1; x <= kGraphWidth; ++x) {
        const std::int32_t h = FalloffHeight(x, fog, intensity);
        if (h < kGraphHeight) graph.SetPixel(float(x), float(kGraphHeight - h), 0, 0, 0);
    }
}
