#include "windows/editor/PalettePicture.h"

#include <QColor>

#include <cmath>

namespace {

constexpr int kSaturatedColumn = 22;
constexpr int kPaleColumn = 43;
constexpr int kBlackColumn = 44;
constexpr double kDegreesPerRow = 3.0;

// Channel levels: a pure hue's strong channels reach `peak`, its absent channels sit at
// `floor`; near black the whole colour is scaled down, towards the pale end the absent
// channels rise to a tint.
constexpr double kFloor = 3.0;
constexpr double kPeak = 254.0;
constexpr double kPaleStrong = 250.0;
constexpr double kPaleWeak = 238.0;

double Level(double hueShare, int column) {
    const double saturated = kFloor + (kPeak - kFloor) * hueShare;
    if (column <= kSaturatedColumn) {
        const double brightness = (column + 0.5) / (kSaturatedColumn + 0.5);
        return kFloor + (saturated - kFloor) * brightness;
    }
    const double pale = kPaleWeak + (kPaleStrong - kPaleWeak) * hueShare;
    const double toPale = double(column - kSaturatedColumn) / double(kPaleColumn - kSaturatedColumn);
    return saturated + (pale - saturated) * toPale;
}

int Byte(double level) { return int(std::lround(level)); }

}  // namespace

QImage MakePalettePicture() {
    QImage palette(kPaletteWidth, kPaletteHeight, QImage::Format_RGB888);
    for (int row = 0; row < kPaletteHeight; ++row) {
        const QColor hue = QColor::fromHsvF(std::fmod(row * kDegreesPerRow, 360.0) / 360.0, 1.0, 1.0);
        for (int column = 0; column < kPaletteWidth; ++column) {
            QRgb pixel;
            if (column < kBlackColumn) {
                pixel = qRgb(Byte(Level(hue.redF(), column)), Byte(Level(hue.greenF(), column)),
                             Byte(Level(hue.blueF(), column)));
            } else {
                pixel = column == kBlackColumn ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            }
            palette.setPixel(column, row, pixel);
        }
    }
    return palette;
}
