#pragma once

#include "core/common/ColorValue.h"

class ColorDialog;
class MessageBoxes;

// Asks the user for a colour in the platform's colour dialog, opened with its custom part
// shown and all sixteen custom colours black (custom colours are not kept between
// openings). Returns the colour, -1 when the user cancels, or 0 after reporting a failure.
ColorValue ChooseColor(ColorDialog& dialog, MessageBoxes& messages);
