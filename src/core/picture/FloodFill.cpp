#include "core/picture/FloodFill.h"

#include <vector>

namespace {

constexpr QRgb kColourBits = 0x00FFFFFF;

}  // namespace

// A scanline fill: each span of the area is painted in one go and the rows above and below
// it are searched for spans still to paint, so every pixel is visited a few times at most
// and the stack holds spans, not pixels.
QRect FloodFillArea(QImage& image, QPoint start, QRgb surface, QRgb fill) {
    if (!image.valid(start) || image.depth() != 32) return {};
    surface &= kColourBits;
    const QRgb painted = fill | 0xFF000000;
    const auto rowOf = [&](int y) { return reinterpret_cast<QRgb*>(image.scanLine(y)); };
    const auto matches = [&](const QRgb* row, int x) { return (row[x] & kColourBits) == surface; };
    if (!matches(rowOf(start.y()), start.x())) return {};
    // Painting the area in its own colour would never end the search.
    if ((painted & kColourBits) == surface) return {};

    QRect area;
    std::vector<QPoint> seeds{start};
    while (!seeds.empty()) {
        const QPoint seed = seeds.back();
        seeds.pop_back();
        QRgb* row = rowOf(seed.y());
        if (!matches(row, seed.x())) continue;
        int left = seed.x();
        int right = seed.x();
        while (left > 0 && matches(row, left - 1)) --left;
        while (right + 1 < image.width() && matches(row, right + 1)) ++right;
        for (int x = left; x <= right; ++x) row[x] = painted;
        area |= QRect(left, seed.y(), right - left + 1, 1);
        for (const int y : {seed.y() - 1, seed.y() + 1}) {
            if (y < 0 || y >= image.height()) continue;
            const QRgb* next = rowOf(y);
            for (int x = left; x <= right; ++x) {
                if (matches(next, x) && (x == left || !matches(next, x - 1))) seeds.emplace_back(x, y);
            }
        }
    }
    return area;
}
