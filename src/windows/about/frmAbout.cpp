#include "windows/about/frmAbout.h"

#include "core/common/Twips.h"
#include "core/platform/ProgramStarter.h"
#include "windows/about/AboutTexts.h"

#include <QStringList>

namespace {

const QString kArialBlack = QStringLiteral("Arial Black");
constexpr int kNineThreeQuarterPoints = 13;

}  // namespace

frmAbout::frmAbout() : AboutWindow("frmAbout", 6045) {
    AddPicture("Image1", TwipsRect(120, 0, 4575, 1005), QStringLiteral(":/about/glimmerage-title.png"));
    AddHeading("Label4", TwipsRect(240, 1560, 2400, 195), QStringLiteral("What does this program do?"));
    AddTextBox("Text4", TwipsRect(240, 1800, 4695, 1455), AboutTexts::GlimmerageDescription());
    AddHeading("Label6", TwipsRect(240, 3240, 1710, 195), QStringLiteral("Redistribution Note:"));
    AddTextBox("Text3", TwipsRect(240, 3480, 4815, 735), AboutTexts::RedistributionNote());
    AddHeading("Label5", TwipsRect(240, 4200, 570, 195), QStringLiteral("About:"));
    AddTextBox("Text2", TwipsRect(240, 4440, 4815, 975), AboutTexts::GlimmerageVersion());
    AddContinueLink(TwipsRect(240, 5400, 3090, 270));
    AddPicture("Image2", TwipsRect(5400, 0, 3465, 6015), QStringLiteral(":/about/glimmerage-examples.png"));
    AddHiddenCloseButton(TwipsRect(9600, 2400, 1455, 495));
}

frmAbout2::frmAbout2(ProgramStarter& programs) : AboutWindow("frmAbout2", 5715), programs_(programs) {
    AddPicture("Image1", TwipsRect(120, 120, 4755, 735), QStringLiteral(":/about/ombravon-title.png"));
    AddCaption("Label2", TwipsRect(240, 840, 3345, 270), QStringLiteral("For use in conjunction with"), kArialBlack,
               kNineThreeQuarterPoints, true);
    LinkLabel* paint = AddLink("Label3", TwipsRect(3720, 840, 1290, 345), QStringLiteral("MS Paint"), kArialBlack, kTwelvePoints);
    connect(paint, &LinkLabel::clicked, this, &frmAbout2::Label3_Click);
    AddHeading("Label4", TwipsRect(240, 1440, 2400, 195), QStringLiteral("What does this program do?"));
    AddTextBox("Text1", TwipsRect(240, 1680, 4695, 1335), AboutTexts::OmbravonDescription());
    AddHeading("Label6", TwipsRect(240, 3000, 1710, 195), QStringLiteral("Redistribution Note:"));
    AddTextBox("Text3", TwipsRect(240, 3240, 4815, 735), AboutTexts::RedistributionNote());
    AddHeading("Label5", TwipsRect(240, 3960, 570, 195), QStringLiteral("About:"));
    AddTextBox("Text2", TwipsRect(240, 4200, 4815, 855), AboutTexts::OmbravonVersion());
    AddContinueLink(TwipsRect(240, 5040, 3090, 270));
    AddPicture("Image2", TwipsRect(5400, 0, 3480, 5580), QStringLiteral(":/about/ombravon-examples.png"));
    AddHiddenCloseButton(TwipsRect(9120, 3000, 1455, 495));
}

// Windows has Paint under two names and both are started; elsewhere the first paint
// program that starts is enough. A program that cannot be started is passed over silently.
void frmAbout2::Label3_Click() {
#if defined(Q_OS_WIN)
    programs_.Start(QStringLiteral("Pbrush.exe"));
    programs_.Start(QStringLiteral("MSPaint.exe"));
#else
    for (const QString& program : {QStringLiteral("kolourpaint"), QStringLiteral("pinta"), QStringLiteral("gimp")}) {
        if (programs_.Start(program)) break;
    }
#endif
}
