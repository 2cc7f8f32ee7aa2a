// The wall between our handlers and Windows: no exception may cross a window
// procedure, hook or callback that Windows calls (with DWARF-2 unwinding it
// would end the process). Every such entry point runs its body through one of
// these; an error is shown by the application's error display and the
// message loop goes on.
#pragma once

#include <windows.h>

namespace corvinade::gui {

// Shows the exception being handled (call only inside a catch block) with the
// application's error display, or a plain box when there is no application.
void HandleCurrentException() noexcept;

template <class F> void Guarded(F&& body) noexcept {
    try {
        body();
    } catch (...) {
        HandleCurrentException();
    }
}

// For callbacks that answer: the body's result, or `fallback` after an error.
template <class F> LRESULT GuardedResult(LRESULT fallback, F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        HandleCurrentException();
        return fallback;
    }
}

} // namespace corvinade::gui
