#pragma once

#include "platform/BusyPointer.h"
#include "platform/DisplaySettings.h"
#include "platform/MessageBoxes.h"

// The services of the system the program runs on, one interface each. The program
// uses the Qt implementation; tests use the scripted one, which records every call and
// answers from queues.
class Platform {
public:
    virtual ~Platform() = default;
    virtual MessageBoxes& Messages() = 0;
    virtual BusyPointer& Busy() = 0;
    virtual DisplaySettings& Display() = 0;
};
