#include "editor/LightKernels.h"

#include "common/Failure.h"
#include "common/WorkerPool.h"
#include "editor/LightArray.h"
#include "editor/RowKernels.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <exception>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace {

constexpr int kChannels = 3;
// Below this many pixels a second thread costs more than it saves.
constexpr std::int64_t kPixelsPerThread = 65536;
// Rows are handed out in chunks of about this many pixels: small enough that both cores
// finish together and the progress strip moves often, large enough to stream.
constexpr std::int64_t kPixelsPerChunk = 32768;

void RequireArea(const LightArray& buffer, std::int32_t width, RowSpan rows) {
    if (width > buffer.UpperX() || rows.yLast > buffer.UpperY() || (rows.yFirst < 1 && rows.yFirst <= rows.yLast)) {
        throw Failure::SubscriptOutOfRange();
    }
}

struct Planes {
    float* channel[kChannels];
};

Planes RowOf(LightArray& buffer, std::int32_t y) {
    return {{buffer.Row(1, y).data(), buffer.Row(2, y).data(), buffer.Row(3, y).data()}};
}

// A buffer beyond this size cannot stay in the caches between two passes anyway, so its rows
// are built in a small row of their own and written past the caches in one go.
constexpr std::size_t kStreamedBufferBytes = std::size_t(16) << 20;

bool WorthStreaming(const LightArray& buffer) { return buffer.Values().size() * sizeof(float) > kStreamedBufferBytes; }

// A row's weights, and a row of the three channels where a row is built before it goes to
// the buffer. Each thread keeps its own for all its passes: allocating and zeroing them for
// every chunk of rows took a noticeable share of a rebuild.
struct RowWork {
    double* weights;
    Planes scratch;
};

RowWork ThreadRowWork(std::int32_t width) {
    thread_local std::vector<double> weights;
    thread_local std::vector<float> values;
    const std::size_t row = std::size_t(std::max(width, 0)) + 1;
    if (weights.size() < row) weights.resize(row);
    if (values.size() < row * kChannels) values.resize(row * kChannels);
    float* v = values.data();
    return {weights.data(), {{v, v + row, v + 2 * row}}};
}

// Streams a built row to the buffer.
void StoreRow(const RowKernels& k, const Planes& built, const Planes& target, std::int32_t width) {
    for (int c = 0; c < kChannels; ++c) k.streamRow(built.channel[c], target.channel[c], width, 0.0f);
}

void RequirePixels(const RedrawTarget& redraw, std::int32_t width, RowSpan rows) {
    if (!redraw.pixels.empty() && redraw.pixels.size() < std::size_t(width) * std::size_t(std::max(rows.yLast, 0)) * 4) {
        throw Failure::SubscriptOutOfRange();
    }
}

// The pixels of row y in the picture, and in the copy when there is one.
struct PixelRow {
    std::uint32_t* out;
    std::uint32_t* copy;
};

PixelRow PixelRowOf(const RedrawTarget& redraw, std::int32_t width, std::int32_t y) {
    const std::size_t offset = std::size_t(y - 1) * std::size_t(width) * 4;
    return {reinterpret_cast<std::uint32_t*>(redraw.pixels.data() + offset),
            redraw.copy != nullptr ? reinterpret_cast<std::uint32_t*>(redraw.copy + offset) : nullptr};
}

// Redraws row y from the three channels against the target's reference and hands the
// finished row on to the copy.
void RedrawRow(const RowKernels& k, const float* red, const float* green, const float* blue, const RedrawTarget& redraw,
               std::int32_t width, std::int32_t y) {
    const PixelRow pixels = PixelRowOf(redraw, width, y);
    if (redraw.reference == 255.0f) {
        k.redrawAt255(red, green, blue, pixels.out, pixels.copy, width);
    } else {
        k.redraw(red, green, blue, pixels.out, pixels.copy, redraw.reference, width);
    }
}

// Adds the newest light to the three channels of row y, writing the sums to `to`, and redraws
// the row from them in the same pass. Returns the row's greatest sum.
float AddLightAndRedrawRow(const RowKernels& k, const LightArray& from, const Planes& to,
                           const std::array<double, 3>& scale, const double* weights, const RedrawTarget& redraw,
                           std::int32_t width, std::int32_t y, int* overflow) {
    const PixelRow pixels = PixelRowOf(redraw, width, y);
    const FusedRow row{{from.Row(1, y).data(), from.Row(2, y).data(), from.Row(3, y).data()},
                       {to.channel[0], to.channel[1], to.channel[2]},
                       {scale[0], scale[1], scale[2]},
                       pixels.out,
                       pixels.copy};
    if (redraw.reference == 255.0f) return k.addLightAndRedrawAt255(row, weights, width, overflow);
    return k.addLightAndRedraw(row, weights, redraw.reference, width, overflow);
}

// The weights of the columns first..last of a row. A fog factor of exactly 1 divides by
// nothing, which gives the same bits without the division.
void ComputeWeights(const RowKernels& k, double* weights, double lightX, double dy2, double fogFactor,
                    std::int32_t first, std::int32_t last) {
    if (first > last) return;
    if (fogFactor == 1.0) {
        k.plainWeights(weights, lightX, dy2, first, last);
    } else {
        k.weights(weights, lightX, dy2, fogFactor, first, last);
    }
}

// The weights of one row. When the light sits on a whole or half column, the columns on
// its shorter side take their weights from the mirror columns on the longer side, which
// halves the square roots and divisions.
void FillWeights(const RowKernels& k, double* weights, double lightX, double dy2, double fogFactor,
                 std::int32_t width) {
    const auto compute = [&](std::int32_t first, std::int32_t last) {
        ComputeWeights(k, weights, lightX, dy2, fogFactor, first, last);
    };
    const double twice = 2.0 * lightX;
    const bool mirrored = twice == std::floor(twice) && lightX > 1.0 && lightX < double(width);
    if (!mirrored) {
        compute(1, width);
        return;
    }
    const auto twiceX = std::int32_t(twice);
    const auto firstRight = std::int32_t(std::ceil(lightX));  // the columns at or right of the light
    if (width - firstRight + 1 >= firstRight - 1) {
        compute(firstRight, width);
        const std::int32_t firstMirrored = std::max(1, twiceX - width);
        compute(1, firstMirrored - 1);
        k.mirror(weights, twiceX, firstMirrored, firstRight - 1);
    } else {
        const std::int32_t lastLeft = firstRight - 1;
        compute(1, lastLeft);
        // A light on a whole column has no mirror for its own column.
        const std::int32_t firstMirrored = twiceX - lastLeft;
        compute(firstRight, firstMirrored - 1);
        k.mirror(weights, twiceX, firstMirrored, std::min(width, twiceX - 1));
        compute(twiceX, width);
    }
}

double Distance2(std::int32_t y, float lightY) {
    const double dy = double(y) - double(lightY);
    return dy * dy;
}

// What a weight of 1 adds to each channel: intensity * colour, exact in double.
std::array<double, kChannels> GainsOf(const NewLight& newLight) {
    const double intensity = double(newLight.intensity);
    const LightPoint& light = newLight.light;
    return {intensity * double(light.Red), intensity * double(light.Green), intensity * double(light.Blue)};
}

// Adds the newest light to the rows of the steps in `steps`: rowsOf(step) names the one or
// two rows (0 for none) that share that step's weights.
template <typename RowsOf>
float AddNewestLightTo(const LightArray& from, LightArray& to, const NewLight& newLight, std::int32_t width,
                       RowSpan steps, float* rowMaxima, const RedrawTarget& redraw, RowsOf rowsOf) {
    if (newLight.fogFactor == 0.0f) throw Failure::DivisionByZero();
    const LightPoint& light = newLight.light;
    const std::array<double, kChannels> scale = GainsOf(newLight);
    const RowKernels& k = ActiveRowKernels();
    // Sums go straight to the buffer, which keeps them in the caches for the redraw (streaming
    // them past the caches measured slower here); only a buffer that is also the source
    // needs a row of its own.
    const bool inPlace = &from == &to;
    const RowWork work = ThreadRowWork(width);
    double* const weights = work.weights;
    float maximum = 0.0f;
    int overflow = 0;
    for (std::int32_t step = steps.yFirst; step <= steps.yLast; ++step) {
        const std::array<std::int32_t, 2> rows = rowsOf(step);
        FillWeights(k, weights, double(light.X), Distance2(rows[0], light.Y), double(newLight.fogFactor), width);
        for (const std::int32_t y : rows) {
            if (y == 0) continue;
            const Planes target = RowOf(to, y);
            const Planes row = inPlace ? work.scratch : target;
            const bool redrawn = !redraw.pixels.empty();
            float rowMaximum = 0.0f;
            if (redrawn) {
                rowMaximum = AddLightAndRedrawRow(k, from, row, scale, weights, redraw, width, y, &overflow);
            } else {
                for (int c = 0; c < kChannels; ++c) {
                    rowMaximum = k.addLight(from.Row(c + 1, y).data(), row.channel[c], weights, scale[c], width,
                                            rowMaximum, &overflow);
                }
            }
            if (overflow != 0) throw Failure::Overflow();
            if (inPlace) StoreRow(k, row, target, width);
            if (rowMaxima != nullptr) rowMaxima[y] = rowMaximum;
            maximum = rowMaximum > maximum ? rowMaximum : maximum;
        }
    }
    return maximum;
}

void RequirePairs(const RowPairs& pairs, RowSpan pairNumbers) {
    if (pairs.count < 1 || pairNumbers.yFirst < 1 || pairNumbers.yLast > pairs.count) throw Failure::SubscriptOutOfRange();
}

// Rows Low - d and High + d lie equally far from the light; 0 marks one outside the picture.
auto RowsOfPair(const RowPairs& pairs, std::int32_t height) {
    return [pairs, height](std::int32_t pair) {
        const std::int32_t d = pair - 1;
        const std::int32_t below = pairs.low - d >= 1 ? pairs.low - d : 0;
        const std::int32_t above = pairs.high + d <= height && pairs.high + d != below ? pairs.high + d : 0;
        return below != 0 ? std::array<std::int32_t, 2>{below, above} : std::array<std::int32_t, 2>{above, 0};
    };
}

std::array<std::int32_t, 2> OneRow(std::int32_t y) { return {y, 0}; }

// Rebuilds the rows of the steps in `steps` (see AddNewestLightTo). Only a single light
// may have two rows to a step: they share its weights.
template <typename RowsOf>
float RebuildSteps(LightArray& buffer, std::span<const LightPoint> lights, std::int32_t width, RowSpan steps,
                   float* rowMaxima, const RedrawTarget& redraw, RowsOf rowsOf) {
    const RowKernels& k = ActiveRowKernels();
    const bool streamed = WorthStreaming(buffer);
    const RowWork work = ThreadRowWork(width);
    double* const weights = work.weights;
    const bool oneLight = lights.size() == 1;
    float maximum = 0.0f;
    int overflow = 0;
    for (std::int32_t step = steps.yFirst; step <= steps.yLast; ++step) {
        const std::array<std::int32_t, 2> rows = rowsOf(step);
        if (oneLight) FillWeights(k, weights, double(lights[0].X), Distance2(rows[0], lights[0].Y), 1.0, width);
        for (const std::int32_t y : rows) {
            if (y == 0) continue;
            const Planes target = RowOf(buffer, y);
            const Planes row = streamed ? work.scratch : target;
            // One light gives both rows of a pair the same values: the second takes the
            // first's row as it stands.
            const bool built = oneLight && streamed && y == rows[1] && rows[0] != 0;
            float rowMaximum = 0.0f;
            if (lights.empty()) {
                for (int c = 0; c < kChannels; ++c) {
                    std::fill(row.channel[c] + 1, row.channel[c] + width + 1, 0.0f);
                    if (streamed) k.streamRow(row.channel[c], target.channel[c], width, 0.0f);
                }
            }
            for (const LightPoint& light : lights) {
                if (!oneLight) FillWeights(k, weights, double(light.X), Distance2(y, light.Y), 1.0, width);
                const double colour[kChannels] = {double(light.Red), double(light.Green), double(light.Blue)};
                const auto add = &light == &lights.front() ? k.placeLight : k.accumulate;
                // After the last light a channel goes to the buffer while it is still in the
                // nearest cache.
                const bool last = &light == &lights.back();
                for (int c = 0; c < kChannels; ++c) {
                    if (!built) add(row.channel[c], weights, colour[c], width, &overflow);
                    if (!last) continue;
                    if (overflow != 0) throw Failure::Overflow();
                    rowMaximum = streamed ? k.streamRow(row.channel[c], target.channel[c], width, rowMaximum)
                                          : k.maximum(row.channel[c], width, rowMaximum);
                }
            }
            if (rowMaxima != nullptr) rowMaxima[y] = rowMaximum;
            maximum = rowMaximum > maximum ? rowMaximum : maximum;
            if (!redraw.pixels.empty()) {
                RedrawRow(k, row.channel[0], row.channel[1], row.channel[2], redraw, width, y);
            }
        }
    }
    k.streamFence();
    return maximum;
}

}  // namespace

float AddNewestLight(const LightArray& from, LightArray& to, const NewLight& newLight, std::int32_t width,
                     RowSpan rows, float* rowMaxima, const RedrawTarget& redraw) {
    RequireArea(from, width, rows);
    RequireArea(to, width, rows);
    RequirePixels(redraw, width, rows);
    return AddNewestLightTo(from, to, newLight, width, rows, rowMaxima, redraw, OneRow);
}

RowPairs PairRowsAround(float lightY, std::int32_t height) {
    const double twice = 2.0 * double(lightY);
    if (!(twice == std::floor(twice)) || !(lightY >= 1.0f) || !(lightY <= float(height))) return {};
    const auto low = std::int32_t(std::floor(lightY));
    const auto high = std::int32_t(std::ceil(lightY));
    return {low, high, std::max(low - 1, height - high) + 1};
}

float AddNewestLightInPairs(const LightArray& from, LightArray& to, const NewLight& newLight, std::int32_t width,
                            std::int32_t height, const RowPairs& pairs, RowSpan pairNumbers, float* rowMaxima,
                            const RedrawTarget& redraw) {
    RequirePairs(pairs, pairNumbers);
    const RowSpan touched{1, height};
    RequireArea(from, width, touched);
    RequireArea(to, width, touched);
    RequirePixels(redraw, width, touched);
    return AddNewestLightTo(from, to, newLight, width, pairNumbers, rowMaxima, redraw, RowsOfPair(pairs, height));
}

std::optional<float> GreatestAfterNewestLight(const LightArray& from, const NewLight& newLight, std::int32_t width,
                                              std::int32_t height) {
    RequireArea(from, width, {1, height});
    const std::span<const float> oldMaxima = from.RowMaxima(width);
    const LightPoint& light = newLight.light;
    const std::array<double, kChannels> scale = GainsOf(newLight);
    const double largestScale = std::max({scale[0], scale[1], scale[2]});
    // The bounds below hold for gains that cannot be negative.
    if (oldMaxima.empty() || width < 1 || height < 1 || !(std::min({scale[0], scale[1], scale[2]}) >= 0.0) ||
        !(newLight.fogFactor > 0.0f) || !std::isfinite(light.X) || !std::isfinite(light.Y)) {
        return std::nullopt;
    }
    const double fogFactor = double(newLight.fogFactor);
    const RowKernels& k = ActiveRowKernels();
    const RowWork work = ThreadRowWork(width);
    double* const weights = work.weights;
    // A weight only falls with the distance, so one of the two columns nearest the light has
    // a row's largest; rounding never reverses an order, so no sum of a row can exceed its
    // bound.
    const auto nearLeft = std::int32_t(std::clamp(std::floor(double(light.X)), 1.0, double(width)));
    const auto nearRight = std::int32_t(std::clamp(std::ceil(double(light.X)), 1.0, double(width)));
    std::vector<std::pair<float, std::int32_t>> bounds;
    bounds.reserve(std::size_t(height));
    for (std::int32_t y = 1; y <= height; ++y) {
        ComputeWeights(k, weights, double(light.X), Distance2(y, light.Y), fogFactor, nearLeft, nearRight);
        const double nearest = std::max(weights[std::size_t(nearLeft)], weights[std::size_t(nearRight)]);
        bounds.emplace_back(static_cast<float>(double(oldMaxima[std::size_t(y)]) + largestScale * nearest), y);
    }
    std::sort(bounds.begin(), bounds.end(), std::greater<>());
    // Rows are worked out, most promising first, until no row left could hold more.
    const Planes row = work.scratch;
    float greatest = 0.0f;
    int overflow = 0;
    for (const auto& [bound, y] : bounds) {
        if (greatest >= bound) break;
        FillWeights(k, weights, double(light.X), Distance2(y, light.Y), fogFactor, width);
        for (int c = 0; c < kChannels; ++c) {
            greatest = k.addLight(from.Row(c + 1, y).data(), row.channel[c], weights, scale[c], width, greatest,
                                  &overflow);
        }
    }
    return greatest;
}

float RebuildFromLights(LightArray& buffer, std::span<const LightPoint> lights, std::int32_t width, RowSpan rows,
                        float* rowMaxima, const RedrawTarget& redraw) {
    RequireArea(buffer, width, rows);
    RequirePixels(redraw, width, rows);
    return RebuildSteps(buffer, lights, width, rows, rowMaxima, redraw, OneRow);
}

float RebuildFromOneLightInPairs(LightArray& buffer, const LightPoint& light, std::int32_t width, std::int32_t height,
                                 const RowPairs& pairs, RowSpan pairNumbers, float* rowMaxima,
                                 const RedrawTarget& redraw) {
    RequirePairs(pairs, pairNumbers);
    const RowSpan touched{1, height};
    RequireArea(buffer, width, touched);
    RequirePixels(redraw, width, touched);
    return RebuildSteps(buffer, std::span(&light, 1), width, pairNumbers, rowMaxima, redraw, RowsOfPair(pairs, height));
}

float FindMaximumOf(const LightArray& buffer, std::int32_t width, RowSpan rows) {
    RequireArea(buffer, width, rows);
    const RowKernels& k = ActiveRowKernels();
    float m = 0.0f;
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        for (int c = 1; c <= kChannels; ++c) m = k.maximum(buffer.Row(c, y).data(), width, m);
    }
    return m;
}

void RedrawPixels(const LightArray& buffer, const RedrawTarget& redraw, std::int32_t width, RowSpan rows) {
    RequireArea(buffer, width, rows);
    if (width <= 0 || rows.yLast < rows.yFirst) return;
    if (redraw.pixels.size() < std::size_t(width) * std::size_t(rows.yLast) * 4) throw Failure::SubscriptOutOfRange();
    RedrawTarget against = redraw;
    if (!(against.reference >= 255.0f)) against.reference = 255.0f;
    const RowKernels& k = ActiveRowKernels();
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        RedrawRow(k, buffer.Row(1, y).data(), buffer.Row(2, y).data(), buffer.Row(3, y).data(), against, width, y);
    }
}

void LoadLightsFromPixels(LightArray& buffer, std::span<const std::uint8_t> pixels, std::int32_t width, RowSpan rows,
                          float* rowMaxima) {
    RequireArea(buffer, width, rows);
    if (width <= 0 || rows.yLast < rows.yFirst) return;
    if (pixels.size() < std::size_t(width) * std::size_t(rows.yLast) * 4) throw Failure::SubscriptOutOfRange();
    // Pixel bytes run blue, green, red; the buffer's channels run red, green, blue.
    constexpr int kByteOfChannel[kChannels] = {2, 1, 0};
    const RowKernels& k = ActiveRowKernels();
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        const std::uint8_t* in = pixels.data() + std::size_t(y - 1) * std::size_t(width) * 4;
        float rowMaximum = 0.0f;
        for (int c = 0; c < kChannels; ++c) {
            float* row = buffer.Row(c + 1, y).data();
            for (std::int32_t x = 1; x <= width; ++x) row[x] = float(in[std::size_t(x - 1) * 4 + std::size_t(kByteOfChannel[c])]);
            rowMaximum = k.maximum(row, width, rowMaximum);
        }
        if (rowMaxima != nullptr) rowMaxima[y] = rowMaximum;
    }
}

void CopyLightBuffer(const LightArray& from, LightArray& to, std::int32_t width, RowSpan rows) {
    RequireArea(from, width, rows);
    RequireArea(to, width, rows);
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        for (int c = 1; c <= kChannels; ++c) {
            std::memcpy(to.Row(c, y).data() + 1, from.Row(c, y).data() + 1, std::size_t(width) * sizeof(float));
        }
    }
}

namespace {

std::atomic<int> rowThreadLimit{0};

}  // namespace

void SetRowThreadLimit(int threads) { rowThreadLimit = std::max(threads, 0); }

float OverRowsInParallel(std::int32_t width, std::int32_t height, const std::function<float(RowSpan)>& work,
                         const std::function<void(std::int32_t rowsDone)>& progress) {
    if (height < 1) return 0.0f;
    const std::int64_t pixels = std::int64_t(std::max(width, 0)) * height;
    WorkerPool& pool = WorkerPool::Shared();
    const int limit = rowThreadLimit.load() > 0 ? rowThreadLimit.load() : pool.Threads();
    const int threads = int(std::clamp<std::int64_t>(pixels / kPixelsPerThread, 1, limit));
    const std::int32_t chunkRows =
        threads == 1 && !progress ? height
                                  : std::clamp<std::int32_t>(std::int32_t(kPixelsPerChunk / std::max(width, 1)), 1, height);
    const std::int32_t chunks = (height + chunkRows - 1) / chunkRows;

    std::atomic<std::int32_t> next{0};
    std::atomic<std::int32_t> rowsDone{0};
    std::atomic<bool> failed{false};
    std::mutex lock;
    float maximum = 0.0f;
    std::exception_ptr failure;
    pool.Run(threads, [&](int thread) {
        float found = 0.0f;
        try {
            for (std::int32_t chunk = next++; chunk < chunks && !failed; chunk = next++) {
                const std::int32_t first = 1 + chunk * chunkRows;
                const std::int32_t last = std::min(height, first + chunkRows - 1);
                const float m = work({first, last});
                found = m > found ? m : found;
                const std::int32_t done = rowsDone += last - first + 1;
                if (thread == 0 && progress) progress(done);
            }
        } catch (...) {
            const std::lock_guard<std::mutex> guard(lock);
            if (!failure) failure = std::current_exception();
            failed = true;
        }
        const std::lock_guard<std::mutex> guard(lock);
        maximum = found > maximum ? found : maximum;
    });
    if (failure) std::rethrow_exception(failure);
    if (progress) progress(height);
    return maximum;
}
