#pragma once

#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

// Flag bits of the platform's open and save dialogs that the program uses.
namespace FileChooserFlags {
inline constexpr std::uint32_t HideReadOnly = 0x4;
inline constexpr std::uint32_t AllowMultiSelect = 0x200;
inline constexpr std::uint32_t PathMustExist = 0x800;
inline constexpr std::uint32_t FileMustExist = 0x1000;
inline constexpr std::uint32_t Explorer = 0x80000;
}  // namespace FileChooserFlags

struct FileChooserRequest {
    bool save = false;                                     // the save dialog rather than the open one
    std::int32_t owner = 0;                                // the owner window's handle
    std::vector<std::pair<QString, QString>> filters;      // (description, patterns separated by ";")
    std::int32_t filterIndex = 1;                          // from 1
    QString initialName;
    QString initialDir;
    QString title;
    QString defaultExt;
    std::uint32_t flags = 0;

    bool operator==(const FileChooserRequest&) const = default;
};

struct FileChooserAnswer {
    bool confirmed = false;
    // The chosen path; with several files chosen, the folder, a NUL, each name followed by
    // a NUL, and one more NUL.
    QString files;
    std::int32_t filterIndex = 1;
};

// The platform's modal file chooser.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual FileChooserAnswer Choose(const FileChooserRequest& request) = 0;
};
