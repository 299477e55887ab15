#include "platform/scripted/ScriptedPlatform.h"

MessageAnswer ScriptedMessageBoxes::Present(const MessageRequest& request) {
    shown.push_back(request);
    if (!answers.empty()) {
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (request.buttons) {
        case MessageButtons::Ok: return MessageAnswer::Ok;
        case MessageButtons::OkCancel: return MessageAnswer::Cancel;
        case MessageButtons::YesNo: return MessageAnswer::No;
    }
    return MessageAnswer::Cancel;
}

void ScriptedBusyPointer::ShowBusy() {
    events.emplace_back("busy");
    ++depth;
}

void ScriptedBusyPointer::ShowDefault() {
    events.emplace_back("default");
    --depth;
}

std::optional<int> ScriptedDisplaySettings::ColorDepth() {
    ++queries;
    if (depths.empty()) return 32;
    const std::optional<int> depth = depths.front();
    depths.pop_front();
    return depth;
}
