// The one window procedure; see Window.h.
#include "gui/Window.h"

#include <unordered_map>

#include "gui/Form.h"
#include "gui/Guarded.h"
#include "gui/HandlerScope.h"
#include "gui/SystemLibrary.h"

namespace corvinade::gui {

namespace {

constexpr UINT_PTR kSubclassId = 1;

std::unordered_map<HWND, Window*>& Objects() {
    static std::unordered_map<HWND, Window*> objects;
    return objects;
}

} // namespace

Window::~Window() {
    Forget();
}

Window* Window::FromHandle(HWND window) {
    if (!window)
        return nullptr;
    auto found = Objects().find(window);
    return found == Objects().end() ? nullptr : found->second;
}

void Window::Attach(HWND window) {
    window_ = window;
    Objects()[window] = this;
}

void Window::Subclass(HWND window) {
    Attach(window);
    SubclassControl(window, SubclassProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    subclassed_ = true;
}

void Window::Forget() {
    if (!window_)
        return;
    if (subclassed_)
        RemoveControlSubclass(window_, SubclassProcedure, kSubclassId);
    Objects().erase(window_);
    window_ = nullptr;
    subclassed_ = false;
    WindowGone();
}

LRESULT Window::DefaultHandling(UINT msg, WPARAM wParam, LPARAM lParam) {
    return subclassed_ ? DefaultSubclassProc(window_, msg, wParam, lParam)
                       : ::DefWindowProcW(window_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::ClassProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE)
        if (auto* object = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams))
            object->Attach(window);
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) find no object yet.
    if (Window* object = FromHandle(window))
        return object->Route(window, msg, wParam, lParam);
    return ::DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR object) {
    return reinterpret_cast<Window*>(object)->Route(window, msg, wParam, lParam);
}

LRESULT Window::Route(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        const bool subclassed = subclassed_;
        Forget();
        return subclassed ? DefaultSubclassProc(window, msg, wParam, lParam)
                          : ::DefWindowProcW(window, msg, wParam, lParam);
    }
    HandlerScope handling;
    Form::HandlerGuard guard(window);
    try {
        if (LRESULT result = 0; hooks_.Run(msg, wParam, lParam, result))
            return result;
        return WindowMessage(msg, wParam, lParam);
    } catch (...) {
        if (msg == WM_PAINT && !subclassed_)
            ::ValidateRect(window, nullptr); // or the error box would bring the same error again
        HandleCurrentException();
        return subclassed_ && window_ ? DefaultHandling(msg, wParam, lParam) : 0;
    }
}

} // namespace corvinade::gui
