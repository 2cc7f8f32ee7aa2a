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

// A hidden window of its own for code that needs one to receive messages
// (timers, tray callbacks): the handler sees every message first and says
// whether it answered. Message-only unless it must take the foreground.
class HelperWindow {
public:
    using Handler = bool (*)(void* context, UINT msg, WPARAM, LPARAM, LRESULT& result);
    HelperWindow(void* context, Handler handler, bool messageOnly);
    HelperWindow(const HelperWindow&) = delete;
    HelperWindow& operator=(const HelperWindow&) = delete;
    ~HelperWindow();
    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    void* context_;
    Handler handler_;
    HWND window_ = nullptr;
};

} // namespace corvinade::gui
