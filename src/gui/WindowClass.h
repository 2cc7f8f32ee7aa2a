// Our own window classes, each registered once for the process. They are
// wide (Unicode) classes, so their windows and controls hold any text.
#pragma once

#include <windows.h>

namespace corvinade::gui {

struct WindowClassArgs {
    const wchar_t* name = nullptr;
    WNDPROC proc = nullptr;
    UINT style = 0;
    HCURSOR cursor = nullptr; // null: the arrow
    HBRUSH background = nullptr;
    bool programIcon = false;
};

// Registers the class the first time it is asked for; throws Error when
// the system refuses.
void RegisterWindowClass(const WindowClassArgs& args);

} // namespace corvinade::gui
