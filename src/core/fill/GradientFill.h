#pragma once

#include "core/common/ColorValue.h"
#include "core/common/Rounding.h"
#include "core/picture/ImageSurface.h"

#include <QRect>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The colour the flood fill paints an area with, so that it can be found again.
inline constexpr ColorValue kFillMarker = PackColor(1, 0, 1);

// The two ends of a gradient made from one colour: 50 darker and 140 lighter per channel,
// kept within 0..255.
struct GradientEnds {
    std::int32_t dark[3];   // red, green, blue
    std::int32_t light[3];
};
GradientEnds GradientEndsOf(std::int32_t red, std::int32_t green, std::int32_t blue);

// A picture's pixel bytes (blue, green, red, fourth byte; rows top-down) read for the marker.
struct MarkerMask {
    std::span<const std::uint8_t> bytes;
    std::int32_t width = 0;
    std::int32_t height = 0;

    // Whether the pixel at (x, y), counted from 1, has the marker colour.
    bool IsMarked(std::int32_t x, std::int32_t y) const;
};

template <typename Picture>
MarkerMask MaskOf(const Picture& picture) {
    return {picture.Bytes(), picture.Width(), picture.Height()};
}

// The smallest rectangle (in the picture's coordinates from 1) holding every pixel of the
// marker colour, or nothing when there is none.
std::optional<QRect> FindMarkedArea(const MarkerMask& mask);

// The direction of a gradient: 1 dark at the top, 2 light at the top, 3 dark at the left,
// 4 light at the left; 0 chooses 1 for an area at least as wide as high, else 3.
std::int32_t ChosenDirection(const QRect& area);

// The colour (red, green, blue) the gradient gives the pixel (x, y) of the area; with a
// direction other than 1 to 4 the marker colour itself.
std::array<std::int32_t, 3> GradientColour(const QRect& area, const GradientEnds& ends, std::int32_t direction,
                                           std::int32_t x, std::int32_t y);

// Writes the gradient into `target` for every marked pixel of the area, column by column.
template <typename Picture>
void PaintGradient(const MarkerMask& mask, Picture& target, const QRect& area, const GradientEnds& ends,
                   std::int32_t direction) {
    for (std::int32_t x = area.left(); x <= area.right(); ++x) {
        for (std::int32_t y = area.top(); y <= area.bottom(); ++y) {
            if (!mask.IsMarked(x, y)) continue;
            const std::array<std::int32_t, 3> colour = GradientColour(area, ends, direction, x, y);
            target.SetPixel(float(x), float(y), colour[0], colour[1], colour[2]);
        }
    }
}

// The whole fill on a canvas. The seed colour is read from `source` at (X, Y) in its
// coordinates from 1; the source is shown on the canvas, the area of the seed colour
// connected to the canvas point (X, Y) is flooded with the marker, the marked canvas is
// copied into `mask`, and the gradient is written into `target`, which the canvas then
// shows. A direction of 0 is replaced by the one chosen for the area, when there is one.
//
// `Picture` is a pixel buffer, whose failures end the fill, or the windows' GMPicture,
// whose failures are each reported while the fill goes on.
template <typename Picture>
void FillArea(Picture& source, Picture& mask, Picture& target, ImageSurface& canvas, float X, float Y,
              std::int32_t& direction) {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    source.GetPixel(X, Y, red, green, blue);
    const GradientEnds ends = GradientEndsOf(red, green, blue);

    source.PrintToPictureBox(canvas, false, false);
    canvas.SetFillColor(kFillMarker);
    canvas.FloodFill(RoundToInt32(X), RoundToInt32(Y), PackColor(red, green, blue));
    canvas.MergeImageIntoPicture();
    mask.SetPicture(canvas.DetachedPicture());

    if (const std::optional<QRect> area = FindMarkedArea(MaskOf(mask))) {
        if (direction == 0) direction = ChosenDirection(*area);
        PaintGradient(MaskOf(mask), target, *area, ends, direction);
    }
    target.PrintToPictureBox(canvas, false, false);
}
