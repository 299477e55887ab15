#pragma once

#include <cstdint>

inline constexpr std::int32_t kGraphWidth = 300;
inline constexpr std::int32_t kGraphHeight = 65;

// How high the falloff curve stands in column x (1..300) for fog F and intensity I, each
// 0..100: nearest(10 * I / (x / (F + 1) + 2)), with 16-bit sums and products as the scroll
// bars give them and the division in double.
std::int32_t FalloffHeight(std::int32_t x, std::int16_t fog, std::int16_t intensity);

// Draws the curve into a 300 x 65 picture: white, with one black dot per column at its
// height above the bottom row, where that lies inside the picture. `Picture` is a pixel
// buffer or the windows' GMPicture.
template <typename Picture>
void DrawFalloffGraph(Picture& graph, std::int16_t fog, std::int16_t intensity) {
    graph.FillAll(255, 255, 255);
    for (std::int32_t x = 1; x <= kGraphWidth; ++x) {
        const std::int32_t h = FalloffHeight(x, fog, intensity);
        if (h < kGraphHeight) graph.SetPixel(float(x), float(kGraphHeight - h), 0, 0, 0);
    }
}
