#pragma once

#include "core/common/ColorValue.h"

#include <array>
#include <optional>

// What the program asks of the colour dialog.
struct ColorDialogRequest {
    std::array<ColorValue, 16> customColors{};  // the dialog's custom colour slots
    bool customPartOpen = false;                 // open with the custom colour part shown

    bool operator==(const ColorDialogRequest&) const = default;
};

// The platform's modal colour dialog: the chosen colour, or nothing when cancelled.
class ColorDialog {
public:
    virtual ~ColorDialog() = default;
    virtual std::optional<ColorValue> Choose(const ColorDialogRequest& request) = 0;
};
