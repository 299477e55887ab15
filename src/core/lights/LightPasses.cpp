// The engine's passes over whole pictures: the rows are shared out among the threads, and
// each row goes through the row kernels of the processor's widest instruction set.

#include "core/common/Failure.h"
#include "core/lights/LightEngine.h"
#include "core/lights/RowGeometry.h"
#include "core/lights/RowKernels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>

namespace {

constexpr int kChannels = 3;

// A buffer beyond this size cannot stay in the caches between two passes anyway, so a
// rebuild builds its rows in a row of its own and writes them past the caches in one go.
constexpr std::size_t kStreamedBufferBytes = std::size_t(16) << 20;

struct Planes {
    float* channel[kChannels];
};

Planes RowOf(LightPlanes& planes, std::int32_t y) { return {{planes.Row(0, y), planes.Row(1, y), planes.Row(2, y)}}; }

// The pixels of row y in the picture, and in the copy when there is one.
struct PixelRow {
    std::uint32_t* out;
    std::uint32_t* copy;
};

PixelRow PixelRowOf(const PictureRows& picture, std::int32_t width, std::int32_t y) {
    const std::size_t offset = std::size_t(y) * std::size_t(width) * 4;
    return {reinterpret_cast<std::uint32_t*>(picture.pixels.data() + offset),
            picture.copy != nullptr ? reinterpret_cast<std::uint32_t*>(picture.copy + offset) : nullptr};
}

// Draws row y from its three channels against the reference.
void DrawRow(const RowKernels& k, const float* red, const float* green, const float* blue, const PictureRows& picture,
             float reference, std::int32_t width, std::int32_t y) {
    const PixelRow pixels = PixelRowOf(picture, width, y);
    if (reference == 255.0f) {
        k.redrawAt255(red, green, blue, pixels.out, pixels.copy, width);
    } else {
        k.redraw(red, green, blue, pixels.out, pixels.copy, reference, width);
    }
}

// What a weight of 1 adds to each channel: intensity * colour, exact in double.
std::array<double, kChannels> GainsOf(const NewLight& newLight) {
    const double intensity = double(newLight.intensity);
    const LightPoint& light = newLight.light;
    return {intensity * double(light.Red), intensity * double(light.Green), intensity * double(light.Blue)};
}

std::array<std::int32_t, 2> OneRow(std::int32_t y) { return {y, -1}; }

// The rows a step of a pass covers: a pair of rows around a light, or one row.
struct Steps {
    RowPairs pairs;
    std::int32_t height;

    std::int32_t Count() const { return pairs.count > 0 ? pairs.count : height; }
    std::int64_t PixelsPerStep(std::int32_t width) const { return std::int64_t(width) * (pairs.count > 0 ? 2 : 1); }
    std::array<std::int32_t, 2> Rows(std::int32_t step) const {
        return pairs.count > 0 ? pairs.Rows(step, height) : OneRow(step);
    }
    std::int32_t RowsIn(StepSpan span) const {
        std::int32_t rows = 0;
        for (std::int32_t step = span.first; step <= span.last; ++step) {
            for (const std::int32_t y : Rows(step)) rows += y >= 0;
        }
        return rows;
    }
};

}  // namespace

float LightEngine::AddLightPass(const LightPlanes& from, LightPlanes& to, const NewLight& newLight,
                                const RowRedraw& redraw, std::vector<float>& rowMaxima, const Progress& progress) {
    const std::int32_t width = Width();
    const LightPoint& light = newLight.light;
    const std::array<double, kChannels> scale = GainsOf(newLight);
    const RowKernels& k = ActiveRowKernels();
    // A light on a whole or half row goes through the rows in pairs that share their weights.
    const Steps steps{PairRowsAround(light.Y, Height()), Height()};
    // Sums go straight to the buffer, which keeps them in the caches for the picture (writing
    // them past the caches measured slower here); only a buffer that is also the source needs
    // a row of its own.
    const bool inPlace = &from == &to;
    PrepareScratch();
    const auto addSteps = [&](StepSpan span, int thread) {
        ThreadRows& scratch = ScratchOf(thread);
        double* const weights = scratch.weights.data();
        float maximum = 0.0f;
        int overflow = 0;
        for (std::int32_t step = span.first; step <= span.last; ++step) {
            const std::array<std::int32_t, 2> rows = steps.Rows(step);
            FillWeights(k, weights, double(light.X), RowDistance2(rows[0], light.Y), double(newLight.fogFactor), width);
            for (const std::int32_t y : rows) {
                if (y < 0) continue;
                const Planes target = RowOf(to, y);
                const Planes sums = inPlace ? Planes{{scratch.Channel(0), scratch.Channel(1), scratch.Channel(2)}} : target;
                float rowMaximum = 0.0f;
                if (redraw.Active()) {
                    // One pass adds the light to the three channels and draws the row's
                    // pixels from the sums while they are still in registers.
                    const PixelRow pixels = PixelRowOf(redraw.picture, width, y);
                    const FusedRow row{{from.Row(0, y), from.Row(1, y), from.Row(2, y)},
                                       {sums.channel[0], sums.channel[1], sums.channel[2]},
                                       {scale[0], scale[1], scale[2]},
                                       pixels.out,
                                       pixels.copy};
                    rowMaximum = redraw.reference == 255.0f
                                     ? k.addLightAndRedrawAt255(row, weights, width, &overflow)
                                     : k.addLightAndRedraw(row, weights, redraw.reference, width, &overflow);
                } else {
                    for (int c = 0; c < kChannels; ++c) {
                        rowMaximum = k.addLight(from.Row(c, y), sums.channel[c], weights, scale[c], width, rowMaximum,
                                                &overflow);
                    }
                }
                if (overflow != 0) throw Failure::Overflow();
                if (inPlace) {
                    for (int c = 0; c < kChannels; ++c) k.streamRow(sums.channel[c], target.channel[c], width, 0.0f);
                }
                rowMaxima[std::size_t(y)] = rowMaximum;
                maximum = rowMaximum > maximum ? rowMaximum : maximum;
            }
        }
        k.streamFence();
        return maximum;
    };
    return rows_.Run(steps.PixelsPerStep(width), steps.Count(), addSteps, progress,
                     [&](StepSpan span) { return steps.RowsIn(span); });
}

float LightEngine::RebuildPass(std::span<const LightPoint> lights, const RowRedraw& redraw,
                               std::vector<float>& rowMaxima, const Progress& progress) {
    const std::int32_t width = Width();
    const RowKernels& k = ActiveRowKernels();
    const bool oneLight = lights.size() == 1;
    // Only a single light may have two rows to a step: they share its weights.
    const Steps steps{oneLight ? PairRowsAround(lights[0].Y, Height()) : RowPairs{}, Height()};
    const bool streamed = light_.Count() * sizeof(float) > kStreamedBufferBytes;
    PrepareScratch();
    const auto rebuildSteps = [&](StepSpan span, int thread) {
        ThreadRows& scratch = ScratchOf(thread);
        double* const weights = scratch.weights.data();
        float maximum = 0.0f;
        int overflow = 0;
        for (std::int32_t step = span.first; step <= span.last; ++step) {
            const std::array<std::int32_t, 2> rows = steps.Rows(step);
            if (oneLight) FillWeights(k, weights, double(lights[0].X), RowDistance2(rows[0], lights[0].Y), 1.0, width);
            for (const std::int32_t y : rows) {
                if (y < 0) continue;
                const Planes target = RowOf(light_, y);
                const Planes row = streamed ? Planes{{scratch.Channel(0), scratch.Channel(1), scratch.Channel(2)}} : target;
                // One light gives both rows of a pair the same values: the second takes the
                // first's row as it stands.
                const bool built = oneLight && streamed && y == rows[1] && rows[0] >= 0;
                float rowMaximum = 0.0f;
                if (lights.empty()) {
                    for (int c = 0; c < kChannels; ++c) {
                        std::fill(row.channel[c], row.channel[c] + width, 0.0f);
                        if (streamed) k.streamRow(row.channel[c], target.channel[c], width, 0.0f);
                    }
                }
                for (const LightPoint& light : lights) {
                    if (!oneLight) FillWeights(k, weights, double(light.X), RowDistance2(y, light.Y), 1.0, width);
                    const double colour[kChannels] = {double(light.Red), double(light.Green), double(light.Blue)};
                    const auto add = &light == &lights.front() ? k.placeLight : k.accumulate;
                    // After the last light a channel goes to the buffer while it is still in
                    // the nearest cache.
                    const bool last = &light == &lights.back();
                    for (int c = 0; c < kChannels; ++c) {
                        if (!built) add(row.channel[c], weights, colour[c], width, &overflow);
                        if (!last) continue;
                        if (overflow != 0) throw Failure::Overflow();
                        rowMaximum = streamed ? k.streamRow(row.channel[c], target.channel[c], width, rowMaximum)
                                              : k.maximum(row.channel[c], width, rowMaximum);
                    }
                }
                rowMaxima[std::size_t(y)] = rowMaximum;
                maximum = rowMaximum > maximum ? rowMaximum : maximum;
                if (redraw.Active()) {
                    DrawRow(k, row.channel[0], row.channel[1], row.channel[2], redraw.picture, redraw.reference, width, y);
                }
            }
        }
        k.streamFence();
        return maximum;
    };
    return rows_.Run(steps.PixelsPerStep(width), steps.Count(), rebuildSteps, progress,
                     [&](StepSpan span) { return steps.RowsIn(span); });
}

// The greatest sum AddLightPass will find, worked out before the pass from the old rows'
// maxima: each row's sums are bounded by its old maximum plus the largest gain at its column
// nearest the light, and only rows whose bound beats the best sum found so far are worked
// out. Nothing when the old maxima are not known or a gain could be negative.
std::optional<float> LightEngine::GreatestAfter(const NewLight& newLight) {
    const std::int32_t width = Width();
    const std::int32_t height = Height();
    const LightPoint& light = newLight.light;
    const std::array<double, kChannels> scale = GainsOf(newLight);
    const double largestScale = std::max({scale[0], scale[1], scale[2]});
    // The bounds below hold for gains that cannot be negative.
    if (lightMaxima_.size() != std::size_t(height) || width < 1 || height < 1 ||
        !(std::min({scale[0], scale[1], scale[2]}) >= 0.0) || !(newLight.fogFactor > 0.0f) ||
        !std::isfinite(light.X) || !std::isfinite(light.Y)) {
        return std::nullopt;
    }
    const double fogFactor = double(newLight.fogFactor);
    const RowKernels& k = ActiveRowKernels();
    PrepareScratch();
    ThreadRows& scratch = ScratchOf(0);
    double* const weights = scratch.weights.data();
    // A weight only falls with the distance, so one of the two columns nearest the light has
    // a row's largest; rounding never reverses an order, so no sum of a row can exceed its
    // bound. The light's nearest columns are numbered from 1, as its position is measured.
    const auto nearLeft = std::int32_t(std::clamp(std::floor(double(light.X)), 1.0, double(width))) - 1;
    const auto nearRight = std::int32_t(std::clamp(std::ceil(double(light.X)), 1.0, double(width))) - 1;
    std::vector<std::pair<float, std::int32_t>> bounds;
    bounds.reserve(std::size_t(height));
    for (std::int32_t y = 0; y < height; ++y) {
        ComputeWeights(k, weights, double(light.X), RowDistance2(y, light.Y), fogFactor, nearLeft, nearRight);
        const double nearest = std::max(weights[std::size_t(nearLeft)], weights[std::size_t(nearRight)]);
        bounds.emplace_back(static_cast<float>(double(lightMaxima_[std::size_t(y)]) + largestScale * nearest), y);
    }
    std::sort(bounds.begin(), bounds.end(), std::greater<>());
    // Rows are worked out, most promising first, until no row left could hold more.
    float greatest = 0.0f;
    int overflow = 0;
    for (const auto& [bound, y] : bounds) {
        if (greatest >= bound) break;
        FillWeights(k, weights, double(light.X), RowDistance2(y, light.Y), fogFactor, width);
        for (int c = 0; c < kChannels; ++c) {
            greatest = k.addLight(light_.Row(c, y), scratch.Channel(c), weights, scale[c], width, greatest, &overflow);
        }
    }
    return greatest;
}

void LightEngine::RedrawPass(const RowRedraw& redraw) {
    if (!redraw.Active()) return;
    const std::int32_t width = Width();
    const RowKernels& k = ActiveRowKernels();
    rows_.Run(width, Height(), [&](StepSpan span, int) {
        for (std::int32_t y = span.first; y <= span.last; ++y) {
            DrawRow(k, light_.Row(0, y), light_.Row(1, y), light_.Row(2, y), redraw.picture, redraw.reference, width, y);
        }
        k.streamFence();
        return 0.0f;
    });
}

float LightEngine::MaximumPass() {
    const std::int32_t width = Width();
    const RowKernels& k = ActiveRowKernels();
    return rows_.Run(width, Height(), [&](StepSpan span, int) {
        float m = 0.0f;
        for (std::int32_t y = span.first; y <= span.last; ++y) {
            for (int c = 0; c < kChannels; ++c) m = k.maximum(light_.Row(c, y), width, m);
        }
        return m;
    });
}

void LightEngine::LoadPass(std::span<const std::uint8_t> pixels, std::vector<float>& rowMaxima) {
    rows_.Run(Width(), Height(), [&](StepSpan span, int) {
        for (std::int32_t y = span.first; y <= span.last; ++y) {
            rowMaxima[std::size_t(y)] = light_.SplitPictureRow(pixels.data(), y);
        }
        return 0.0f;
    });
}

void LightEngine::CopyPass(const LightPlanes& from, LightPlanes& to) {
    const std::size_t rowBytes = std::size_t(Width()) * sizeof(float);
    rows_.Run(Width(), Height(), [&](StepSpan span, int) {
        for (std::int32_t y = span.first; y <= span.last; ++y) {
            for (int c = 0; c < kChannels; ++c) std::memcpy(to.Row(c, y), from.Row(c, y), rowBytes);
        }
        return 0.0f;
    });
}
