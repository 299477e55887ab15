// Any texts as a file dialog's filter and as the names a dialog hands back: the filter is
// converted the same way every time, and splitting names never does more than fail.

#include "core/common/Failure.h"
#include "core/dialogs/cFileDialog.h"
#include "core/scripted/ScriptedPlatform.h"

#include <QString>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ScriptedFileChooser chooser;
    cFileDialog dialog(chooser);
    try {
        dialog.SetFilter(text);
        const QString& converted = *dialog.Record().lpstrFilter;
        if (converted.size() != text.size() + 2 || converted.contains(u'|') || converted.contains(u':')) {
            __builtin_trap();
        }
    } catch (const Failure& failure) {
        if (failure.Number() != FailureNumber::Overflow || text.size() <= 32767) __builtin_trap();
    }
    // The same text as what a multiple-selection dialog handed back.
    chooser.answers.push_back({true, text, 1});
    dialog.Setflags(0x200);
    try {
        dialog.ShowOpen();
        QString folder;
        QStringList names;
        std::int32_t count = 0;
        dialog.ParseMultiFileName(folder, names, count);
        if (count != names.size() || count < 1) __builtin_trap();
    } catch (const Failure& failure) {
        if (failure.Number() != FailureNumber::InvalidArgument) __builtin_trap();
    }
    return 0;
}
