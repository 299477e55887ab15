#pragma once

#include "common/LightPoint.h"

#include <cstdint>
#include <functional>
#include <span>

class LightArray;

// The per-pixel work of placing lights and showing them, on plain buffers and sizes, with
// no window involved. Pixels are addressed as the light buffer addresses them: x from 1 to
// `width`, y from 1 to `height`; each kernel works on the rows yFirst..yLast, so that rows
// can be shared out among threads. Every result is exact to the bit: the arithmetic below
// is the program's definition of a light, not an approximation of it, and the same on every
// processor.
//
// A buffer smaller than the area asked for throws "Subscript out of range" before anything
// is touched; a sum beyond the float range throws "Overflow".

struct RowSpan {
    std::int32_t yFirst;
    std::int32_t yLast;
};

// Adds the newest light. At distance d (in double, from the whole-number pixel to the
// light's stored position) a channel of colour C gains intensity * C * w, with the weight
// w = 1 / (d / fogFactor + 10) rounded to a float, the sum formed in double and stored
// back as a float. With `undo` the old values are copied there first; with `pixels` each
// row is also mapped to pixels against the reference 255 while it is at hand, as
// RedrawPixels would. Returns the greatest stored value (0 when none is above 0).
float AddNewestLight(LightArray& buffer, LightArray* undo, const LightPoint& light, float intensity,
                     float fogFactor, std::int32_t width, RowSpan rows, std::span<std::uint8_t> pixels = {});

// Recomputes the buffer from the lights alone: each channel starts at 0 and every light
// adds w * C with w = 1 / (d + 10) rounded to a float, light by light in order. Returns the
// greatest value.
float RebuildFromLights(LightArray& buffer, std::span<const LightPoint> lights, std::int32_t width, RowSpan rows);

// The greatest value of the three channels over the rows; 0 when none is above 0.
float FindMaximumOf(const LightArray& buffer, std::int32_t width, RowSpan rows);

// Maps the buffer to pixels (blue, green, red, fourth byte untouched; 4 bytes a pixel,
// rows top-down) against the reference `sMax` (raised to 255 when lower or not a number):
// a value above the reference shows 255, any other v shows v * 255 / sMax computed in
// double and rounded to a float, then to a whole number with ties to even.
void RedrawPixels(const LightArray& buffer, std::span<std::uint8_t> pixels, std::int32_t width, float sMax,
                  RowSpan rows);

// Starts the buffer from a picture: each channel takes the pixel's own value, 0 to 255.
void LoadLightsFromPixels(LightArray& buffer, std::span<const std::uint8_t> pixels, std::int32_t width,
                          RowSpan rows);

// Copies the picture's part of one buffer into another, bit for bit.
void CopyLightBuffer(const LightArray& from, LightArray& to, std::int32_t width, RowSpan rows);

// Runs `work` over the rows 1..height, shared out among the processor's cores when the
// picture is big enough for that to pay.
void ForEachRowSpan(std::int32_t width, std::int32_t height, const std::function<void(RowSpan)>& work);
