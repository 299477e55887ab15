#include "core/dialogs/cFileDialog.h"

#include "core/common/Failure.h"
#include "core/platform/FileChooser.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <limits>

namespace {

constexpr std::int32_t kBufferSize = 1024;
constexpr std::int32_t kMultiSelectBufferSize = 8192;
constexpr int kCancelled = 32755;
const QChar kNul(u'\0');
const QString kTwoNuls(2, kNul);

QString PaddedWithNuls(const QString& text, std::int32_t size) {
    if (text.size() > size) throw Failure::InvalidArgument();
    return text + QString(size - text.size(), kNul);
}

// The converted filter is a list of NUL-terminated texts: description, patterns, and so on.
std::vector<std::pair<QString, QString>> FilterPairs(const std::optional<QString>& converted) {
    std::vector<std::pair<QString, QString>> pairs;
    if (!converted) return pairs;
    const QStringList parts = converted->split(kNul);
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty()) break;
        pairs.emplace_back(parts[i], parts[i + 1]);
    }
    return pairs;
}

QString ExecutableBaseName() { return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(); }

}  // namespace

cFileDialog::cFileDialog(FileChooser& chooser) : chooser_(chooser) {}

void cFileDialog::SetFilename(const QString& value) {
    if (value.size() > kBufferSize) throw Failure::InvalidArgument();
    filename_ = value;
}

void cFileDialog::SetFilter(const QString& value) {
    filter_ = value;
    // The walk over the text counts in 16 bits, so a longer filter overflows.
    if (value.size() > std::numeric_limits<std::int16_t>::max()) throw Failure::Overflow();
    QString converted = value;
    for (QChar& c : converted) {
        if (c == u'|' || c == u':') c = kNul;
    }
    record_.lpstrFilter = converted + kTwoNuls;
}

void cFileDialog::SetDefaultExt(const QString& value) {
    defaultExt_ = value;
    record_.lpstrDefExt = value + kTwoNuls;
}

void cFileDialog::SetInitDir(const QString& value) {
    initDir_ = value;
    record_.lpstrInitialDir = value + kTwoNuls;
}

void cFileDialog::ShowOpen() {
    const bool multiple = (flags_ & FileChooserFlags::AllowMultiSelect) != 0;
    Show(false, multiple ? kMultiSelectBufferSize : kBufferSize);
}

void cFileDialog::ShowSave() { Show(true, kBufferSize); }

void cFileDialog::Show(bool save, std::int32_t bufferSize) {
    record_.Flags = flags_;
    const bool multiple = !save && (flags_ & FileChooserFlags::AllowMultiSelect) != 0;
    if (multiple) record_.Flags = std::int32_t(std::uint32_t(flags_) | FileChooserFlags::Explorer);
    record_.lpstrFile = PaddedWithNuls(filename_, bufferSize);
    record_.nMaxFile = bufferSize;
    record_.lpstrFileTitle = PaddedWithNuls(fileTitle_, bufferSize);
    record_.nMaxFileTitle = bufferSize;

    FileChooserRequest request;
    request.save = save;
    request.owner = record_.hwndOwner;
    request.filters = FilterPairs(record_.lpstrFilter);
    request.filterIndex = record_.nFilterIndex;
    request.initialName = TrimAtNull(*record_.lpstrFile);
    request.initialDir = record_.lpstrInitialDir ? TrimAtNull(*record_.lpstrInitialDir) : QString();
    request.title = record_.lpstrTitle.value_or(QString());
    request.defaultExt = record_.lpstrDefExt ? TrimAtNull(*record_.lpstrDefExt) : QString();
    request.flags = std::uint32_t(record_.Flags);
    const FileChooserAnswer answer = chooser_.Choose(request);

    if (answer.confirmed) {
        // The platform writes into a buffer of fixed size; what does not fit is lost.
        record_.lpstrFile = (answer.files + QString(std::max<qsizetype>(0, bufferSize - answer.files.size()), kNul))
                                .left(bufferSize);
        record_.nFilterIndex = answer.filterIndex;
        filename_ = multiple ? *record_.lpstrFile : TrimAtNull(*record_.lpstrFile);
        return;
    }
    if (cancelError_) {
        throw Failure(kCancelled, QStringLiteral("User selected cancel."),
                      ExecutableBaseName() + (save ? QStringLiteral(".cFilenDialog") : QStringLiteral(".cFileDialog")));
    }
}

void cFileDialog::ParseMultiFileName(QString& sDir, QStringList& sFiles, std::int32_t& lFileCount) const {
    const qsizetype end = filename_.indexOf(kTwoNuls);
    if (end < 0) throw Failure::InvalidArgument();
    const QString s = filename_.left(end);
    const qsizetype firstNul = s.indexOf(kNul);
    if (firstNul < 0) {
        lFileCount = 1;
        sFiles = QStringList{QString()};
        // Either separator: the names may come from either kind of system.
        const qsizetype r = std::max(filename_.lastIndexOf(u'\\'), filename_.lastIndexOf(u'/'));
        if (r < 0) {
            sDir.clear();
            sFiles[0] = TrimAtNull(filename_);
        } else {
            sDir = filename_.left(r + 1);
            sFiles[0] = TrimAtNull(filename_.mid(r + 1));
        }
        return;
    }
    sDir = s.left(firstNul);
    sFiles.clear();
    for (const QString& name : s.mid(firstNul + 1).split(kNul)) {
        ++lFileCount;
        sFiles.append(name);
    }
}

QString cFileDialog::TrimAtNull(const QString& text) {
    const qsizetype nul = text.indexOf(kNul);
    return nul < 0 ? text : text.left(nul);
}
