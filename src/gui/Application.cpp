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

// Posted to the application window when a released form waits.
UINT DeleteReleasedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Corvinade.Application.DeleteReleased");
    return message;
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
    wc.lpfnWndProc = ClassProcedure;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kWindowClass;
    ::RegisterClassExW(&wc);

    instance_ = this;
    // A tool window is never given a taskbar button; it stays hidden anyway.
    ::CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, Wide(title_).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                      nullptr, instance, static_cast<Window*>(this));
    if (!window_) {
        instance_ = nullptr;
        throw std::runtime_error("Cannot create the application window");
    }
}

Application::~Application() {
    RemoveAllMessageHooks();
    posted_.clear();
    while (!released_.empty())
        Form::DeleteReleased(released_.back()); // takes itself off the list
    OnHotkey = nullptr;
    ::DestroyWindow(window_);
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
        if (Form::HandleDialogKey(msg))
            return;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
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
    ::PostMessageW(window_, DeleteReleasedMessage(), 0, 0);
}

// A form busy now asks again when its last handler returns.
void Application::DeleteReleasedForms() {
    for (Form* form : std::vector(released_))
        if (std::ranges::find(released_, form) != released_.end() && !form->Busy())
            Form::DeleteReleased(form);
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

LRESULT Application::WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == LiveHandlesMessage() && msg != 0)
        return wParam == 0 ? LiveGdiObjects() : LiveKernelHandles();
    if (msg == RunPostedMessage() && msg != 0)
        return 0; // only wakes the loop: the work runs at the outermost one
    if (msg == DeleteReleasedMessage() && msg != 0) {
        DeleteReleasedForms();
        return 0;
    }
    if (msg == WM_HOTKEY) {
        // A key field with the focus takes a hotkey of ours as its key.
        if (Control* focused = Control::FromHandle(::GetFocus());
            focused && focused->TakeHotkey(HIWORD(lParam), LOWORD(lParam)))
            return 0;
        if (OnHotkey)
            OnHotkey(LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
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
