#include "windows/platform/QtPlatform.h"

#include "core/common/Failure.h"

#include <QApplication>
#include <QColorDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QSettings>

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::Exclamation: return QMessageBox::Warning;
        case MessageIcon::Critical: return QMessageBox::Critical;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MessageAnswer QtMessageBoxes::Present(const MessageRequest& request) {
    // Our texts separate lines with CR LF pairs; a label wants plain line feeds.
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    QMessageBox box(ToQtIcon(request.icon), request.title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    switch (request.buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Ok: return MessageAnswer::Ok;
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        default: return MessageAnswer::Cancel;
    }
}

void QtBusyPointer::ShowBusy() { QGuiApplication::setOverrideCursor(Qt::BusyCursor); }

void QtBusyPointer::ShowDefault() {
    if (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
}

std::optional<int> QtDisplaySettings::ColorDepth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return std::nullopt;
    return screen->depth();
}

namespace {

// The application's own settings file: on Linux $XDG_CONFIG_HOME/<organization>/<application>.conf.
QSettings OpenSettings(const QString& application) {
    const QString organization =
        QCoreApplication::organizationName().isEmpty() ? application : QCoreApplication::organizationName();
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, organization, application);
}

QString SettingsKey(const QString& section, const QString& key) { return section + u'/' + key; }

// Like the other failures of files, the settings file's carry the number of an I/O error.
constexpr int kSettingsFileFailure = 75;

}  // namespace

QString QtSettingsStore::Read(const QString& application, const QString& section, const QString& key,
                              const QString& fallback) {
    return OpenSettings(application).value(SettingsKey(section, key), fallback).toString();
}

void QtSettingsStore::Write(const QString& application, const QString& section, const QString& key,
                            const QString& value) {
    QSettings settings = OpenSettings(application);
    settings.setValue(SettingsKey(section, key), value);
    settings.sync();
    // A setting that is silently lost would come back changed at the next start.
    if (settings.status() != QSettings::NoError) {
        throw Failure(kSettingsFileFailure,
                      QStringLiteral("Cannot write the settings file \"%1\".").arg(settings.fileName()));
    }
}

std::optional<ColorValue> QtColorDialog::Choose(const ColorDialogRequest& request) {
    for (int slot = 0; slot < int(request.customColors.size()) && slot < QColorDialog::customCount(); ++slot) {
        QColorDialog::setCustomColor(slot, ToQColor(request.customColors[size_t(slot)]));
    }
    // Qt's own dialog always shows its custom colours, the same on every desktop. The
    // program gives no starting colour, so the dialog starts on black, not on Qt's white.
    QColorDialog dialog(Qt::black, QApplication::activeWindow());
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return FromQColor(dialog.selectedColor());
}

bool QtProgramStarter::Start(const QString& program) { return QProcess::startDetached(program, {}); }
