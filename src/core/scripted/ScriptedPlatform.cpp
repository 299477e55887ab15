#include "core/scripted/ScriptedPlatform.h"

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
    if (depths.empty()) return 32;
    const std::optional<int> depth = depths.front();
    depths.pop_front();
    return depth;
}

QString ScriptedSettingsStore::Read(const QString& application, const QString& section, const QString& key,
                                    const QString& fallback) {
    ++reads;
    const auto found = values.find({application, section, key});
    return found == values.end() ? fallback : found->second;
}

void ScriptedSettingsStore::Write(const QString& application, const QString& section, const QString& key,
                                  const QString& value) {
    ++writes;
    values[{application, section, key}] = value;
}

std::optional<ColorValue> ScriptedColorDialog::Choose(const ColorDialogRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    const auto answer = answers.front();
    answers.pop_front();
    if (const auto* failure = std::get_if<Failure>(&answer)) throw *failure;
    return std::get<std::optional<ColorValue>>(answer);
}

FileChooserAnswer ScriptedFileChooser::Choose(const FileChooserRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return {};
    const FileChooserAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedProgramStarter::Start(const QString& program) {
    started.push_back(program);
    return succeed;
}

QImage ScriptedPictureFiles::Load(const QString& path, const RowsDecoded& rowsDecoded) {
    loaded.push_back(path);
    return QtPictureFiles::Load(path, rowsDecoded);
}
