#pragma once

#include <QString>

enum class MessageIcon { None, Information, Question, Exclamation, Critical };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// One modal message box as the program asks for it, after the title rule below.
struct MessageRequest {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;

    bool operator==(const MessageRequest&) const = default;
};

inline constexpr const char* kApplicationTitle = "Glimmerage";

// Modal message boxes. A box that names no title of its own carries the application's title.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    MessageAnswer Show(const QString& text, MessageButtons buttons, MessageIcon icon,
                       const QString& title = {}) {
        return Present({text, title.isEmpty() ? QString::fromLatin1(kApplicationTitle) : title, icon,
                        buttons});
    }

protected:
    virtual MessageAnswer Present(const MessageRequest& request) = 0;
};
