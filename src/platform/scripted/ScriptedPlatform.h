#pragma once

#include "platform/Platform.h"

#include <deque>
#include <optional>
#include <string>
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
    int queries = 0;

    std::optional<int> ColorDepth() override;
};

class ScriptedPlatform : public Platform {
public:
    ScriptedMessageBoxes messages;
    ScriptedBusyPointer busy;
    ScriptedDisplaySettings display;

    MessageBoxes& Messages() override { return messages; }
    BusyPointer& Busy() override { return busy; }
    DisplaySettings& Display() override { return display; }
};
