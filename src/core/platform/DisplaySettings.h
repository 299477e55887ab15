#pragma once

#include <optional>

// What the program asks of the display it runs on.
class DisplaySettings {
public:
    virtual ~DisplaySettings() = default;
    // Bits per pixel of the primary display, or nothing when the query fails.
    virtual std::optional<int> ColorDepth() = 0;
};
