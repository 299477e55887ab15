#include "windows/common/ErrorBox.h"

void ShowErrorBox(MessageBoxes& messages, const Failure& failure) {
    messages.Show(failure.Description(), MessageButtons::Ok, MessageIcon::Critical,
                  QStringLiteral("Error"));
}
