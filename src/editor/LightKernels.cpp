#include "editor/LightKernels.h"

#include "common/Failure.h"
#include "common/WorkerPool.h"
#include "editor/LightArray.h"
#include "editor/RowKernels.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <exception>
#include <mutex>
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

void RedrawOneRow(const RowKernels& k, const float* red, const float* green, const float* blue, std::uint32_t* out,
                  float sMax, std::int32_t width) {
    if (sMax == 255.0f) {
        k.redrawAt255(red, green, blue, out, width);
    } else {
        k.redraw(red, green, blue, out, sMax, width);
    }
}

// The weights of one row. When the light sits on a whole or half column, the columns on
// its shorter side take their weights from the mirror columns on the longer side, which
// halves the square roots and divisions.
void FillWeights(const RowKernels& k, float* weights, double lightX, double dy2, double fogFactor,
                 std::int32_t width) {
    const auto compute = [&](std::int32_t first, std::int32_t last) {
        if (first > last) return;
        if (fogFactor == 1.0) {
            k.plainWeights(weights, lightX, dy2, first, last);
        } else {
            k.weights(weights, lightX, dy2, fogFactor, first, last);
        }
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

}  // namespace

float AddNewestLight(const LightArray& from, LightArray& to, const NewLight& newLight, std::int32_t width,
                     RowSpan rows, bool trackMaximum, std::span<std::uint8_t> pixels) {
    RequireArea(from, width, rows);
    RequireArea(to, width, rows);
    const bool redraw = !pixels.empty();
    if (redraw && pixels.size() < std::size_t(width) * std::size_t(std::max(rows.yLast, 0)) * 4) {
        throw Failure::SubscriptOutOfRange();
    }
    if (newLight.fogFactor == 0.0f) throw Failure::DivisionByZero();
    const LightPoint& light = newLight.light;
    const double intensity = double(newLight.intensity);
    const double scale[kChannels] = {intensity * double(light.Red), intensity * double(light.Green),
                                     intensity * double(light.Blue)};
    const bool inPlace = &from == &to;
    const RowKernels& k = ActiveRowKernels();
    std::vector<float> weights(std::size_t(std::max(width, 0)) + 1);
    float maximum = 0.0f;
    int overflow = 0;
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        FillWeights(k, weights.data(), double(light.X), Distance2(y, light.Y), double(newLight.fogFactor), width);
        const Planes row = RowOf(to, y);
        for (int c = 0; c < kChannels; ++c) {
            if (inPlace) {
                k.addLightInPlace(row.channel[c], weights.data(), scale[c], width, &overflow);
            } else {
                k.addLight(from.Row(c + 1, y).data(), row.channel[c], weights.data(), scale[c], width, &overflow);
            }
            if (trackMaximum) maximum = k.maximum(row.channel[c], width, maximum);
        }
        if (overflow != 0) throw Failure::Overflow();
        if (redraw) {
            auto* out = reinterpret_cast<std::uint32_t*>(pixels.data() + std::size_t(y - 1) * std::size_t(width) * 4);
            k.redrawAt255(row.channel[0], row.channel[1], row.channel[2], out, width);
        }
    }
    return maximum;
}

float RebuildFromLights(LightArray& buffer, std::span<const LightPoint> lights, std::int32_t width, RowSpan rows) {
    RequireArea(buffer, width, rows);
    const RowKernels& k = ActiveRowKernels();
    std::vector<float> weights(std::size_t(std::max(width, 0)) + 1);
    float maximum = 0.0f;
    int overflow = 0;
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        const Planes row = RowOf(buffer, y);
        for (int c = 0; c < kChannels; ++c) std::fill(row.channel[c] + 1, row.channel[c] + width + 1, 0.0f);
        for (const LightPoint& light : lights) {
            FillWeights(k, weights.data(), double(light.X), Distance2(y, light.Y), 1.0, width);
            const double colour[kChannels] = {double(light.Red), double(light.Green), double(light.Blue)};
            for (int c = 0; c < kChannels; ++c) k.accumulate(row.channel[c], weights.data(), colour[c], width, &overflow);
        }
        if (overflow != 0) throw Failure::Overflow();
        for (int c = 0; c < kChannels; ++c) maximum = k.maximum(row.channel[c], width, maximum);
    }
    return maximum;
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

void RedrawPixels(const LightArray& buffer, std::span<std::uint8_t> pixels, std::int32_t width, float sMax,
                  RowSpan rows) {
    RequireArea(buffer, width, rows);
    if (width <= 0 || rows.yLast < rows.yFirst) return;
    if (pixels.size() < std::size_t(width) * std::size_t(rows.yLast) * 4) throw Failure::SubscriptOutOfRange();
    if (!(sMax >= 255.0f)) sMax = 255.0f;
    const RowKernels& k = ActiveRowKernels();
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(pixels.data() + std::size_t(y - 1) * std::size_t(width) * 4);
        RedrawOneRow(k, buffer.Row(1, y).data(), buffer.Row(2, y).data(), buffer.Row(3, y).data(), out, sMax, width);
    }
}

void LoadLightsFromPixels(LightArray& buffer, std::span<const std::uint8_t> pixels, std::int32_t width, RowSpan rows) {
    RequireArea(buffer, width, rows);
    if (width <= 0 || rows.yLast < rows.yFirst) return;
    if (pixels.size() < std::size_t(width) * std::size_t(rows.yLast) * 4) throw Failure::SubscriptOutOfRange();
    // Pixel bytes run blue, green, red; the buffer's channels run red, green, blue.
    constexpr int kByteOfChannel[kChannels] = {2, 1, 0};
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        const std::uint8_t* in = pixels.data() + std::size_t(y - 1) * std::size_t(width) * 4;
        for (int c = 0; c < kChannels; ++c) {
            float* row = buffer.Row(c + 1, y).data();
            for (std::int32_t x = 1; x <= width; ++x) row[x] = float(in[std::size_t(x - 1) * 4 + std::size_t(kByteOfChannel[c])]);
        }
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
