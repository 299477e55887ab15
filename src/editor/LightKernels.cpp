#include "editor/LightKernels.h"

#include "common/Failure.h"
#include "editor/LightArray.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <thread>
#include <vector>

// The inner loops are written so that the compiler turns them into vector code; on x86-64
// a second copy is built for processors with AVX2 and chosen when the program starts. IEEE
// arithmetic without fused multiply-add gives the same bits either way.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
#define GLIMMERAGE_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define GLIMMERAGE_KERNEL
#endif

namespace {

constexpr int kChannels = 3;
// From here on a double rounds to an infinite float.
constexpr double kFloatOverflow = 0x1.ffffffp127;
constexpr double kLargestFloat = 0x1.fffffep127;
// Adding and taking away 2^23 rounds a float in 0..2^22 to a whole number, ties to even,
// without a call into the maths library.
constexpr float kRoundingShift = 8388608.0f;
// Below this many pixels a second thread costs more than it saves.
constexpr std::int64_t kPixelsPerThread = 65536;

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

// One channel of one row: the gain is intensity * colour (exact in double) times w. A sum
// too large for a float is held at the largest float and the caller learns of it through
// `overflow`.
GLIMMERAGE_KERNEL void AddLightRow(float* __restrict values, const float* __restrict weights, double scale,
                                   std::int32_t width, int* overflow) {
    int over = 0;
    for (std::int32_t x = 1; x <= width; ++x) {
        const double sum = double(values[x]) + scale * double(weights[x]);
        over |= int(sum >= kFloatOverflow);
        values[x] = static_cast<float>(sum < kLargestFloat ? sum : kLargestFloat);
    }
    *overflow |= over;
}

// The weight of a light at every pixel of a row: 1 / (d / fogFactor + 10) as a float.
GLIMMERAGE_KERNEL void WeightRow(float* __restrict weights, double lightX, double dy2, double fogFactor,
                                 std::int32_t width) {
    for (std::int32_t x = 1; x <= width; ++x) {
        const double dx = double(x) - lightX;
        const double d = std::sqrt(dx * dx + dy2);
        weights[x] = static_cast<float>(1.0 / (d / fogFactor + 10.0));
    }
}

// The same weight without fog: 1 / (d + 10).
GLIMMERAGE_KERNEL void PlainWeightRow(float* __restrict weights, double lightX, double dy2, std::int32_t width) {
    for (std::int32_t x = 1; x <= width; ++x) {
        const double dx = double(x) - lightX;
        weights[x] = static_cast<float>(1.0 / (std::sqrt(dx * dx + dy2) + 10.0));
    }
}

GLIMMERAGE_KERNEL void AccumulateRow(float* __restrict sums, const float* __restrict weights, double colour,
                                     std::int32_t width, int* overflow) {
    int over = 0;
    for (std::int32_t x = 1; x <= width; ++x) {
        const double sum = double(sums[x]) + double(weights[x]) * colour;
        over |= int(sum >= kFloatOverflow);
        sums[x] = static_cast<float>(sum < kLargestFloat ? sum : kLargestFloat);
    }
    *overflow |= over;
}

// The greatest value of a row and m. Eight running maxima side by side let the loop run
// as vector code; the greatest of a set of numbers does not depend on the order.
GLIMMERAGE_KERNEL float MaximumOfRow(const float* __restrict values, std::int32_t width, float m) {
    constexpr int kLanes = 8;
    float lanes[kLanes];
    for (float& lane : lanes) lane = m;
    std::int32_t x = 1;
    for (; x + kLanes - 1 <= width; x += kLanes) {
        for (int i = 0; i < kLanes; ++i) lanes[i] = values[x + i] > lanes[i] ? values[x + i] : lanes[i];
    }
    for (; x <= width; ++x) m = values[x] > m ? values[x] : m;
    for (const float lane : lanes) m = lane > m ? lane : m;
    return m;
}

GLIMMERAGE_KERNEL void RedrawRow(const float* __restrict red, const float* __restrict green,
                                 const float* __restrict blue, std::uint32_t* __restrict out, float sMax,
                                 double reference, std::int32_t width) {
    const auto level = [&](float v) {
        const float scaled = static_cast<float>(double(v) * 255.0 / reference);
        const float shown = v > sMax ? 255.0f : scaled;
        return std::uint32_t((shown + kRoundingShift) - kRoundingShift);
    };
    for (std::int32_t x = 1; x <= width; ++x) {
        const std::uint32_t kept = out[x - 1] & 0xFF000000u;
        out[x - 1] = kept | (level(red[x]) << 16) | (level(green[x]) << 8) | level(blue[x]);
    }
}

double Distance2(std::int32_t y, float lightY) {
    const double dy = double(y) - double(lightY);
    return dy * dy;
}

}  // namespace

float AddNewestLight(LightArray& buffer, LightArray* undo, const LightPoint& light, float intensity,
                     float fogFactor, std::int32_t width, RowSpan rows, std::span<std::uint8_t> pixels) {
    RequireArea(buffer, width, rows);
    if (undo != nullptr) RequireArea(*undo, width, rows);
    const bool redraw = !pixels.empty();
    if (redraw && pixels.size() < std::size_t(width) * std::size_t(std::max(rows.yLast, 0)) * 4) {
        throw Failure::SubscriptOutOfRange();
    }
    if (fogFactor == 0.0f) throw Failure::DivisionByZero();
    const double scale[kChannels] = {double(intensity) * double(light.Red), double(intensity) * double(light.Green),
                                     double(intensity) * double(light.Blue)};
    std::vector<float> weights(std::size_t(width) + 1);
    float maximum = 0.0f;
    int overflow = 0;
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        if (undo != nullptr) {
            for (int c = 1; c <= kChannels; ++c) {
                std::memcpy(undo->Row(c, y).data() + 1, buffer.Row(c, y).data() + 1, std::size_t(width) * sizeof(float));
            }
        }
        WeightRow(weights.data(), double(light.X), Distance2(y, light.Y), double(fogFactor), width);
        const Planes row = RowOf(buffer, y);
        for (int c = 0; c < kChannels; ++c) {
            AddLightRow(row.channel[c], weights.data(), scale[c], width, &overflow);
            maximum = MaximumOfRow(row.channel[c], width, maximum);
        }
        if (overflow != 0) throw Failure::Overflow();
        if (redraw) {
            auto* out = reinterpret_cast<std::uint32_t*>(pixels.data() + std::size_t(y - 1) * std::size_t(width) * 4);
            RedrawRow(row.channel[0], row.channel[1], row.channel[2], out, 255.0f, 255.0, width);
        }
    }
    return maximum;
}

float RebuildFromLights(LightArray& buffer, std::span<const LightPoint> lights, std::int32_t width, RowSpan rows) {
    RequireArea(buffer, width, rows);
    std::vector<float> weights(std::size_t(width) + 1);
    float maximum = 0.0f;
    int overflow = 0;
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        const Planes row = RowOf(buffer, y);
        for (int c = 0; c < kChannels; ++c) std::fill(row.channel[c] + 1, row.channel[c] + width + 1, 0.0f);
        for (const LightPoint& light : lights) {
            PlainWeightRow(weights.data(), double(light.X), Distance2(y, light.Y), width);
            const double colour[kChannels] = {double(light.Red), double(light.Green), double(light.Blue)};
            for (int c = 0; c < kChannels; ++c) AccumulateRow(row.channel[c], weights.data(), colour[c], width, &overflow);
        }
        if (overflow != 0) throw Failure::Overflow();
        for (int c = 0; c < kChannels; ++c) maximum = MaximumOfRow(row.channel[c], width, maximum);
    }
    return maximum;
}

float FindMaximumOf(const LightArray& buffer, std::int32_t width, RowSpan rows) {
    RequireArea(buffer, width, rows);
    float m = 0.0f;
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        for (int c = 1; c <= kChannels; ++c) m = MaximumOfRow(buffer.Row(c, y).data(), width, m);
    }
    return m;
}

void RedrawPixels(const LightArray& buffer, std::span<std::uint8_t> pixels, std::int32_t width, float sMax,
                  RowSpan rows) {
    RequireArea(buffer, width, rows);
    if (width <= 0 || rows.yLast < rows.yFirst) return;
    if (pixels.size() < std::size_t(width) * std::size_t(rows.yLast) * 4) throw Failure::SubscriptOutOfRange();
    if (!(sMax >= 255.0f)) sMax = 255.0f;
    for (std::int32_t y = rows.yFirst; y <= rows.yLast; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(pixels.data() + std::size_t(y - 1) * std::size_t(width) * 4);
        RedrawRow(buffer.Row(1, y).data(), buffer.Row(2, y).data(), buffer.Row(3, y).data(), out, sMax, double(sMax), width);
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

void ForEachRowSpan(std::int32_t width, std::int32_t height, const std::function<void(RowSpan)>& work) {
    if (height < 1) return;
    const std::int64_t pixels = std::int64_t(std::max(width, 0)) * height;
    const int threads = int(std::clamp<std::int64_t>(pixels / kPixelsPerThread, 1,
                                                     std::max(1u, std::thread::hardware_concurrency())));
    if (threads == 1) {
        work({1, height});
        return;
    }
    // Each thread takes one band of rows; a failure in any band is passed on once all stop.
    std::vector<std::thread> helpers;
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(threads));
    const auto band = [&](int t) {
        const std::int32_t first = 1 + std::int32_t(std::int64_t(height) * t / threads);
        const std::int32_t last = std::int32_t(std::int64_t(height) * (t + 1) / threads);
        try {
            work({first, last});
        } catch (...) {
            failures[std::size_t(t)] = std::current_exception();
        }
    };
    for (int t = 1; t < threads; ++t) helpers.emplace_back(band, t);
    band(0);
    for (std::thread& helper : helpers) helper.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}
