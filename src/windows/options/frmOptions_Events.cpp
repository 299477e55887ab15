// What the options dialog does: filling itself in, the falloff graph, OK and Cancel.

#include "windows/options/frmOptions.h"

#include "core/common/Failure.h"
#include "core/common/NumberText.h"
#include "core/common/Rounding.h"
#include "windows/editor/frmDrawing.h"
#include "core/options/ExposureSetting.h"
#include "core/options/FalloffGraph.h"
#include "windows/picture/PictureBox.h"
#include "windows/common/ErrorBox.h"
#include "core/platform/Platform.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {

const QString kFogReduced =
    QStringLiteral("The \"fog\" value have been reduced in order to fit in the scoll bars.");
const QString kIntensityReduced =
    QStringLiteral("The \"intensity\" value have been reduced in order to fit in the scoll bars.");
const QString kInvalidSize = QStringLiteral("You must enter a value between 10 and 5000.");
const QString kInvalidSizeTitle = QStringLiteral("Invalid Picture Size");
const QString kSizeWarning =
    QStringLiteral("You have modified the picture size. A new blank picture will be created (the current one "
                   "will be lost). Make sure that you have saved the current picture before continuing.") +
    QStringLiteral("\r\n\r\n") + QStringLiteral("Do you want to continue?");
const QString kSizeWarningTitle = QStringLiteral("Warning!");

constexpr double kSmallestSide = 10.0;
constexpr double kLargestSide = 5000.0;
constexpr int kInvalidPropertyValue = 380;

// A number as the check box holds it: 0 unticked, 1 ticked, 2 greyed.
int CheckValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Unchecked: return 0;
        case Qt::Checked: return 1;
        case Qt::PartiallyChecked: return 2;
    }
    return 0;
}

// The stored setting read as a number; a text that is no number throws "Type mismatch".
double StoredNumber(SettingsStore& store) {
    const QString text = ReadAutoAdjustExposure(store);
    if (!IsNumeric(text)) throw Failure::TypeMismatch();
    return TextValue(text);
}

void ReduceInto(QScrollBar* bar, double value) {
    bar->setValue(value > bar->maximum() ? bar->maximum() : RoundToInt16(value));
}

}  // namespace

int frmOptions::StoredExposureState() const {
    const std::int16_t state = RoundToInt16(StoredNumber(platform_.Settings()));
    if (state < 0 || state > 2) throw Failure(kInvalidPropertyValue, QStringLiteral("Invalid property value"));
    return state;
}

void frmOptions::Form_Load() {
    MessageBoxes& messages = platform_.Messages();
    RunReportingFailures(messages, [&] {
        txtWidth->setText(QString::number(drawing_.PictureWidth()));
        txtHeight->setText(QString::number(drawing_.PictureHeight()));
        const int state = StoredExposureState();
        chkExposure->setTristate(state == 2);
        chkExposure->setCheckState(state == 0 ? Qt::Unchecked : state == 1 ? Qt::Checked : Qt::PartiallyChecked);
        GMPicGraph.CreateNewPicture(float(kGraphWidth), float(kGraphHeight));
        const double fog = TextValue(drawing_.FogText());
        const double intensity = TextValue(drawing_.IntensityText());
        if (fog > scrFog->maximum()) messages.Show(kFogReduced, MessageButtons::Ok, MessageIcon::Information);
        if (intensity > scrIntensity->maximum()) {
            messages.Show(kIntensityReduced, MessageButtons::Ok, MessageIcon::Information);
        }
        ReduceInto(scrFog, fog);
        ReduceInto(scrIntensity, intensity);
        UpdateGraph();
    });
}

void frmOptions::UpdateGraph() {
    RunReportingFailures(platform_.Messages(), [&] {
        lblFog->setText(QString::number(scrFog->value()));
        lblIntensity->setText(QString::number(scrIntensity->value()));
        DrawFalloffGraph(GMPicGraph, std::int16_t(scrFog->value()), std::int16_t(scrIntensity->value()));
        GMPicGraph.PrintToPictureBox(*picGraph, true, false);
    });
}

// Sizes are checked on their value before rounding: 10 and 5000 pass, 9.9 does not.
bool frmOptions::SizeIsValid() const {
    if (!IsNumeric(txtWidth->text()) || !IsNumeric(txtHeight->text())) return false;
    const double width = TextValue(txtWidth->text());
    const double height = TextValue(txtHeight->text());
    return height >= kSmallestSide && height <= kLargestSide && width >= kSmallestSide && width <= kLargestSide;
}

void frmOptions::cmdOK_Click() {
    MessageBoxes& messages = platform_.Messages();
    RunReportingFailures(messages, [&] {
        if (!SizeIsValid()) {
            messages.Show(kInvalidSize, MessageButtons::Ok, MessageIcon::Information, kInvalidSizeTitle);
            return;
        }
        const double width = TextValue(txtWidth->text());
        const double height = TextValue(txtHeight->text());
        if (width != double(drawing_.PictureWidth()) || height != double(drawing_.PictureHeight())) {
            const MessageAnswer answer =
                messages.Show(kSizeWarning, MessageButtons::YesNo, MessageIcon::Exclamation, kSizeWarningTitle);
            if (answer != MessageAnswer::Yes) return;
            drawing_.AdoptPictureSize(RoundToInt32(width), RoundToInt32(height));
        }
        const int state = CheckValue(chkExposure);
        if (StoredNumber(platform_.Settings()) != double(state)) {
            const BusyScope busy(platform_.Busy());
            const float maximum = drawing_.FindMaximum();
            drawing_.RedrawGMPic1(state == 0 ? 255.0f : maximum);
        }
        WriteAutoAdjustExposure(platform_.Settings(), QString::number(state));
        drawing_.SetFogText(QString::number(scrFog->value()));
        drawing_.SetIntensityText(QString::number(scrIntensity->value()));
        accept();
    });
}

void frmOptions::cmdCancel_Click() { QDialog::reject(); }

// Escape and the close box are Cancel.
void frmOptions::reject() { cmdCancel_Click(); }
