// The tool panel: the light colour (swatch, colour dialog, palette) and the intensity and
// fog fields of the next light.

#include "windows/editor/frmDrawing.h"

#include "core/common/NumberText.h"
#include "windows/editor/ColorChooser.h"
#include "windows/canvas/CanvasBox.h"
#include "core/platform/Platform.h"

#include <QLineEdit>

#include <cmath>

namespace {

const QString kInvalidFieldMessage = QStringLiteral("You must enter a numeric value between 0 and 1000.");
const QString kInvalidFieldTitle = QStringLiteral("Invalid Intensity");
const QString kFieldReset = QStringLiteral("10");

constexpr int kLeftButtonAlone = 1;

}  // namespace

void frmDrawing::LightColor1_Click() {
    const ColorValue chosen = ChooseColor(platform_.Colors(), platform_.Messages());
    if (chosen != -1) LightColor1->SetBackColor(chosen);
}

void frmDrawing::Palette1_MouseMove(int button, int /*shift*/, float X, float Y) { PickPaletteColor(button, X, Y); }

void frmDrawing::Palette1_MouseUp(int button, int /*shift*/, float X, float Y) { PickPaletteColor(button, X, Y); }

// Dragging over the palette with the left button changes the colour as it goes; off the
// picture there is no colour to take and the current one stays.
void frmDrawing::PickPaletteColor(int button, float X, float Y) {
    if (button != kLeftButtonAlone) return;
    const std::optional<ColorValue> color = Palette1->Point(int(std::floor(X)), int(std::floor(Y)));
    if (color) LightColor1->SetBackColor(*color);
}

void frmDrawing::txtFog_Change() { ValidateLightField(txtFog); }

void frmDrawing::txtIntensity_Change() { ValidateLightField(txtIntensity); }

void frmDrawing::ValidateLightField(QLineEdit* field) {
    const QString text = field->text();
    if (IsNumeric(text)) {
        const double value = TextValue(text);
        if (value <= 1000.0 && value >= 0.0) return;
    }
    platform_.Messages().Show(kInvalidFieldMessage, MessageButtons::Ok, MessageIcon::Information,
                              kInvalidFieldTitle);
    // Setting the text checks it again; "10" passes.
    field->setText(kFieldReset);
}
