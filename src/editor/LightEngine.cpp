#include "editor/LightEngine.h"

#include "common/Failure.h"
#include "editor/LightKernels.h"
#include "picture/ImageSurface.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

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

RenderOutcome RenderLightBuffer(DrawingDocument& doc, bool justAddLastPoint, float intensity, float fogFactor,
                                LightArray* undo, const ProgressReport& progress, RedrawInPass redraw,
                                std::uint8_t* pictureCopy) {
    const std::int32_t width = doc.GMPic1.Width();
    const std::int32_t height = doc.GMPic1.Height();
    if (doc.LightsCount < 0 || std::size_t(doc.LightsCount) >= doc.Lights.size()) throw Failure::SubscriptOutOfRange();
    if (justAddLastPoint && doc.LightsCount < 1) throw Failure::SubscriptOutOfRange();
    const NewLight newest{doc.Lights[std::size_t(doc.LightsCount)], intensity, fogFactor};
    const std::span<const LightPoint> lights(doc.Lights.data() + 1, std::size_t(doc.LightsCount));

    // The undo copy comes free: the sums go into the undo buffer while the light buffer is
    // read, and the two trade places at the end, so the old values are never copied.
    const bool trade = justAddLastPoint && undo != nullptr && SameShape(*undo, doc.LightBuffer);
    if (justAddLastPoint && undo != nullptr && !trade) CopyLights(doc, doc.LightBuffer, *undo);
    LightArray& target = trade ? *undo : doc.LightBuffer;

    // With automatic exposure the reference is the greatest value after the pass; when it
    // can be worked out first, the picture is redrawn in the same pass.
    std::optional<float> reference;
    if (redraw == RedrawInPass::At255) reference = 255.0f;
    if (redraw == RedrawInPass::AtGreatest && justAddLastPoint) {
        reference = GreatestAfterNewestLight(doc.LightBuffer, newest, width, height);
    }
    const RedrawTarget redrawTarget =
        reference ? RedrawTarget{doc.GMPic1.Bytes(), pictureCopy, std::max(*reference, 255.0f)} : RedrawTarget{};
    std::vector<float> rowMaxima(std::size_t(std::max(height, 0)) + 1, 0.0f);

    // A light on a whole or half row shares its weights between the rows on either side, so
    // a pass of one light goes through the rows in those pairs when it can.
    const bool oneLight = justAddLastPoint || lights.size() == 1;
    const RowPairs pairs = oneLight ? PairRowsAround(newest.light.Y, height) : RowPairs{};
    const std::int32_t steps = pairs.count > 0 ? pairs.count : height;
    const std::int32_t rowsPerStep = pairs.count > 0 ? 2 : 1;

    const std::int32_t columnStep = std::max(kProgressStep, width / kProgressPrints / kProgressStep * kProgressStep);
    std::int32_t shown = 0;
    const auto reportProgress = [&](std::int32_t stepsDone) {
        std::int32_t columns = std::int32_t(std::int64_t(width) * stepsDone / std::max(steps, 1));
        columns = stepsDone == steps ? columns / kProgressStep * kProgressStep : columns / columnStep * columnStep;
        if (columns > shown && progress) progress(columns);
        shown = std::max(shown, columns);
    };
    // The rows' maxima are set again below; every thread of the pass then finds them forgotten.
    target.ForgetRowMaxima();
    float maximum = 0.0f;
    try {
        maximum = OverRowsInParallel(
            width * rowsPerStep, steps,
            [&](RowSpan span) {
                if (pairs.count > 0 && !justAddLastPoint) {
                    return RebuildFromOneLightInPairs(doc.LightBuffer, lights.front(), width, height, pairs, span,
                                                      rowMaxima.data(), redrawTarget);
                }
                if (pairs.count > 0) {
                    return AddNewestLightInPairs(doc.LightBuffer, target, newest, width, height, pairs, span,
                                                 rowMaxima.data(), redrawTarget);
                }
                if (justAddLastPoint) {
                    return AddNewestLight(doc.LightBuffer, target, newest, width, span, rowMaxima.data(), redrawTarget);
                }
                return RebuildFromLights(doc.LightBuffer, lights, width, span, rowMaxima.data(), redrawTarget);
            },
            reportProgress);
    } catch (...) {
        // A failed render leaves the light buffer as it was, with the undo copy matching it.
        if (trade) CopyLights(doc, doc.LightBuffer, *undo);
        throw;
    }
    if (trade) std::swap(doc.LightBuffer, *undo);
    doc.LightBuffer.SetRowMaxima(std::move(rowMaxima), width);
    return {maximum, reference.has_value()};
}

void RedrawPicture(DrawingDocument& doc, float sMax, std::uint8_t* pictureCopy) {
    const std::int32_t width = doc.GMPic1.Width();
    OverRowsInParallel(width, doc.GMPic1.Height(), [&](RowSpan rows) {
        RedrawPixels(doc.LightBuffer, RedrawTarget{doc.GMPic1.Bytes(), pictureCopy, sMax}, width, rows);
        return 0.0f;
    });
}

float FindMaximumOfPicture(const DrawingDocument& doc) {
    const std::int32_t width = doc.GMPic1.Width();
    const std::int32_t height = doc.GMPic1.Height();
    // The rows' maxima, when the buffer knows them, give the answer without reading it.
    const std::span<const float> known = doc.LightBuffer.RowMaxima(width);
    if (!known.empty() && height == doc.LightBuffer.UpperY()) {
        float maximum = 0.0f;
        for (const float m : known.subspan(1)) maximum = m > maximum ? m : maximum;
        return maximum;
    }
    return OverRowsInParallel(width, height, [&](RowSpan rows) { return FindMaximumOf(doc.LightBuffer, width, rows); });
}

void CopyLights(const DrawingDocument& doc, const LightArray& from, LightArray& to) {
    const std::int32_t width = doc.GMPic1.Width();
    to.ForgetRowMaxima();
    OverRowsInParallel(width, doc.GMPic1.Height(), [&](RowSpan rows) {
        CopyLightBuffer(from, to, width, rows);
        return 0.0f;
    });
    // Only the picture's part is copied: the maxima carry over when they cover all of it.
    const std::span<const float> maxima = from.RowMaxima(width);
    if (!maxima.empty() && to.UpperY() == from.UpperY()) to.SetRowMaxima({maxima.begin(), maxima.end()}, width);
}

void LoadLightsFromPicture(DrawingDocument& doc) {
    const std::int32_t width = doc.GMPic1.Width();
    const std::int32_t height = doc.GMPic1.Height();
    std::vector<float> rowMaxima(std::size_t(std::max(height, 0)) + 1, 0.0f);
    doc.LightBuffer.ForgetRowMaxima();
    OverRowsInParallel(width, height, [&](RowSpan rows) {
        LoadLightsFromPixels(doc.LightBuffer, doc.GMPic1.Bytes(), width, rows, rowMaxima.data());
        return 0.0f;
    });
    if (height == doc.LightBuffer.UpperY()) doc.LightBuffer.SetRowMaxima(std::move(rowMaxima), width);
}

namespace {

// When the canvas has the picture's size, a redrawn row goes onto the canvas's next image
// while it is still in the caches: the same outcome as printing the picture once it is done,
// without reading it all back. Null when the sizes differ.
std::uint8_t* DirectCanvasRows(const DrawingDocument& doc, ImageSurface& canvas) {
    const GMPicture& picture = doc.GMPic1;
    const bool direct = canvas.SurfaceSize() == QSize(picture.Width(), picture.Height()) &&
                        picture.HoldsPixelsOf(picture.Width(), picture.Height()) && !picture.Bytes().empty();
    return direct ? canvas.NextImageBits() : nullptr;
}

// Shows the redrawn picture: the rows written straight onto the canvas, or a print.
void ShowRedrawnPicture(DrawingDocument& doc, ImageSurface& canvas, const std::uint8_t* canvasRows) {
    if (canvasRows != nullptr) {
        canvas.CommitNextImage();
    } else {
        doc.GMPic1.PrintToPictureBox(canvas, false, false);
    }
}

}  // namespace

void RenderOntoCanvas(DrawingDocument& doc, ImageSurface& canvas, bool justAddLastPoint, float intensity,
                      float fogFactor, bool autoAdjust, LightArray* undo) {
    doc.GMPicProgress.Cls();
    canvas.MergeImageIntoPicture();
    std::uint8_t* const canvasRows = DirectCanvasRows(doc, canvas);
    std::int32_t shown = 0;
    const RenderOutcome outcome = RenderLightBuffer(
        doc, justAddLastPoint, intensity, fogFactor, undo,
        [&](std::int32_t columns) {
            ShowProgress(doc, canvas, shown + 1, columns);
            shown = columns;
        },
        autoAdjust ? RedrawInPass::AtGreatest : RedrawInPass::At255, canvasRows);
    if (!outcome.redrawn) RedrawPicture(doc, outcome.maximum, canvasRows);
    ShowRedrawnPicture(doc, canvas, canvasRows);
}

void RedrawOntoCanvas(DrawingDocument& doc, ImageSurface& canvas, float sMax) {
    std::uint8_t* const canvasRows = DirectCanvasRows(doc, canvas);
    RedrawPicture(doc, sMax, canvasRows);
    ShowRedrawnPicture(doc, canvas, canvasRows);
}

void RestoreUndoCopy(DrawingDocument& doc) {
    if (SameShape(doc.UndoBuffer, doc.LightBuffer)) {
        std::swap(doc.LightBuffer, doc.UndoBuffer);
    } else {
        CopyLights(doc, doc.UndoBuffer, doc.LightBuffer);
    }
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
