// One object of ours behind one window, and the one way a message reaches
// it. The application window, forms, controls and the image view are
// windows: their objects are found from the window in one map, and every
// message passes one procedure that keeps errors inside, holds the scopes
// that make posted work and releases wait (HandlerScope, Form::HandlerGuard),
// asks the hooks other objects put on the window, then the object.
#pragma once

#include <windows.h>

#include <utility>

#include "gui/MessageHooks.h"

namespace corvinade::gui {

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return window_; }
    // The object of ours behind a window, or null.
    static Window* FromHandle(HWND window);

    // Another object's look at each message of the window before the
    // window's own handling (the tray icon watches its owner being
    // minimized; the timers, the tray icon's callbacks, the session's news
    // and the hotkeys arrive on the application window). True means
    // handled, with `result` as the answer. Hooks run in the order they were
    // added; the hooking object removes its hook before it goes.
    using MessageHook = MessageHooks::Hook;
    int AddMessageHook(MessageHook hook) { return hooks_.Add(std::move(hook)); }
    void RemoveMessageHook(int id) { hooks_.Remove(id); }

protected:
    Window() = default;
    // Lets the window go; destroying it is the owner's part.
    virtual ~Window();

    // The procedure of our own window classes: `this` is CreateWindowEx's
    // last parameter, and the object takes the window at WM_NCCREATE.
    static LRESULT CALLBACK ClassProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    // A window of a system class (a control) made for this object: its
    // messages come here first.
    void Subclass(HWND window);

    // Every message of the window, once the hooks have passed it.
    virtual LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // What the window does without us: its class's own procedure.
    LRESULT DefaultHandling(UINT msg, WPARAM wParam, LPARAM lParam);
    // The window is gone: WM_NCDESTROY (a parent destroyed it) or Forget.
    virtual void WindowGone() {}
    // Lets the window go without destroying it.
    void Forget();
    void RemoveAllMessageHooks() { hooks_.Clear(); }

    HWND window_ = nullptr;

private:
    static LRESULT CALLBACK SubclassProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR object);
    void Attach(HWND window);
    LRESULT Route(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    bool subclassed_ = false;
    MessageHooks hooks_;
};

} // namespace corvinade::gui
