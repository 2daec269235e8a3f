#pragma once

#include "Platform.h"

#include <exception>
#include <utility>

// Runs one handler body. A failure ends the handler and is shown in the general error box, in
// Chinese with its own message as the detail; nothing is thrown through the event loop, and what
// was posted before stays in the bank.
template <typename F> void Guarded(F &&body) {
    try {
        std::forward<F>(body)();
    } catch (const std::exception &e) {
        ShowErrorBox(FailureBoxText(e));
    } catch (...) {
        ShowErrorBox(ErrorBoxText(QString()));
    }
}
