#pragma once

#include "platform/Platform.h"

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

class QtPlatform : public Platform {
public:
    MessageBoxes& Messages() override { return messages_; }
    BusyPointer& Busy() override { return busy_; }
    DisplaySettings& Display() override { return display_; }

private:
    QtMessageBoxes messages_;
    QtBusyPointer busy_;
    QtDisplaySettings display_;
};
