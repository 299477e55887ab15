// Any text through the rules for reading numbers, with the promises they make each other:
// a numeric text has a value and reads as a float unless it is too large for one.

#include "core/common/Failure.h"
#include "core/common/NumberText.h"

#include <QString>

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    bool valueOverflows = false;
    double value = 0.0;
    try {
        value = TextValue(text);
    } catch (const Failure& failure) {
        if (failure.Number() != FailureNumber::Overflow) __builtin_trap();
        valueOverflows = true;
    }
    if (!valueOverflows && !std::isfinite(value)) __builtin_trap();
    const bool numeric = IsNumeric(text);
    if (numeric && valueOverflows) __builtin_trap();
    try {
        const float single = TextToSingle(text);
        if (!numeric || !std::isfinite(single)) __builtin_trap();
    } catch (const Failure& failure) {
        const bool expected = failure.Number() == FailureNumber::TypeMismatch ? !numeric
                                                                               : failure.Number() == FailureNumber::Overflow && numeric;
        if (!expected) __builtin_trap();
    }
    return 0;
}
