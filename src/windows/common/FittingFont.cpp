#include "windows/common/FittingFont.h"

#include <QFontMetrics>

#include <algorithm>

QFont FittingFont(QFont font, const std::vector<CaptionRoom>& captions, int largest, int smallest) {
    for (int pixels = largest; pixels >= smallest; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        const bool fits = std::all_of(captions.begin(), captions.end(), [&](const CaptionRoom& room) {
            // A label may run two pixels into its neighbour's margin before it looks cut.
            return metrics.horizontalAdvance(room.text) <= room.width && metrics.height() <= room.height + 2;
        });
        if (fits) return font;
    }
    font.setPixelSize(smallest);
    return font;
}
