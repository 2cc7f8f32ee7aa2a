// The application object: hidden application window, message loops with the
// application's message hook, termination and the default error display.
#include "gui/Application.h"

#include "core/Wide_win.h"
#include "gui/Controls.h"
#include "gui/Dialogs.h"
#include "gui/Dpi.h"
#include "gui/Form.h"
#include "gui/Guarded.h"
#include "gui/HandlerScope.h"
#include "gui/Handles.h"

#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace corvinade::gui {

namespace {

constexpr wchar_t kWindowClass[] = L"CorvinadeApplication";

// A "." closes a text whose last character has a code above that of "."
// (compared as unsigned, so a letter like 0xE9 counts too).
std::string ErrorDisplayText(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        return text + ".";
    return text;
}

// The executable's base name: the title until the program sets its own.
std::string ModuleBaseName(HINSTANCE instance) {
    std::string name = ModuleFileName(instance);
    name.erase(0, name.find_last_of("\\/") + 1);
    if (auto dot = name.rfind('.'); dot != std::string::npos)
        name.erase(dot);
    return name;
}

// Posted to the application window when work waits, to wake the loop.
UINT RunPostedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Corvinade.Application.RunPosted");
    return message;
}

void DropPendingQuit() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

} // namespace

Application* Application::instance_ = nullptr;

Application& App() {
    return *Application::Instance();
}

void HandleCurrentException() noexcept {
    if (Application* app = Application::Instance()) {
        app->HandleException();
        return;
    }
    try {
        throw;
    } catch (const std::exception& e) {
        ShowMessageBox(nullptr, e.what(), nullptr, MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}

Application::Application(HINSTANCE instance) : hinstance_(instance), title_(ModuleBaseName(instance)) {
    if (instance_)
        throw std::logic_error("Only one application object may exist");
    MakeProcessDpiAware();

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kWindowClass;
    ::RegisterClassExW(&wc);

    instance_ = this;
    // A tool window is never given a taskbar button; it stays hidden anyway.
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, Wide(title_).c_str(), WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, instance, nullptr);
    if (!window_) {
        instance_ = nullptr;
        throw std::runtime_error("Cannot create the application window");
    }
}

Application::~Application() {
    hooks_.Clear();
    posted_.clear();
    while (!released_.empty())
        Form::DeleteReleased(released_.back()); // takes itself off the list

    OnMessage = nullptr;
    ::DestroyWindow(window_);
    window_ = nullptr;
    instance_ = nullptr;
    ::UnregisterClassW(kWindowClass, hinstance_);
    DropPendingQuit();
}

void Application::SetTitle(std::string title) {
    title_ = std::move(title);
    ::SetWindowTextW(window_, Wide(title_).c_str());
}

void Application::Run() {
    MSG msg;
    RunPendingWork();
    while (!terminated_) {
        if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            terminated_ = true;
            break;
        }
        Dispatch(msg);
        RunPendingWork();
    }
    DropPendingQuit();
}

void Application::Terminate() {
    if (terminated_)
        return;
    terminated_ = true;
    // Wakes Run and makes every modal loop on the way (the system's
    // included) end and pass the quit outwards.
    ::PostQuitMessage(0);
}

void Application::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
        RunPendingWork();
    }
}

bool Application::HandleOneMessage() {
    MSG msg;
    if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        terminated_ = true;
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    Dispatch(msg);
    return true;
}

void Application::Dispatch(MSG& msg) {
    Guarded([&] {
        bool handled = false;
        // Hotkeys for our window reach the hook in the window procedure, the
        // one place every loop (the system's too) passes them through.
        if (OnMessage && !IsHotkeyForUs(msg))
            OnMessage(msg, handled);
        if (handled || Form::HandleDialogKey(msg))
            return;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    });
}

LRESULT CALLBACK Application::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Application* app = instance_;
    if (!app || (app->window_ && app->window_ != hwnd))
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    HandlerScope handling;
    return GuardedResult(0, [&] {
        if (!app->window_)
            app->window_ = hwnd; // messages of CreateWindowEx itself
        return app->HandleWindowMessage(msg, wParam, lParam);
    });
}

UINT Application::LiveHandlesMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"CorvinadeLiveHandles");
    return message;
}

void Application::Post(std::function<void()> task) {
    posted_.push_back(std::move(task));
    WakeLoop();
}

void Application::DeleteLater(Form* form) {
    if (std::ranges::find(released_, form) == released_.end())
        released_.push_back(form);
}

void Application::ForgetDeleteLater(Form* form) {
    std::erase(released_, form);
}

// A message for GetMessage to return with, so that the outermost loop comes
// round to the waiting tasks; one is enough while it is on its way.
void Application::WakeLoop() {
    if (posted_.size() == 1)
        ::PostMessageW(window_, RunPostedMessage(), 0, 0);
}

// Each task is taken off the queue before it runs: it may post more, which
// run after it, or run a modal loop, inside which none of them runs.
void Application::RunPendingWork() {
    if (!HandlerScope::Outermost())
        return;
    while (!posted_.empty() && !terminated_) {
        std::function<void()> task = std::move(posted_.front());
        posted_.pop_front();
        HandlerScope running;
        Guarded([&] { task(); });
    }
}

LRESULT Application::HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == LiveHandlesMessage() && msg != 0)
        return wParam == 0 ? LiveGdiObjects() : LiveKernelHandles();
    if (msg == RunPostedMessage() && msg != 0)
        return 0; // only wakes the loop: the work runs at the outermost one
    // A key field with the focus takes a hotkey of ours as its key.
    if (msg == WM_HOTKEY)
        if (Control* focused = Control::FromHandle(::GetFocus());
            focused && focused->TakeHotkey(HIWORD(lParam), LOWORD(lParam)))
            return 0;
    if (msg == WM_HOTKEY && OnMessage) {
        DWORD pos = ::GetMessagePos();
        MSG m = {window_,
                 msg,
                 wParam,
                 lParam,
                 static_cast<DWORD>(::GetMessageTime()),
                 {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)}};
        bool handled = false;
        OnMessage(m, handled);
        if (handled)
            return 0;
    }
    if (LRESULT result = 0; hooks_.Run(msg, wParam, lParam, result))
        return result;
    // Log-off or shut-down: the session may end as soon as this returns, so
    // the program ends now. Saves replace their file in one step, and a row
    // being edited is dropped, never half-written.
    if (msg == WM_QUERYENDSESSION)
        return TRUE;
    if (msg == WM_ENDSESSION) {
        if (wParam)
            Terminate();
        return 0;
    }
    if (msg == WM_CLOSE) {
        if (mainForm_)
            mainForm_->Close();
        else
            Terminate();
        return 0;
    }
    return ::DefWindowProcW(window_, msg, wParam, lParam);
}

void Application::HandleException() noexcept {
    if (!std::current_exception())
        return;
    try {
        throw;
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Unknown error");
    }
}

void Application::ShowException(const std::string& text) noexcept {
    try {
        std::string shown = ErrorDisplayText(text);
        ShowMessageBox(DialogOwner(), shown, title_.c_str(), MB_OK | MB_ICONERROR);
    } catch (...) {
        ShowMessageBox(DialogOwner(), text, nullptr, MB_OK | MB_ICONERROR);
    }
}

int Application::HookMainWindow(MainWindowHook hook) {
    return hooks_.Add(std::move(hook));
}

void Application::UnhookMainWindow(int id) {
    hooks_.Remove(id);
}

void Application::HideTaskbarButton() {
    if (::IsWindowVisible(window_))
        ::ShowWindow(window_, SW_HIDE);
}

// Not a topmost window (the tray panel): the box would inherit topmost and
// float above every program.
HWND Application::DialogOwner() const {
    HWND active = ::GetActiveWindow();
    if (!active || (::GetWindowLongW(active, GWL_EXSTYLE) & WS_EX_TOPMOST))
        return window_;
    return active;
}

} // namespace corvinade::gui
