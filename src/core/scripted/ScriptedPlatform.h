#pragma once

#include "core/platform/Platform.h"

#include "core/common/Failure.h"
#include "core/files/QtPictureFiles.h"

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

// Stand-ins for the platform services that would block or reach outside the program.
// Each records what it was asked and answers from a queue that a test fills.

class ScriptedMessageBoxes : public MessageBoxes {
public:
    std::deque<MessageAnswer> answers;
    std::vector<MessageRequest> shown;

protected:
    // With the queue empty a box with one button is answered OK and a question is
    // declined (Cancel, No), so that an unscripted question never loops or overwrites.
    MessageAnswer Present(const MessageRequest& request) override;
};

class ScriptedBusyPointer : public BusyPointer {
public:
    std::vector<std::string> events;  // "busy" and "default", in the order they came
    int depth = 0;                    // busy scopes open now

    void ShowBusy() override;
    void ShowDefault() override;
};

class ScriptedDisplaySettings : public DisplaySettings {
public:
    std::deque<std::optional<int>> depths;  // answers in order; 32 bits once empty

    std::optional<int> ColorDepth() override;
};

class ScriptedSettingsStore : public SettingsStore {
public:
    // (application, section, key) -> text
    std::map<std::tuple<QString, QString, QString>, QString> values;
    int reads = 0;
    int writes = 0;

    QString Read(const QString& application, const QString& section, const QString& key,
                 const QString& fallback) override;
    void Write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;
};

class ScriptedColorDialog : public ColorDialog {
public:
    // Answers in order: a colour, nothing for a cancel, or a failure to raise. Cancels once empty.
    std::deque<std::variant<std::optional<ColorValue>, Failure>> answers;
    std::vector<ColorDialogRequest> requests;

    std::optional<ColorValue> Choose(const ColorDialogRequest& request) override;
};

class ScriptedFileChooser : public FileChooser {
public:
    std::deque<FileChooserAnswer> answers;  // cancels once empty
    std::vector<FileChooserRequest> requests;

    FileChooserAnswer Choose(const FileChooserRequest& request) override;
};

class ScriptedProgramStarter : public ProgramStarter {
public:
    std::vector<QString> started;  // every program asked for, in order
    bool succeed = true;

    bool Start(const QString& program) override;
};

// Real picture files, read from the temporary folders tests make, with a record of every
// decode.
class ScriptedPictureFiles : public QtPictureFiles {
public:
    std::vector<QString> loaded;  // every path decoded, in order

    using PictureFiles::Load;
    QImage Load(const QString& path, const RowsDecoded& rowsDecoded) override;
};

class ScriptedPlatform : public Platform {
public:
    ScriptedMessageBoxes messages;
    ScriptedBusyPointer busy;
    ScriptedDisplaySettings display;
    ScriptedSettingsStore settings;
    ScriptedColorDialog colors;
    ScriptedFileChooser files;
    ScriptedPictureFiles pictures;
    ScriptedProgramStarter programs;

    MessageBoxes& Messages() override { return messages; }
    BusyPointer& Busy() override { return busy; }
    DisplaySettings& Display() override { return display; }
    SettingsStore& Settings() override { return settings; }
    ColorDialog& Colors() override { return colors; }
    FileChooser& Files() override { return files; }
    PictureFiles& Pictures() override { return pictures; }
    ProgramStarter& Programs() override { return programs; }
};
