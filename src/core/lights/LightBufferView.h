#pragma once

#include "core/common/Failure.h"
#include "core/lights/LightEngine.h"

#include <cstdint>

// The light buffer, or its undo copy, addressed the way the drawing's model addresses it:
// x from 0 to the picture's width, y from 0 to its height, channel 1 red to 3 blue, so that
// element (x, y) belongs to the picture's pixel (x, y) counted from 1. Index 0 of x and of y
// exists but is never used: it reads 0.
class LightBufferView {
public:
    LightBufferView(const LightEngine& engine, bool undoCopy) : engine_(engine), undoCopy_(undoCopy) {}

    std::int32_t UpperX() const { return engine_.Width(); }
    std::int32_t UpperY() const { return engine_.Height(); }

    float At(std::int32_t x, std::int32_t y, std::int32_t channel) const {
        if (x < 0 || x > UpperX() || y < 0 || y > UpperY() || channel < 1 || channel > 3) {
            throw Failure::SubscriptOutOfRange();
        }
        if (x == 0 || y == 0) return 0.0f;
        return undoCopy_ ? engine_.UndoCopy(x - 1, y - 1, channel - 1) : engine_.Light(x - 1, y - 1, channel - 1);
    }

private:
    const LightEngine& engine_;
    bool undoCopy_;
};
