#include "windows/editor/ColorChooser.h"

#include "core/platform/ColorDialog.h"
#include "windows/common/ErrorBox.h"

ColorValue ChooseColor(ColorDialog& dialog, MessageBoxes& messages) {
    ColorValue chosen = 0;
    RunReportingFailures(messages, [&] {
        ColorDialogRequest request;
        request.customColors.fill(0);
        request.customPartOpen = true;
        const std::optional<ColorValue> answer = dialog.Choose(request);
        chosen = answer ? *answer : -1;
    });
    return chosen;
}
