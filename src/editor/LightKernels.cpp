#include "editor/LightKernels.h"

#include "common/Failure.h"
#include "editor/LightArray.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kChannels = 3;
// From here on a double rounds to an infinite float.
constexpr double kFloatOverflow = 0x1.ffffffp127;
// Adding and taking away 2^23 rounds a float in 0..2^22 to a whole number, ties to even,
// without a call into the maths library.
constexpr float kRoundingShift = 8388608.0f;

void RequireArea(const LightArray& buffer, std::int32_t xLast, std::int32_t height) {
    if (xLast > buffer.UpperX() || height > buffer.UpperY()) throw Failure::SubscriptOutOfRange();
}

float StoredSum(double sum) {
    if (sum >= kFloatOverflow) throw Failure::Overflow();
    return static_cast<float>(sum);
}

double Distance(std::int32_t x, std::int32_t y, const LightPoint& light) {
    const double dx = double(x) - double(light.X);
    const double dy = double(y) - double(light.Y);
    return std::sqrt(dx * dx + dy * dy);
}

void TrackMaximum(float value, float* maxValue) {
    if (maxValue != nullptr && value > *maxValue) *maxValue = value;
}

}  // namespace

void AddNewestLight(LightArray& buffer, const LightPoint& light, float intensity, float fogFactor,
                    std::int32_t xFirst, std::int32_t xLast, std::int32_t height, float* maxValue) {
    RequireArea(buffer, xLast, height);
    if (fogFactor == 0.0f) throw Failure::DivisionByZero();
    const double colour[kChannels] = {double(light.Red), double(light.Green), double(light.Blue)};
    for (std::int32_t y = 1; y <= height; ++y) {
        float* rows[kChannels] = {buffer.Row(1, y).data(), buffer.Row(2, y).data(), buffer.Row(3, y).data()};
        for (std::int32_t x = xFirst; x <= xLast; ++x) {
            const double d = Distance(x, y, light);
            const float w = static_cast<float>(1.0 / (d / double(fogFactor) + 10.0));
            for (int c = 0; c < kChannels; ++c) {
                const double gain = double(intensity) * colour[c] * double(w);
                rows[c][x] = StoredSum(double(rows[c][x]) + gain);
                TrackMaximum(rows[c][x], maxValue);
            }
        }
    }
}

void RebuildFromLights(LightArray& buffer, std::span<const LightPoint> lights, std::int32_t xFirst,
                       std::int32_t xLast, std::int32_t height, float* maxValue) {
    RequireArea(buffer, xLast, height);
    for (std::int32_t y = 1; y <= height; ++y) {
        float* rows[kChannels] = {buffer.Row(1, y).data(), buffer.Row(2, y).data(), buffer.Row(3, y).data()};
        for (std::int32_t x = xFirst; x <= xLast; ++x) {
            float sums[kChannels] = {0.0f, 0.0f, 0.0f};
            for (const LightPoint& light : lights) {
                const float w = static_cast<float>(1.0 / (Distance(x, y, light) + 10.0));
                const double colour[kChannels] = {double(light.Red), double(light.Green), double(light.Blue)};
                for (int c = 0; c < kChannels; ++c) sums[c] = StoredSum(double(sums[c]) + double(w) * colour[c]);
            }
            for (int c = 0; c < kChannels; ++c) {
                rows[c][x] = sums[c];
                TrackMaximum(sums[c], maxValue);
            }
        }
    }
}

float FindMaximumOf(const LightArray& buffer, std::int32_t width, std::int32_t height) {
    RequireArea(buffer, width, height);
    float m = 0.0f;
    for (int c = 1; c <= kChannels; ++c) {
        for (std::int32_t y = 1; y <= height; ++y) {
            const float* row = buffer.Row(c, y).data();
            for (std::int32_t x = 1; x <= width; ++x) m = row[x] > m ? row[x] : m;
        }
    }
    return m;
}

void RedrawPixels(const LightArray& buffer, std::span<std::uint8_t> pixels, std::int32_t width,
                  std::int32_t height, float sMax) {
    RequireArea(buffer, width, height);
    if (width <= 0 || height <= 0) return;
    if (pixels.size() < std::size_t(width) * std::size_t(height) * 4) throw Failure::SubscriptOutOfRange();
    if (!(sMax >= 255.0f)) sMax = 255.0f;
    const double reference = double(sMax);
    // Pixel bytes run blue, green, red; the buffer's channels run red, green, blue.
    constexpr int kByteOfChannel[kChannels] = {2, 1, 0};
    for (std::int32_t y = 1; y <= height; ++y) {
        std::uint8_t* out = pixels.data() + std::size_t(y - 1) * std::size_t(width) * 4;
        for (int c = 0; c < kChannels; ++c) {
            const float* row = buffer.Row(c + 1, y).data();
            for (std::int32_t x = 1; x <= width; ++x) {
                const float v = row[x];
                const float scaled = static_cast<float>(double(v) * 255.0 / reference);
                const float shown = v > sMax ? 255.0f : scaled;
                const float whole = (shown + kRoundingShift) - kRoundingShift;
                out[std::size_t(x - 1) * 4 + std::size_t(kByteOfChannel[c])] = static_cast<std::uint8_t>(whole);
            }
        }
    }
}

void LoadLightsFromPixels(LightArray& buffer, std::span<const std::uint8_t> pixels, std::int32_t width,
                          std::int32_t height) {
    RequireArea(buffer, width, height);
    if (width <= 0 || height <= 0) return;
    if (pixels.size() < std::size_t(width) * std::size_t(height) * 4) throw Failure::SubscriptOutOfRange();
    constexpr int kByteOfChannel[kChannels] = {2, 1, 0};
    for (int c = 0; c < kChannels; ++c) {
        for (std::int32_t y = 1; y <= height; ++y) {
            const std::uint8_t* in = pixels.data() + std::size_t(y - 1) * std::size_t(width) * 4;
            float* row = buffer.Row(c + 1, y).data();
            for (std::int32_t x = 1; x <= width; ++x) row[x] = float(in[std::size_t(x - 1) * 4 + std::size_t(kByteOfChannel[c])]);
        }
    }
}

void CopyLightBuffer(const LightArray& from, LightArray& to, std::int32_t width, std::int32_t height) {
    RequireArea(from, width, height);
    RequireArea(to, width, height);
    for (int c = 1; c <= kChannels; ++c) {
        for (std::int32_t y = 1; y <= height; ++y) {
            std::memcpy(to.Row(c, y).data() + 1, from.Row(c, y).data() + 1, std::size_t(width) * sizeof(float));
        }
    }
}
