#pragma once

#include <cstdint>

// One placed light: where the user clicked (canvas pixels counted from 0) and its colour.
struct LightPoint {
    float X = 0.0f;
    float Y = 0.0f;
    std::int32_t Red = 0;
    std::int32_t Green = 0;
    std::int32_t Blue = 0;
};
