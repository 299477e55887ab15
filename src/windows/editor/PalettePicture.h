#pragma once

#include <QImage>

// The tool panel's palette: 52 x 115 pixels, 24 bits. Each row is one hue, from red at
// the top through yellow, green, cyan, blue and magenta to a red-magenta at the bottom;
// along a row the hue goes from near black (column 0) to fully saturated (column 22) to a
// pale tint (column 43). Column 44 is black and columns 45 to 51 white, so that pure black
// and white can be picked too.
QImage MakePalettePicture();

inline constexpr int kPaletteWidth = 52;
inline constexpr int kPaletteHeight = 115;
