#include "editor/LightEngine.h"

#include "common/Failure.h"
#include "editor/LightKernels.h"
#include "picture/ImageSurface.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::int32_t kProgressStep = 10;
constexpr std::int32_t kProgressRows = 10;
constexpr std::int32_t kProgressGrey = 70;
// The strip is printed at most about this many times a render: each print repaints it, and
// on a wide picture hundreds of prints would cost more than the render.
constexpr std::int32_t kProgressPrints = 32;

bool SameShape(const LightArray& a, const LightArray& b) {
    return a.UpperX() == b.UpperX() && a.UpperY() == b.UpperY();
}

}  // namespace

float RenderLightBuffer(DrawingDocument& doc, bool justAddLastPoint, float intensity, float fogFactor,
                        bool trackMaximum, LightArray* undo, const ProgressReport& progress, bool redrawAt255) {
    const std::int32_t width = doc.GMPic1.Width();
    const std::int32_t height = doc.GMPic1.Height();
    if (doc.LightsCount < 0 || std::size_t(doc.LightsCount) >= doc.Lights.size()) throw Failure::SubscriptOutOfRange();
    if (justAddLastPoint && doc.LightsCount < 1) throw Failure::SubscriptOutOfRange();
    const NewLight newest{doc.Lights[std::size_t(doc.LightsCount)], intensity, fogFactor};
    const std::span<const LightPoint> lights(doc.Lights.data() + 1, std::size_t(doc.LightsCount));
    const std::span<std::uint8_t> pixels = redrawAt255 ? doc.GMPic1.Bytes() : std::span<std::uint8_t>();

    // The undo copy comes free: the sums go into the undo buffer while the light buffer is
    // read, and the two trade places at the end, so the old values are never copied.
    const bool trade = justAddLastPoint && undo != nullptr && SameShape(*undo, doc.LightBuffer);
    if (justAddLastPoint && undo != nullptr && !trade) CopyLights(doc, doc.LightBuffer, *undo);
    LightArray& target = trade ? *undo : doc.LightBuffer;

    const std::int32_t step = std::max(kProgressStep, width / kProgressPrints / kProgressStep * kProgressStep);
    std::int32_t shown = 0;
    const auto reportProgress = [&](std::int32_t rowsDone) {
        std::int32_t columns = std::int32_t(std::int64_t(width) * rowsDone / std::max(height, 1));
        columns = rowsDone == height ? columns / kProgressStep * kProgressStep : columns / step * step;
        if (columns > shown && progress) progress(columns);
        shown = std::max(shown, columns);
    };
    float maximum = 0.0f;
    try {
        maximum = OverRowsInParallel(
            width, height,
            [&](RowSpan rows) {
                if (justAddLastPoint) {
                    return AddNewestLight(doc.LightBuffer, target, newest, width, rows, trackMaximum, pixels);
                }
                const float m = RebuildFromLights(doc.LightBuffer, lights, width, rows);
                if (redrawAt255) RedrawPixels(doc.LightBuffer, pixels, width, 255.0f, rows);
                return m;
            },
            reportProgress);
    } catch (...) {
        // A failed render leaves the light buffer as it was, with the undo copy matching it.
        if (trade) CopyLights(doc, doc.LightBuffer, *undo);
        throw;
    }
    if (trade) std::swap(doc.LightBuffer, *undo);
    return trackMaximum ? maximum : 0.0f;
}

void RedrawPicture(DrawingDocument& doc, float sMax) {
    const std::int32_t width = doc.GMPic1.Width();
    OverRowsInParallel(width, doc.GMPic1.Height(), [&](RowSpan rows) {
        RedrawPixels(doc.LightBuffer, doc.GMPic1.Bytes(), width, sMax, rows);
        return 0.0f;
    });
}

float FindMaximumOfPicture(const DrawingDocument& doc) {
    const std::int32_t width = doc.GMPic1.Width();
    return OverRowsInParallel(width, doc.GMPic1.Height(),
                              [&](RowSpan rows) { return FindMaximumOf(doc.LightBuffer, width, rows); });
}

void CopyLights(const DrawingDocument& doc, const LightArray& from, LightArray& to) {
    const std::int32_t width = doc.GMPic1.Width();
    OverRowsInParallel(width, doc.GMPic1.Height(), [&](RowSpan rows) {
        CopyLightBuffer(from, to, width, rows);
        return 0.0f;
    });
}

void LoadLightsFromPicture(DrawingDocument& doc) {
    const std::int32_t width = doc.GMPic1.Width();
    OverRowsInParallel(width, doc.GMPic1.Height(), [&](RowSpan rows) {
        LoadLightsFromPixels(doc.LightBuffer, doc.GMPic1.Bytes(), width, rows);
        return 0.0f;
    });
}

void RenderOntoCanvas(DrawingDocument& doc, ImageSurface& canvas, bool justAddLastPoint, float intensity,
                      float fogFactor, bool autoAdjust, LightArray* undo) {
    doc.GMPicProgress.Cls();
    canvas.MergeImageIntoPicture();
    std::int32_t shown = 0;
    const float maximum = RenderLightBuffer(
        doc, justAddLastPoint, intensity, fogFactor, autoAdjust, undo,
        [&](std::int32_t columns) {
            ShowProgress(doc, canvas, shown + 1, columns);
            shown = columns;
        },
        !autoAdjust);
    if (autoAdjust) RedrawPicture(doc, maximum);
    doc.GMPic1.PrintToPictureBox(canvas, false, false);
}

void ShowProgress(DrawingDocument& doc, ImageSurface& canvas, std::int32_t fromColumn, std::int32_t toColumn) {
    // The pixels are written straight into the strip's bytes, as SetPixel would write them
    // one by one: on a wide picture that is tens of thousands of calls per print.
    GMPicture& strip = doc.GMPicProgress;
    const std::int32_t first = std::max(fromColumn, 1);
    const std::int32_t last = std::min(toColumn, strip.Width());
    const std::span<std::uint8_t> bytes = strip.Bytes();
    for (std::int32_t row = 1; row <= std::min(kProgressRows, strip.Height()) && first <= last; ++row) {
        std::uint8_t* pixel = bytes.data() + (std::size_t(row - 1) * std::size_t(strip.Width()) + std::size_t(first - 1)) * 4;
        for (std::int32_t column = first; column <= last; ++column, pixel += 4) {
            pixel[0] = pixel[1] = pixel[2] = std::uint8_t(kProgressGrey);
        }
    }
    strip.PrintToPictureBox(canvas, true, false);
}
