#include "core/lights/RowGeometry.h"

#include "core/lights/RowKernels.h"

#include <algorithm>
#include <cmath>

double RowDistance2(std::int32_t y, float lightY) {
    const double dy = (double(y) + 1.0) - double(lightY);
    return dy * dy;
}

void ComputeWeights(const RowKernels& k, double* weights, double lightX, double dy2, double fogFactor,
                    std::int32_t first, std::int32_t last) {
    if (first > last) return;
    if (fogFactor == 1.0) {
        k.plainWeights(weights, lightX, dy2, first, last);
    } else {
        k.weights(weights, lightX, dy2, fogFactor, first, last);
    }
}

void FillWeights(const RowKernels& k, double* weights, double lightX, double dy2, double fogFactor,
                 std::int32_t width) {
    const auto compute = [&](std::int32_t first, std::int32_t last) {
        ComputeWeights(k, weights, lightX, dy2, fogFactor, first, last);
    };
    const double twice = 2.0 * lightX;
    const bool mirrored = twice == std::floor(twice) && lightX > 1.0 && lightX < double(width);
    if (!mirrored) {
        compute(0, width - 1);
        return;
    }
    // Columns x and mirrorSum - x lie equally far from the light.
    const auto mirrorSum = std::int32_t(twice) - 2;
    const auto firstRight = std::int32_t(std::ceil(lightX)) - 1;  // the columns at or right of the light
    if (width - firstRight >= firstRight) {
        compute(firstRight, width - 1);
        const std::int32_t firstMirrored = std::max(0, mirrorSum - (width - 1));
        compute(0, firstMirrored - 1);
        k.mirror(weights, mirrorSum, firstMirrored, firstRight - 1);
    } else {
        const std::int32_t lastLeft = firstRight - 1;
        compute(0, lastLeft);
        // A light on a whole column has no mirror for its own column.
        const std::int32_t firstMirrored = mirrorSum - lastLeft;
        compute(firstRight, firstMirrored - 1);
        k.mirror(weights, mirrorSum, firstMirrored, std::min(width - 1, mirrorSum));
        compute(mirrorSum + 1, width - 1);
    }
}

RowPairs PairRowsAround(float lightY, std::int32_t height) {
    const double twice = 2.0 * double(lightY);
    if (!(twice == std::floor(twice)) || !(lightY >= 1.0f) || !(lightY <= float(height))) return {};
    const auto low = std::int32_t(std::floor(lightY)) - 1;
    const auto high = std::int32_t(std::ceil(lightY)) - 1;
    return {low, high, std::max(low, height - 1 - high) + 1};
}

std::array<std::int32_t, 2> RowPairs::Rows(std::int32_t p, std::int32_t height) const {
    const std::int32_t below = low - p >= 0 ? low - p : -1;
    const std::int32_t above = high + p < height && high + p != below ? high + p : -1;
    return below != -1 ? std::array<std::int32_t, 2>{below, above} : std::array<std::int32_t, 2>{above, -1};
}
