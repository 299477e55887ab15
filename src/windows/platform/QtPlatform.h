#pragma once

#include "core/files/QtPictureFiles.h"
#include "core/platform/Platform.h"

class QtMessageBoxes : public MessageBoxes {
protected:
    MessageAnswer Present(const MessageRequest& request) override;
};

class QtBusyPointer : public BusyPointer {
public:
    void ShowBusy() override;
    void ShowDefault() override;
};

class QtDisplaySettings : public DisplaySettings {
public:
    std::optional<int> ColorDepth() override;
};

class QtSettingsStore : public SettingsStore {
public:
    QString Read(const QString& application, const QString& section, const QString& key,
                 const QString& fallback) override;
    void Write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;
};

class QtColorDialog : public ColorDialog {
public:
    std::optional<ColorValue> Choose(const ColorDialogRequest& request) override;
};

class QtFileChooser : public FileChooser {
public:
    FileChooserAnswer Choose(const FileChooserRequest& request) override;

private:
    // A chooser asked for no folder opens where the user last chose a file, loading or saving.
    QString lastFolder_;
};

class QtProgramStarter : public ProgramStarter {
public:
    bool Start(const QString& program) override;
};

class QtPlatform : public Platform {
public:
    MessageBoxes& Messages() override { return messages_; }
    BusyPointer& Busy() override { return busy_; }
    DisplaySettings& Display() override { return display_; }
    SettingsStore& Settings() override { return settings_; }
    ColorDialog& Colors() override { return colors_; }
    FileChooser& Files() override { return files_; }
    PictureFiles& Pictures() override { return pictures_; }
    ProgramStarter& Programs() override { return programs_; }

private:
    QtMessageBoxes messages_;
    QtBusyPointer busy_;
    QtDisplaySettings display_;
    QtSettingsStore settings_;
    QtColorDialog colors_;
    QtFileChooser files_;
    QtPictureFiles pictures_;
    QtProgramStarter programs_;
};
