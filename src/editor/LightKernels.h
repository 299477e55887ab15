#pragma once

#include "common/LightPoint.h"

#include <cstdint>
#include <functional>
#include <optional>
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

// Where a pass redraws its rows: the displayed picture's bytes (blue, green, red, fourth
// byte untouched; 4 bytes a pixel, rows top-down) and, when `copy` is set, a second picture
// of the same layout that receives each finished row while it is still in the caches.
struct RedrawTarget {
    std::span<std::uint8_t> pixels;
    std::uint8_t* copy = nullptr;
    float reference = 255.0f;  // the value shown at full brightness; not below 255
};

// Adding the newest light. At distance d (in double, from the whole-number pixel to the
// light's stored position) a channel of colour C gains intensity * C * w, with the weight
// w = 1 / (d / fogFactor + 10) rounded to a float, the sum formed in double and stored as
// a float.
struct NewLight {
    LightPoint light;
    float intensity;
    float fogFactor;
};

// Reads the old values from `from` and writes the sums to `to`, which may be the same
// buffer. With a redraw target each row is also mapped to pixels against the target's
// reference while it is at hand, as RedrawPixels would. With `rowMaxima` the greatest sum
// of each row y goes to rowMaxima[y]. Returns the greatest sum (0 when none is above 0),
// or 0 without `rowMaxima`.
float AddNewestLight(const LightArray& from, LightArray& to, const NewLight& newLight, std::int32_t width,
                     RowSpan rows, float* rowMaxima, const RedrawTarget& redraw = {});

// A light on a whole or half row Y gives the rows y and 2Y - y the same weights. Pair d
// (counted from 1) holds the rows low - (d - 1) and high + (d - 1) that lie in the picture,
// low and high being Y rounded down and up; `count` pairs cover every row. A count of 0
// means the rows do not pair up (the light is off the picture or between half rows).
struct RowPairs {
    std::int32_t low = 0;
    std::int32_t high = 0;
    std::int32_t count = 0;
};
RowPairs PairRowsAround(float lightY, std::int32_t height);

// AddNewestLight over the pairs numbered pairNumbers.yFirst..yLast, each pair's weights
// worked out once for both rows.
float AddNewestLightInPairs(const LightArray& from, LightArray& to, const NewLight& newLight, std::int32_t width,
                            std::int32_t height, const RowPairs& pairs, RowSpan pairNumbers, float* rowMaxima,
                            const RedrawTarget& redraw = {});

// The greatest sum AddNewestLight will find over the rows 1..height, worked out before the
// pass from the old rows' maxima: each row's sums are bounded by its old maximum plus the
// largest gain at its column nearest the light, and only rows whose bound beats the best
// sum found so far are worked out. Nothing when the old maxima are not known or a gain
// could be negative.
std::optional<float> GreatestAfterNewestLight(const LightArray& from, const NewLight& newLight, std::int32_t width,
                                              std::int32_t height);

// Recomputes the buffer from the lights alone: each channel starts at 0 and every light
// adds w * C with w = 1 / (d + 10) rounded to a float, light by light in order. Row maxima
// and redrawing as with AddNewestLight. Returns the greatest value.
float RebuildFromLights(LightArray& buffer, std::span<const LightPoint> lights, std::int32_t width, RowSpan rows,
                        float* rowMaxima = nullptr, const RedrawTarget& redraw = {});

// RebuildFromLights with a single light over the pairs numbered pairNumbers.yFirst..yLast,
// each pair's weights worked out once for both rows.
float RebuildFromOneLightInPairs(LightArray& buffer, const LightPoint& light, std::int32_t width, std::int32_t height,
                                 const RowPairs& pairs, RowSpan pairNumbers, float* rowMaxima = nullptr,
                                 const RedrawTarget& redraw = {});

// The greatest value of the three channels over the rows; 0 when none is above 0.
float FindMaximumOf(const LightArray& buffer, std::int32_t width, RowSpan rows);

// Maps the buffer to pixels against the target's reference R (raised to 255 when lower or
// not a number): a value above R shows 255, any other v shows v * 255 / R computed in
// double and rounded to a float, then to a whole number with ties to even.
void RedrawPixels(const LightArray& buffer, const RedrawTarget& redraw, std::int32_t width, RowSpan rows);

// Starts the buffer from a picture: each channel takes the pixel's own value, 0 to 255.
// Row maxima as with AddNewestLight.
void LoadLightsFromPixels(LightArray& buffer, std::span<const std::uint8_t> pixels, std::int32_t width,
                          RowSpan rows, float* rowMaxima = nullptr);

// Copies the picture's part of one buffer into another, bit for bit.
void CopyLightBuffer(const LightArray& from, LightArray& to, std::int32_t width, RowSpan rows);

// Runs `work` over the rows 1..height in chunks that every core takes from as it becomes
// free, once the picture is big enough for a second core to pay. Between its chunks the
// calling thread reports the number of rows finished so far to `progress`, so the
// callback may touch what only that thread may touch. Returns the greatest value `work`
// returned (0 if none was above 0). A failure in any chunk stops the handing out of
// chunks and is thrown again once every thread has stopped.
float OverRowsInParallel(std::int32_t width, std::int32_t height, const std::function<float(RowSpan)>& work,
                         const std::function<void(std::int32_t rowsDone)>& progress = {});

// Caps the number of threads the row work uses (0: one per core). For measuring how the
// work scales, and for tests that must see one and several threads.
void SetRowThreadLimit(int threads);
