#pragma once

#include "core/platform/BusyPointer.h"
#include "core/platform/ColorDialog.h"
#include "core/platform/DisplaySettings.h"
#include "core/platform/FileChooser.h"
#include "core/platform/MessageBoxes.h"
#include "core/platform/PictureFiles.h"
#include "core/platform/ProgramStarter.h"
#include "core/platform/SettingsStore.h"

// The services of the system the program runs on, one interface each. The program
// uses the Qt implementation; tests use the scripted one, which records every call and
// answers from queues.
class Platform {
public:
    virtual ~Platform() = default;
    virtual MessageBoxes& Messages() = 0;
    virtual BusyPointer& Busy() = 0;
    virtual DisplaySettings& Display() = 0;
    virtual SettingsStore& Settings() = 0;
    virtual ColorDialog& Colors() = 0;
    virtual FileChooser& Files() = 0;
    virtual PictureFiles& Pictures() = 0;
    virtual ProgramStarter& Programs() = 0;
};
