// Placing lights on the canvas, rendering them into the light buffer, and showing the
// buffer on the canvas.

#include "windows/editor/frmDrawing.h"

#include "core/common/ColorValue.h"
#include "core/common/Failure.h"
#include "core/common/NumberText.h"
#include "core/options/ExposureSetting.h"
#include "core/platform/Platform.h"
#include "windows/common/ErrorBox.h"
#include "windows/editor/CanvasRender.h"
#include "windows/canvas/CanvasBox.h"

#include <QLineEdit>

#include <limits>

namespace {

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
            RenderTakingUndo(true, true);
        } else {
            // The picture's pixels count from 1, the canvas's from 0: this picks the pixel
            // one up and to the left of the pointer. A miss at the edge is reported by
            // GetPixel and leaves the current colour as it was.
            Reported(doc_.GMPic1).GetPixel(X, Y, Red, Green, Blue);
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

void frmDrawing::Render(bool bJustAddLastPoint) { RenderTakingUndo(bJustAddLastPoint, false); }

// A click takes the undo copy and renders the new light. Both walk the whole light buffer,
// so the copy is made on the way through rather than in a pass of its own; the outcome is
// the same as CreateUndo followed by Render.
void frmDrawing::RenderTakingUndo(bool bJustAddLastPoint, bool takeUndo) {
    RunReportingFailures(platform_.Messages(), [&] {
        bool autoAdjust = false;
        try {
            autoAdjust = AutoAdjustExposureIsOn(platform_.Settings());
            doc_.sIntensity = TextToSingle(txtIntensity->text());
            doc_.sFog = TextToSingle(txtFog->text());
        } catch (...) {
            if (takeUndo) CreateUndo();
            throw;
        }
        if (takeUndo) mnuUndo->setEnabled(true);

        const BusyScope busy(platform_.Busy());
        const float FogFactor = (doc_.sFog + 1.0f) / 11.0f;
        const Exposure exposure = autoAdjust ? Exposure::Automatic : Exposure::Clipped;
        RenderOntoCanvas(doc_, *p, platform_.Messages(), [&](const PictureRows& picture, const auto& progress) {
            if (doc_.LightsCount < 0 || std::size_t(doc_.LightsCount) >= doc_.Lights.size() ||
                (bJustAddLastPoint && doc_.LightsCount < 1)) {
                throw Failure::SubscriptOutOfRange();
            }
            if (bJustAddLastPoint) {
                const NewLight newest{doc_.Lights[std::size_t(doc_.LightsCount)], doc_.sIntensity, FogFactor};
                doc_.lightEngine.AddLight(newest, takeUndo, exposure, picture, progress);
            } else {
                const std::span<const LightPoint> lights(doc_.Lights.data() + 1, std::size_t(doc_.LightsCount));
                doc_.lightEngine.Rebuild(lights, exposure, picture, progress);
            }
        });
    });
}

void frmDrawing::RedrawGMPic1(float sMax) {
    const PictureRows picture = PictureAndCanvas(doc_, *p);
    doc_.lightEngine.Redraw(sMax, picture);
    ShowDrawnPicture(doc_, *p, platform_.Messages(), picture);
}

float frmDrawing::FindMaximum() { return doc_.lightEngine.FindMaximum(); }

void frmDrawing::mnuRender_Click() { Render(false); }

GMPicture frmDrawing::Reported(PixelBuffer& pixels) { return GMPicture(pixels, platform_.Messages()); }
