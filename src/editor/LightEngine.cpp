#include "editor/LightEngine.h"

#include "common/Failure.h"
#include "editor/LightKernels.h"
#include "picture/ImageSurface.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

constexpr std::int32_t kProgressStep = 10;
constexpr std::int32_t kProgressRows = 10;
constexpr std::int32_t kProgressGrey = 70;
// The picture is worked through in this many bands of rows, the strip growing after each.
constexpr std::int32_t kProgressBands = 16;

float Larger(float a, float b) { return b > a ? b : a; }

// Runs `work` on every row, in bands, and keeps the greatest value it returns.
float OverAllRows(std::int32_t width, std::int32_t height, const std::function<float(RowSpan)>& work,
                  const std::function<void(std::int32_t rowsDone)>& afterBand = {}) {
    float maximum = 0.0f;
    const std::int32_t bands = afterBand ? std::min(kProgressBands, std::max(height, 1)) : 1;
    for (std::int32_t band = 0; band < bands; ++band) {
        const std::int32_t first = 1 + std::int32_t(std::int64_t(height) * band / bands);
        const std::int32_t last = std::int32_t(std::int64_t(height) * (band + 1) / bands);
        std::vector<float> found;
        std::mutex lock;
        ForEachRowSpan(width, last - first + 1, [&](RowSpan rows) {
            const float m = work({rows.yFirst + first - 1, rows.yLast + first - 1});
            const std::lock_guard<std::mutex> guard(lock);
            found.push_back(m);
        });
        for (const float m : found) maximum = Larger(maximum, m);
        if (afterBand) afterBand(last);
    }
    return maximum;
}

}  // namespace

float RenderLightBuffer(DrawingDocument& doc, bool justAddLastPoint, float intensity, float fogFactor,
                        bool trackMaximum, LightArray* undo, const ProgressReport& progress, bool redrawAt255) {
    const std::int32_t width = doc.GMPic1.Width();
    const std::int32_t height = doc.GMPic1.Height();
    if (doc.LightsCount < 0 || std::size_t(doc.LightsCount) >= doc.Lights.size()) throw Failure::SubscriptOutOfRange();
    if (justAddLastPoint && doc.LightsCount < 1) throw Failure::SubscriptOutOfRange();
    const LightPoint newest = doc.Lights[std::size_t(doc.LightsCount)];
    const std::span<const LightPoint> lights(doc.Lights.data() + 1, std::size_t(doc.LightsCount));
    std::int32_t shown = 0;
    const auto reportProgress = [&](std::int32_t rowsDone) {
        const std::int32_t columns = std::int32_t(std::int64_t(width) * rowsDone / std::max(height, 1)) / kProgressStep *
                                     kProgressStep;
        if (columns > shown && progress) progress(columns);
        shown = std::max(shown, columns);
    };
    const float maximum = OverAllRows(
        width, height,
        [&](RowSpan rows) {
            if (justAddLastPoint) {
                return AddNewestLight(doc.LightBuffer, undo, newest, intensity, fogFactor, width, rows,
                                      redrawAt255 ? doc.GMPic1.Bytes() : std::span<std::uint8_t>());
            }
            const float m = RebuildFromLights(doc.LightBuffer, lights, width, rows);
            if (redrawAt255) RedrawPixels(doc.LightBuffer, doc.GMPic1.Bytes(), width, 255.0f, rows);
            return m;
        },
        reportProgress);
    return trackMaximum ? maximum : 0.0f;
}

void RedrawPicture(DrawingDocument& doc, float sMax) {
    const std::int32_t width = doc.GMPic1.Width();
    OverAllRows(width, doc.GMPic1.Height(), [&](RowSpan rows) {
        RedrawPixels(doc.LightBuffer, doc.GMPic1.Bytes(), width, sMax, rows);
        return 0.0f;
    });
}

float FindMaximumOfPicture(const DrawingDocument& doc) {
    const std::int32_t width = doc.GMPic1.Width();
    return OverAllRows(width, doc.GMPic1.Height(), [&](RowSpan rows) { return FindMaximumOf(doc.LightBuffer, width, rows); });
}

void CopyLights(const DrawingDocument& doc, const LightArray& from, LightArray& to) {
    const std::int32_t width = doc.GMPic1.Width();
    OverAllRows(width, doc.GMPic1.Height(), [&](RowSpan rows) {
        CopyLightBuffer(from, to, width, rows);
        return 0.0f;
    });
}

void LoadLightsFromPicture(DrawingDocument& doc) {
    const std::int32_t width = doc.GMPic1.Width();
    OverAllRows(width, doc.GMPic1.Height(), [&](RowSpan rows) {
        LoadLightsFromPixels(doc.LightBuffer, doc.GMPic1.Bytes(), width, rows);
        return 0.0f;
    });
}

void ShowProgress(DrawingDocument& doc, ImageSurface& canvas, std::int32_t fromColumn, std::int32_t toColumn) {
    for (std::int32_t column = fromColumn; column <= toColumn; ++column) {
        for (std::int32_t row = 1; row <= kProgressRows; ++row) {
            doc.GMPicProgress.SetPixel(float(column), float(row), kProgressGrey, kProgressGrey, kProgressGrey);
        }
    }
    doc.GMPicProgress.PrintToPictureBox(canvas, true, false);
}
