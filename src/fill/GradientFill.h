#pragma once

#include "common/ColorValue.h"

#include <QRect>

#include <cstdint>
#include <optional>

class GMPicture;
class ImageSurface;

// The colour the flood fill paints an area with, so that it can be found again.
inline constexpr ColorValue kFillMarker = PackColor(1, 0, 1);

// The two ends of a gradient made from one colour: 50 darker and 140 lighter per channel,
// kept within 0..255.
struct GradientEnds {
    std::int32_t dark[3];   // red, green, blue
    std::int32_t light[3];
};
GradientEnds GradientEndsOf(std::int32_t red, std::int32_t green, std::int32_t blue);

// The smallest rectangle (in the picture's coordinates from 1) holding every pixel of the
// marker colour, or nothing when there is none.
std::optional<QRect> FindMarkedArea(const GMPicture& mask);

// The direction of a gradient: 1 dark at the top, 2 light at the top, 3 dark at the left,
// 4 light at the left; 0 chooses 1 for an area at least as wide as high, else 3.
std::int32_t ChosenDirection(const QRect& area);

// Writes the gradient into `target` for every marker pixel of `mask`; with a direction
// other than 1 to 4 the marker colour itself is written.
void PaintGradient(const GMPicture& mask, GMPicture& target, const QRect& area, const GradientEnds& ends,
                   std::int32_t direction);

// The whole fill on a canvas. The seed colour is read from `source` at (X, Y) in its
// coordinates from 1; the source is shown on the canvas, the area of the seed colour
// connected to the canvas point (X, Y) is flooded with the marker, the marked canvas is
// copied into `mask`, and the gradient is written into `target`, which the canvas then
// shows. A direction of 0 is replaced by the one chosen for the area, when there is one.
void FillArea(GMPicture& source, GMPicture& mask, GMPicture& target, ImageSurface& canvas, float X, float Y,
              std::int32_t& direction);
