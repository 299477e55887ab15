#include "windows/about/AboutTexts.h"

#include <QStringList>

namespace {

QString Lines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) text += line + QStringLiteral("\r\n");
    return text;
}

}  // namespace

namespace AboutTexts {

QString GlimmerageDescription() {
    return Lines({
        QStringLiteral("This program allows you to add some nice Glimmerage to your "),
        QStringLiteral("pictures (look at the pictures on the right to see some examples)."),
        QStringLiteral("Just load a picture and then click on it to add the lights. Use the"),
        QStringLiteral("right mouse button to pick the color of the pixel that is under the"),
        QStringLiteral("cursor. Make sure to select a color before adding a light. You"),
        QStringLiteral("may also click \"Options...\" from the menu that is at the top."),
    });
}

QString OmbravonDescription() {
    return Lines({
        QStringLiteral("This program allows you to easily improve the drawings created "),
        QStringLiteral("with MS Paint by replacing the solid colors with beautiful gradients. "),
        QStringLiteral("Just load a picture and click on the areas that you want to replace "),
        QStringLiteral("with a gradient. Use the right mouse button to choose the direction "),
        QStringLiteral("of the gradient."),
    });
}

QString RedistributionNote() {
    return Lines({
        QStringLiteral("You may copy and give away this program freely, as long as"),
        QStringLiteral("it is passed on whole and unchanged, and free of charge."),
    });
}

QString GlimmerageVersion() { return QStringLiteral("Version 1.5 - for Windows98/2000/XP or compatible."); }

QString OmbravonVersion() { return QStringLiteral("Version 1.1 - for Windows98/2000/XP or compatible."); }

}  // namespace AboutTexts
