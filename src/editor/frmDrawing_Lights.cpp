// Placing lights on the canvas, rendering them into the light buffer, and showing the
// buffer on the canvas.

#include "editor/frmDrawing.h"

#include "common/ColorValue.h"
#include "common/Failure.h"
#include "common/NumberText.h"
#include "editor/LightKernels.h"
#include "options/ExposureSetting.h"
#include "picture/PictureBox.h"
#include "platform/ErrorBox.h"
#include "platform/Platform.h"

#include <QLineEdit>

#include <algorithm>
#include <limits>

namespace {

// The progress strip grows by this many columns at a time.
constexpr std::int32_t kProgressStep = 10;
constexpr std::int32_t kProgressRows = 10;
constexpr std::int32_t kProgressGrey = 70;

constexpr int kRightButton = 2;

}  // namespace

void frmDrawing::p_MouseDown(int button, int /*shift*/, float X, float Y) {
    RunReportingFailures(platform_.Messages(), [&] {
        const ColorValue color = LightColor1->BackColor();
        std::int32_t Red = RedOf(color);
        std::int32_t Green = GreenOf(color);
        std::int32_t Blue = BlueOf(color);
        if (button != kRightButton) {
            AddPoint(X, Y, Red, Blue, Green);
            CreateUndo();
            Render(true);
        } else {
            // The picture's pixels count from 1, the canvas's from 0: this picks the pixel
            // one up and to the left of the pointer. A miss at the edge is reported by
            // GetPixel and leaves the current colour as it was.
            doc_.GMPic1.GetPixel(X, Y, Red, Green, Blue);
            LightColor1->SetBackColor(PackColor(Red, Green, Blue));
        }
    });
}

void frmDrawing::AddPoint(const float& X, const float& Y, const std::int32_t& Red, const std::int32_t& Blue,
                          const std::int32_t& Green) {
    if (doc_.LightsCount == std::numeric_limits<std::int32_t>::max()) throw Failure::Overflow();
    ++doc_.LightsCount;
    doc_.Lights.resize(std::size_t(doc_.LightsCount) + 1);
    LightPoint& light = doc_.Lights[std::size_t(doc_.LightsCount)];
    light.X = X;
    light.Y = Y;
    light.Red = Red;
    light.Green = Green;
    light.Blue = Blue;
}

void frmDrawing::Render(bool bJustAddLastPoint) {
    RunReportingFailures(platform_.Messages(), [&] {
        const bool autoAdjust = AutoAdjustExposureIsOn(platform_.Settings());
        doc_.sIntensity = TextToSingle(txtIntensity->text());
        doc_.sFog = TextToSingle(txtFog->text());

        const BusyScope busy(platform_.Busy());
        doc_.GMPicProgress.Cls();
        // The canvas keeps showing the old picture while the strip is printed over it.
        p->MergeImageIntoPicture();
        float MaxValue = 0.0f;
        RenderColumns(bJustAddLastPoint, autoAdjust, MaxValue);
        RedrawGMPic1(autoAdjust ? MaxValue : 255.0f);
    });
}

// Works through the picture ten columns at a time, growing the progress strip after each
// full step; the last few columns of a width that is not a multiple of ten get no strip.
void frmDrawing::RenderColumns(bool bJustAddLastPoint, bool trackMaximum, float& MaxValue) {
    const float FogFactor = (doc_.sFog + 1.0f) / 11.0f;
    const std::int32_t width = doc_.GMPic1.Width();
    const std::int32_t height = doc_.GMPic1.Height();
    if (std::size_t(doc_.LightsCount) >= doc_.Lights.size() || doc_.LightsCount < 0) {
        throw Failure::SubscriptOutOfRange();
    }
    float* maximum = trackMaximum ? &MaxValue : nullptr;
    for (std::int32_t first = 1; first <= width; first += kProgressStep) {
        const std::int32_t last = std::min(first + kProgressStep - 1, width);
        if (bJustAddLastPoint) {
            if (doc_.LightsCount < 1) throw Failure::SubscriptOutOfRange();
            AddNewestLight(doc_.LightBuffer, doc_.Lights[std::size_t(doc_.LightsCount)], doc_.sIntensity,
                           FogFactor, first, last, height, maximum);
        } else {
            const std::span<const LightPoint> lights(doc_.Lights.data() + 1, std::size_t(doc_.LightsCount));
            RebuildFromLights(doc_.LightBuffer, lights, first, last, height, maximum);
        }
        if (last % kProgressStep == 0) PaintProgress(last);
    }
}

void frmDrawing::PaintProgress(std::int32_t lastColumn) {
    for (std::int32_t column = lastColumn - kProgressStep + 1; column <= lastColumn; ++column) {
        for (std::int32_t row = 1; row <= kProgressRows; ++row) {
            doc_.GMPicProgress.SetPixel(float(column), float(row), kProgressGrey, kProgressGrey, kProgressGrey);
        }
    }
    doc_.GMPicProgress.PrintToPictureBox(*p, true, false);
}

void frmDrawing::RedrawGMPic1(float sMax) {
    RedrawPixels(doc_.LightBuffer, doc_.GMPic1.Bytes(), doc_.GMPic1.Width(), doc_.GMPic1.Height(), sMax);
    doc_.GMPic1.PrintToPictureBox(*p, false, false);
}

float frmDrawing::FindMaximum() {
    return FindMaximumOf(doc_.LightBuffer, doc_.GMPic1.Width(), doc_.GMPic1.Height());
}

void frmDrawing::mnuRender_Click() { Render(false); }
