#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class FileChooser;

// The dialog record as it is handed to the platform; a text member that was never set is
// absent rather than empty.
struct OpenFileNameRecord {
    std::int32_t lStructSize = 76;
    std::int32_t hwndOwner = 0;
    std::int32_t hInstance = 0;
    std::optional<QString> lpstrFilter;
    std::optional<QString> lpstrCustomFilter;
    std::int32_t nMaxCustFilter = 0;
    std::int32_t nFilterIndex = 1;
    std::optional<QString> lpstrFile;
    std::int32_t nMaxFile = 0;
    std::optional<QString> lpstrFileTitle;
    std::int32_t nMaxFileTitle = 0;
    std::optional<QString> lpstrInitialDir;
    std::optional<QString> lpstrTitle;
    std::int32_t Flags = 0;
    std::int16_t nFileOffset = 0;
    std::int16_t nFileExtension = 0;
    std::optional<QString> lpstrDefExt;
    std::int32_t lCustData = 0;
    std::int32_t lpfnHook = 0;
    std::optional<QString> lpTemplateName;
};

// A file dialog for one command: set the properties, show it, read the chosen name back
// from Filename. A cancelled dialog leaves Filename as it was (empty for a new object)
// unless CancelError asks for a failure instead. Failures are thrown to the caller.
class cFileDialog {
public:
    explicit cFileDialog(FileChooser& chooser);

    bool CancelError() const { return cancelError_; }
    void SetCancelError(bool value) { cancelError_ = value; }
    const QString& Filename() const { return filename_; }
    void SetFilename(const QString& value);
    const QString& FileTitle() const { return fileTitle_; }
    void SetFileTitle(const QString& value) { fileTitle_ = value; }
    const QString& Filter() const { return filter_; }
    void SetFilter(const QString& value);
    std::int32_t FilterIndex() const { return record_.nFilterIndex; }
    void SetFilterIndex(std::int32_t value) { record_.nFilterIndex = value; }
    const QString& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const QString& value);
    QString DialogTitle() const { return record_.lpstrTitle.value_or(QString()); }
    void SetDialogTitle(const QString& value) { record_.lpstrTitle = value; }
    std::int32_t flags() const { return flags_; }
    void Setflags(std::int32_t value) { flags_ = value; }
    std::int32_t hwnd() const { return record_.hwndOwner; }
    void Sethwnd(std::int32_t value) { record_.hwndOwner = value; }
    const QString& InitDir() const { return initDir_; }
    void SetInitDir(const QString& value);

    void ShowOpen();
    void ShowSave();
    // Splits what a multiple-selection open left in Filename into the folder and the names.
    void ParseMultiFileName(QString& sDir, QStringList& sFiles, std::int32_t& lFileCount) const;

    const OpenFileNameRecord& Record() const { return record_; }

private:
    void Show(bool save, std::int32_t bufferSize);
    static QString TrimAtNull(const QString& text);

    FileChooser& chooser_;
    OpenFileNameRecord record_;
    bool cancelError_ = false;
    QString filename_;
    QString fileTitle_;
    QString filter_;
    QString defaultExt_;
    QString initDir_;
    std::int32_t flags_ = 0;
};
