// Window classes and helper windows; see WindowClass.h.
#include "gui/WindowClass.h"

#include <set>
#include <string>

#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Guarded.h"

namespace corvinade::gui {

void RegisterWindowClass(const WindowClassArgs& args) {
    static std::set<std::wstring> registered;
    if (registered.count(args.name))
        return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = args.style;
    wc.lpfnWndProc = args.proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = args.cursor ? args.cursor : ::LoadCursorW(nullptr, ResourceId(IDC_ARROW));
    wc.hbrBackground = args.background;
    wc.lpszClassName = args.name;
    if (args.programIcon)
        wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Error("Cannot register the window class " + Utf8(args.name));
    registered.insert(args.name);
}

HelperWindow::HelperWindow(void* context, Handler handler, bool messageOnly)
    : context_(context), handler_(handler) {
    RegisterWindowClass({.name = L"CorvinadeHelper", .proc = Proc});
    // A hidden top-level tool window can take the foreground (for a popup
    // menu); a message-only one never shows anywhere.
    window_ =
        ::CreateWindowExW(messageOnly ? 0 : WS_EX_TOOLWINDOW, L"CorvinadeHelper", L"", WS_POPUP, 0, 0, 0, 0,
                          messageOnly ? HWND_MESSAGE : nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!window_)
        throw Error("Cannot create a helper window");
}

HelperWindow::~HelperWindow() {
    if (window_) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

LRESULT CALLBACK HelperWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE)
        ::SetWindowLongPtrW(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<HelperWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || msg == WM_NCCREATE)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    bool handled = false;
    Guarded([&] { handled = self->handler_(self->context_, msg, wParam, lParam, result); });
    return handled ? result : ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace corvinade::gui
