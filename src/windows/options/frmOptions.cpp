// The options dialog's window and controls. Positions are given in twips, as the layout
// was drawn, and placed at 15 twips to a pixel.

#include "windows/options/frmOptions.h"

#include "windows/common/FittingFont.h"
#include "core/common/Twips.h"
#include "core/options/FalloffGraph.h"
#include "windows/picture/PictureBox.h"
#include "core/platform/Platform.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

namespace {

constexpr int kScrollMaximum = 100;
constexpr int kScrollPageStep = 10;
constexpr int kScrollStartValue = 10;

// A value stands right-aligned in the room between its caption and its bar and ends two
// pixels short of the bar, so that the widest, "100", never runs under the bar's arrow.
constexpr int kValueLeft = 120 + 915;  // where the longer caption, "Fog (diffuse):", ends
constexpr int kValueRight = 1560 - 2 * kTwipsPerPixel;
constexpr int kValueHeight = 195;

template <typename Widget>
Widget* Place(Widget* widget, const char* name, QRect geometry) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

QScrollBar* MakeScrollBar(QWidget* parent, const char* name, QRect geometry) {
    auto* bar = Place(new QScrollBar(Qt::Horizontal, parent), name, geometry);
    bar->setRange(0, kScrollMaximum);
    bar->setPageStep(kScrollPageStep);
    bar->setSingleStep(1);
    bar->setValue(kScrollStartValue);
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

QLabel* MakeValueLabel(QWidget* parent, const char* name, int top) {
    auto* label = Place(new QLabel(QStringLiteral("..."), parent), name,
                        TwipsRect(kValueLeft, top, kValueRight - kValueLeft, kValueHeight));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

frmOptions::frmOptions(frmDrawing& drawing, Platform& platform)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      drawing_(drawing),
      platform_(platform),
      GMPicGraph(graphPixels_, platform.Messages()) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(TwipsToPixels(4980), TwipsToPixels(5130));
    BuildControls();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

frmOptions::~frmOptions() = default;

void frmOptions::BuildControls() {
    Frame2 = Place(new QGroupBox(QStringLiteral("General Options:"), this), "Frame2", TwipsRect(120, 120, 4695, 855));
    chkExposure = Place(new QCheckBox(QStringLiteral("Automatically adjust exposure to prevent overexposure"), Frame2),
                        "chkExposure", TwipsRect(240, 360, 4215, 255));

    Frame3 = Place(new QGroupBox(QStringLiteral("Parameters For New Lights:"), this), "Frame3",
                   TwipsRect(120, 1080, 4695, 2295));
    lbl[2] = Place(new QLabel(QStringLiteral("Fog (diffuse):"), Frame3), "lbl2", TwipsRect(120, 1320, 915, 195));
    scrFog = MakeScrollBar(Frame3, "scrFog", TwipsRect(1560, 1320, 3015, 255));
    lblFog = MakeValueLabel(Frame3, "lblFog", 1320);
    lbl[3] = Place(new QLabel(QStringLiteral("Intensity:"), Frame3), "lbl3", TwipsRect(120, 1680, 630, 195));
    scrIntensity = MakeScrollBar(Frame3, "scrIntensity", TwipsRect(1560, 1680, 3015, 255));
    lblIntensity = MakeValueLabel(Frame3, "lblIntensity", 1680);

    // The graph lies over the top of its frame, so it is made after it.
    picGraph = Place(new PictureBox(this), "picGraph", TwipsRect(240, 1320, 4455, 975));
    picGraph->SetBoxSize(TwipsToPixels(4455), TwipsToPixels(975));
    picGraph->SetBackColor(0xFFFFFF);
    picGraph->setFocusPolicy(Qt::StrongFocus);

    Frame1 = Place(new QGroupBox(QStringLiteral("Picture Size (in pixels):"), this), "Frame1",
                   TwipsRect(120, 3480, 4695, 855));
    lbl[0] = Place(new QLabel(QStringLiteral("Width:"), Frame1), "lbl0", TwipsRect(1200, 360, 465, 195));
    txtWidth = Place(new QLineEdit(QStringLiteral("640"), Frame1), "txtWidth", TwipsRect(1800, 360, 855, 285));
    lbl[1] = Place(new QLabel(QStringLiteral("Height:"), Frame1), "lbl1", TwipsRect(3000, 360, 510, 195));
    txtHeight = Place(new QLineEdit(QStringLiteral("480"), Frame1), "txtHeight", TwipsRect(3600, 360, 855, 285));

    cmdOK = Place(new QPushButton(QStringLiteral("OK"), this), "cmdOK", TwipsRect(2280, 4560, 1215, 375));
    cmdOK->setDefault(true);
    cmdCancel = Place(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel", TwipsRect(3600, 4560, 1215, 375));

    std::vector<CaptionRoom> captions;
    for (const QLabel* label : lbl) captions.push_back({label->text(), label->width(), label->height()});
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                          style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    captions.push_back({chkExposure->text(), chkExposure->width() - indicator, chkExposure->height()});
    setFont(FittingFont(font(), captions));

    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, txtWidth);
    setTabOrder(txtWidth, txtHeight);
    setTabOrder(txtHeight, chkExposure);
    setTabOrder(chkExposure, scrFog);
    setTabOrder(scrFog, scrIntensity);
    setTabOrder(scrIntensity, picGraph);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(scrFog, &QScrollBar::valueChanged, this, &frmOptions::UpdateGraph);
    connect(scrIntensity, &QScrollBar::valueChanged, this, &frmOptions::UpdateGraph);
}
