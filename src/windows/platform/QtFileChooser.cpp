#include "windows/platform/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QWidget>

namespace {

// Qt reads the patterns from the last parentheses of a filter, separated by spaces, and
// on most systems matches them case-sensitively: "*.jpg;*.gif" becomes "*.jpg *.JPG ...".
QString QtNameFilter(const QString& description, const QString& patterns) {
    QStringList all;
    for (const QString& pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
        all << pattern.trimmed();
        if (pattern.toUpper() != pattern) all << pattern.trimmed().toUpper();
    }
    QString label = description;
    if (label.endsWith(u')') && label.contains(u'(')) label = label.left(label.lastIndexOf(u'(')).trimmed();
    return QStringLiteral("%1 (%2)").arg(label, all.join(u' '));
}

// The only files this program opens are pictures, and Qt reads more kinds of them than a
// caller's own filter names: offer every kind the readers installed here decode, and any
// file at all, after the caller's filters.
QStringList ReadableFileFilters() {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString suffix = QString::fromLatin1(format).toLower();
        patterns << QStringLiteral("*.") + suffix << QStringLiteral("*.") + suffix.toUpper();
    }
    return {QStringLiteral("All pictures (%1)").arg(patterns.join(u' ')), QStringLiteral("All files (*)")};
}

QWidget* OwnerWindow(std::int32_t handle) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && std::int32_t(window->winId()) == handle) return window;
    }
    return QApplication::activeWindow();
}

}  // namespace

FileChooserAnswer QtFileChooser::Choose(const FileChooserRequest& request) {
    QFileDialog dialog(OwnerWindow(request.owner), request.title);
    QStringList filters;
    for (const auto& [description, patterns] : request.filters) filters << QtNameFilter(description, patterns);
    if (!request.save && (request.flags & FileChooserFlags::FileMustExist) != 0) filters << ReadableFileFilters();
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.filterIndex - 1, filters.first()));
    }
    const bool multiple = !request.save && (request.flags & FileChooserFlags::AllowMultiSelect) != 0;
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else if (multiple) {
        dialog.setFileMode(QFileDialog::ExistingFiles);
    } else if (request.flags & FileChooserFlags::FileMustExist) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // An open dialog that may name a file not there yet: the save command uses it so.
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (!request.initialDir.isEmpty()) dialog.setDirectory(request.initialDir);
    else if (!lastFolder_.isEmpty()) dialog.setDirectory(lastFolder_);
    if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
    if (!request.defaultExt.isEmpty()) dialog.setDefaultSuffix(request.defaultExt);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    FileChooserAnswer answer;
    answer.confirmed = true;
    answer.filterIndex = std::int32_t(filters.indexOf(dialog.selectedNameFilter()) + 1);
    const QStringList chosen = dialog.selectedFiles();
    lastFolder_ = QFileInfo(chosen.first()).absolutePath();
    if (multiple && chosen.size() > 1) {
        const QChar nul(u'\0');
        answer.files = QDir::toNativeSeparators(lastFolder_) + nul;
        for (const QString& path : chosen) answer.files += QFileInfo(path).fileName() + nul;
        answer.files += nul;
    } else {
        answer.files = QDir::toNativeSeparators(chosen.first());
    }
    return answer;
}
