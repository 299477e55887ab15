#pragma once

#include "platform/BusyPointer.h"
#include "platform/ColorDialog.h"
#include "platform/DisplaySettings.h"
#include "platform/FileChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/PictureFiles.h"
#include "platform/ProgramStarter.h"
#include "platform/SettingsStore.h"

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
