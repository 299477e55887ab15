#include "fill/GradientFill.h"

#include "common/Failure.h"
#include "common/Rounding.h"
#include "picture/GMPicture.h"
#include "picture/ImageSurface.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int32_t kDarker = 50;
constexpr std::int32_t kLighter = 140;

bool IsMarker(const GMPicture& mask, std::int32_t x, std::int32_t y) {
    const auto bytes = mask.Bytes();
    const std::size_t at = (std::size_t(y - 1) * std::size_t(mask.Width()) + std::size_t(x - 1)) * 4;
    return bytes[at + 2] == RedOf(kFillMarker) && bytes[at + 1] == GreenOf(kFillMarker) &&
           bytes[at] == BlueOf(kFillMarker);
}

std::int32_t Product(std::int32_t difference, std::int32_t k) {
    const std::int64_t product = std::int64_t(difference) * k;
    if (product > std::numeric_limits<std::int32_t>::max() || product < std::numeric_limits<std::int32_t>::min()) {
        throw Failure::Overflow();
    }
    return std::int32_t(product);
}

// start + (end - start) * k / n: the product in 32 bits, the rest in double, rounded half to even.
std::int32_t Step(std::int32_t start, std::int32_t end, std::int32_t k, std::int32_t n) {
    return RoundToInt32(double(Product(end - start, k)) / double(n) + double(start));
}

}  // namespace

GradientEnds GradientEndsOf(std::int32_t red, std::int32_t green, std::int32_t blue) {
    GradientEnds ends{};
    const std::int32_t seed[3] = {red, green, blue};
    for (int c = 0; c < 3; ++c) {
        ends.dark[c] = std::max(seed[c] - kDarker, 0);
        ends.light[c] = std::min(seed[c] + kLighter, 255);
    }
    return ends;
}

std::optional<QRect> FindMarkedArea(const GMPicture& mask) {
    if (mask.Bytes().size() < std::size_t(mask.Width()) * std::size_t(mask.Height()) * 4) return std::nullopt;
    std::optional<QRect> area;
    for (std::int32_t x = 1; x <= mask.Width(); ++x) {
        for (std::int32_t y = 1; y <= mask.Height(); ++y) {
            if (!IsMarker(mask, x, y)) continue;
            area = area ? area->united(QRect(x, y, 1, 1)) : QRect(x, y, 1, 1);
        }
    }
    return area;
}

std::int32_t ChosenDirection(const QRect& area) {
    return (area.right() - area.left()) >= (area.bottom() - area.top()) ? 1 : 3;
}

void PaintGradient(const GMPicture& mask, GMPicture& target, const QRect& area, const GradientEnds& ends,
                   std::int32_t direction) {
    const bool vertical = direction == 1 || direction == 2;
    const bool gradient = direction >= 1 && direction <= 4;
    const bool fromDark = direction == 1 || direction == 3;
    const std::int32_t n = vertical ? area.bottom() - area.top() + 1 : area.right() - area.left() + 1;
    for (std::int32_t x = area.left(); x <= area.right(); ++x) {
        for (std::int32_t y = area.top(); y <= area.bottom(); ++y) {
            if (!IsMarker(mask, x, y)) continue;
            std::int32_t value[3] = {RedOf(kFillMarker), GreenOf(kFillMarker), BlueOf(kFillMarker)};
            if (gradient) {
                const std::int32_t k = vertical ? y - area.top() : x - area.left();
                for (int c = 0; c < 3; ++c) {
                    value[c] = fromDark ? Step(ends.dark[c], ends.light[c], k, n)
                                        : Step(ends.light[c], ends.dark[c], k, n);
                }
            }
            target.SetPixel(float(x), float(y), value[0], value[1], value[2]);
        }
    }
}

void FillArea(GMPicture& source, GMPicture& mask, GMPicture& target, ImageSurface& canvas, float X, float Y,
              std::int32_t& direction) {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    source.GetPixel(X, Y, red, green, blue);
    const GradientEnds ends = GradientEndsOf(red, green, blue);

    source.PrintToPictureBox(canvas, false, false);
    canvas.SetFillColor(kFillMarker);
    canvas.FloodFill(RoundToInt32(X), RoundToInt32(Y), PackColor(red, green, blue));
    canvas.MergeImageIntoPicture();
    mask.SetPicture(canvas.Picture());

    if (const std::optional<QRect> area = FindMarkedArea(mask)) {
        if (direction == 0) direction = ChosenDirection(*area);
        PaintGradient(mask, target, *area, ends, direction);
    }
    target.PrintToPictureBox(canvas, false, false);
}
