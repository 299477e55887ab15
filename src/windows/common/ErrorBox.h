#pragma once

#include "core/common/Failure.h"
#include "core/platform/MessageBoxes.h"

#include <new>
#include <utility>

// The "Error" box: the failure's description, critical icon, one OK button.
void ShowErrorBox(MessageBoxes& messages, const Failure& failure);

// Runs `operation`; a failure it raises is shown in the "Error" box and the rest of the
// operation is abandoned. Returns whether the operation ran to its end.
template <typename Operation>
bool RunReportingFailures(MessageBoxes& messages, Operation&& operation) {
    try {
        std::forward<Operation>(operation)();
        return true;
    } catch (const Failure& failure) {
        ShowErrorBox(messages, failure);
    } catch (const std::bad_alloc&) {
        ShowErrorBox(messages, Failure::OutOfMemory());
    }
    return false;
}
