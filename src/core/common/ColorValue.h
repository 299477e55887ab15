#pragma once

#include <QColor>

#include <cstdint>

// The program's colour value: red + 256 * green + 65536 * blue, each channel 0..255.
using ColorValue = std::int32_t;

constexpr ColorValue PackColor(std::int32_t red, std::int32_t green, std::int32_t blue) {
    return red + 256 * green + 65536 * blue;
}

constexpr std::int32_t RedOf(ColorValue c) { return c & 255; }
constexpr std::int32_t GreenOf(ColorValue c) { return (c & 65280) / 256; }
constexpr std::int32_t BlueOf(ColorValue c) { return (c & 16711680) / 65536; }

inline QColor ToQColor(ColorValue c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
inline ColorValue FromQColor(const QColor& c) { return PackColor(c.red(), c.green(), c.blue()); }
