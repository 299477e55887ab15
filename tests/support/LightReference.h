#pragma once

#include "core/common/LightPoint.h"
#include "core/lights/LightBufferView.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// A short, literal model of the lights: the placing, rendering, exposure and redraw steps
// written out one by one, in the order and with the number types the program defines.
// Slow and plain on purpose; the program's own code must agree with it to the bit.
struct ReferenceDrawing {
    ReferenceDrawing(int width, int height);

    int width;
    int height;
    std::vector<float> lightBuffer;  // (x, y, c): x 0..width, y 0..height, c 1..3
    std::vector<float> undoBuffer;
    std::vector<LightPoint> lights{1};
    std::int32_t lightsCount = 0;
    std::vector<std::uint8_t> pixels;  // the displayed picture, 4 bytes a pixel, blue first

    float& Light(std::vector<float>& buffer, int x, int y, int c);
    float& At(int x, int y, int c) { return Light(lightBuffer, x, y, c); }

    // A left click at (X, Y) with the given colour and the texts of the two fields.
    void Click(float X, float Y, int red, int green, int blue, const QString& intensity, const QString& fog,
               bool autoExposure);
    void Render(bool justAddLastPoint, const QString& intensity, const QString& fog, bool autoExposure);
    void Undo(bool autoExposure);
    float FindMaximum();
    void Redraw(float sMax);

    // Nothing when every light value of the picture's pixels is the program's to the bit;
    // otherwise how many differ, and the first.
    std::string Mismatches(const LightBufferView& buffer);
};
