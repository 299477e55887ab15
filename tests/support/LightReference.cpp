#include "support/LightReference.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

std::int32_t RoundHalfEven(double v) { return std::int32_t(std::nearbyint(v)); }

float ReadSingle(const QString& text) { return float(std::strtod(text.trimmed().toLatin1().constData(), nullptr)); }

}  // namespace

ReferenceDrawing::ReferenceDrawing(int w, int h)
    : width(w),
      height(h),
      lightBuffer(std::size_t(w + 1) * std::size_t(h + 1) * 4, 0.0f),
      undoBuffer(lightBuffer),
      pixels(std::size_t(w) * std::size_t(h) * 4, 0) {}

float& ReferenceDrawing::Light(std::vector<float>& buffer, int x, int y, int c) {
    return buffer.at((std::size_t(x) * std::size_t(height + 1) + std::size_t(y)) * 4 + std::size_t(c));
}

void ReferenceDrawing::Click(float X, float Y, int red, int green, int blue, const QString& intensity,
                             const QString& fog, bool autoExposure) {
    // AddPoint
    lightsCount = lightsCount + 1;
    lights.resize(std::size_t(lightsCount) + 1);
    lights[std::size_t(lightsCount)] = LightPoint{X, Y, red, green, blue};
    // CreateUndo
    for (int x = 1; x <= width; ++x)
        for (int y = 1; y <= height; ++y)
            for (int c = 1; c <= 3; ++c) Light(undoBuffer, x, y, c) = Light(lightBuffer, x, y, c);
    Render(true, intensity, fog, autoExposure);
}

void ReferenceDrawing::Render(bool justAddLastPoint, const QString& intensityText, const QString& fogText,
                              bool autoExposure) {
    const float sIntensity = ReadSingle(intensityText);
    const float sFog = ReadSingle(fogText);
    const float FogFactor = (sFog + 1.0f) / 11.0f;
    float MaxValue = 0.0f;
    for (int x = 1; x <= width; ++x) {
        for (int y = 1; y <= height; ++y) {
            if (!justAddLastPoint) {
                for (int c = 1; c <= 3; ++c) At(x, y, c) = 0.0f;
                for (int k = 1; k <= lightsCount; ++k) {
                    const LightPoint& L = lights[std::size_t(k)];
                    const int colour[4] = {0, L.Red, L.Green, L.Blue};
                    const double dx = double(x) - L.X, dy = double(y) - L.Y, d = std::sqrt(dx * dx + dy * dy);
                    const float w = float(1.0 / (d + 10.0));
                    for (int c = 1; c <= 3; ++c)
                        At(x, y, c) = float(double(At(x, y, c)) + double(w) * double(colour[c]));
                }
            } else {
                const LightPoint& L = lights[std::size_t(lightsCount)];
                const int colour[4] = {0, L.Red, L.Green, L.Blue};
                const double dx = double(x) - L.X, dy = double(y) - L.Y, d = std::sqrt(dx * dx + dy * dy);
                const float w = float(1.0 / (d / double(FogFactor) + 10.0));
                for (int c = 1; c <= 3; ++c)
                    At(x, y, c) = float(double(At(x, y, c)) + double(sIntensity) * double(colour[c]) * double(w));
            }
            if (autoExposure) {
                for (int c = 1; c <= 3; ++c)
                    if (At(x, y, c) > MaxValue) MaxValue = At(x, y, c);
            }
        }
    }
    Redraw(autoExposure ? MaxValue : 255.0f);
}

void ReferenceDrawing::Undo(bool autoExposure) {
    if (lightsCount < 1) return;
    for (int x = 1; x <= width; ++x)
        for (int y = 1; y <= height; ++y)
            for (int c = 1; c <= 3; ++c) At(x, y, c) = Light(undoBuffer, x, y, c);
    lightsCount = lightsCount - 1;
    const float m = FindMaximum();
    Redraw(autoExposure ? m : 255.0f);
}

float ReferenceDrawing::FindMaximum() {
    float m = 0.0f;
    for (int x = 1; x <= width; ++x)
        for (int y = 1; y <= height; ++y)
            for (int c = 1; c <= 3; ++c)
                if (At(x, y, c) > m) m = At(x, y, c);
    return m;
}

void ReferenceDrawing::Redraw(float sMax) {
    if (sMax < 255.0f || std::isnan(sMax)) sMax = 255.0f;
    for (int x = 1; x <= width; ++x) {
        for (int y = 1; y <= height; ++y) {
            std::int32_t out[4];
            for (int c = 1; c <= 3; ++c) {
                const float v = At(x, y, c);
                const float s = float(double(v) * 255.0 / double(sMax));
                out[c] = RoundHalfEven(v > sMax ? 255.0f : s);
            }
            std::uint8_t* pixel = &pixels[(std::size_t(y - 1) * std::size_t(width) + std::size_t(x - 1)) * 4];
            pixel[2] = std::uint8_t(out[1]);
            pixel[1] = std::uint8_t(out[2]);
            pixel[0] = std::uint8_t(out[3]);
        }
    }
}

std::string ReferenceDrawing::Mismatches(const LightBufferView& buffer) {
    int count = 0;
    std::ostringstream first;
    first.precision(9);  // enough to tell any two floats apart
    for (int c = 1; c <= 3; ++c)
        for (int y = 1; y <= height; ++y)
            for (int x = 1; x <= width; ++x)
                if (std::bit_cast<std::uint32_t>(buffer.At(x, y, c)) != std::bit_cast<std::uint32_t>(At(x, y, c)) &&
                    count++ == 0)
                    first << "light (" << x << ", " << y << ", " << c << ") is " << buffer.At(x, y, c)
                          << ", expected " << At(x, y, c);
    return count == 0 ? std::string() : std::to_string(count) + " differ, the first " + first.str();
}
