// Forms: window class, message routing, visibility events, modal runs,
// closing and deferred release.
#include "gui/Form.h"

#include "core/Errors.h"
#include "gui/Application.h"
#include "gui/Controls.h"
#include "gui/Dpi.h"
#include "gui/Guarded.h"

#include <algorithm>
#include <string_view>

namespace corvinade::gui {

namespace {

constexpr char kFormClass[] = "CorvinadeForm";

HINSTANCE ModuleInstance() {
    if (Application* app = Application::Instance())
        return app->InstanceHandle();
    return ::GetModuleHandleA(nullptr);
}

// Posted to a form by Release; registered so it never meets a form's own.
UINT ReleaseMessage() {
    static const UINT message = ::RegisterWindowMessageA("Corvinade.Form.Release");
    return message;
}

void RegisterFormClass(WNDPROC proc) {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = ModuleInstance();
    wc.hIcon = ::LoadIconA(wc.hInstance, MAKEINTRESOURCEA(1));
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    if (!::RegisterClassExA(&wc))
        throw Error("Cannot register the form window class");
    registered = true;
}

struct DisableWalk {
    HWND except;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM param) {
    auto& walk = *reinterpret_cast<DisableWalk*>(param);
    if (window == walk.except || !::IsWindowVisible(window) || !::IsWindowEnabled(window))
        return TRUE;
    try {
        walk.disabled.push_back(window);
    } catch (...) {
        return FALSE;
    }
    ::EnableWindow(window, FALSE);
    return TRUE;
}

// The enabled, visible top-level windows of this thread but `except`,
// disabled for a modal run.
std::vector<HWND> DisableThreadWindows(HWND except) {
    DisableWalk walk{except, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&walk));
    return std::move(walk.disabled);
}

void EnableWindows(const std::vector<HWND>& windows) {
    for (HWND window : windows)
        if (::IsWindow(window))
            ::EnableWindow(window, TRUE);
}

} // namespace

Form::Form(const FormArgs& args) {
    RegisterFormClass(WindowProc);
    DWORD style = args.style & ~WS_VISIBLE; // shown through Show / ShowModal
    RECT frame = {0, 0, Scale(args.clientWidth), Scale(args.clientHeight)};
    ::AdjustWindowRectEx(&frame, style, FALSE, args.exStyle);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left = Scale(args.left), top = Scale(args.top);
    if (args.center) {
        RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        left = work.left + (work.right - work.left - width) / 2;
        top = work.top + (work.bottom - work.top - height) / 2;
    }
    HWND owner = args.owner;
    if (!owner && Application::Instance())
        owner = App().Handle();
    ::CreateWindowExA(args.exStyle, kFormClass, args.caption.c_str(), style, left, top, width, height, owner,
                      nullptr, ModuleInstance(), this);
    if (!window_)
        throw Error("Cannot create window \"" + args.caption + "\"");
}

Form::~Form() {
    releasePending_ = false; // we may be that release; the messages below must not repeat it
    deleting_ = false;       // the form part is whole again: its window's last messages are ours
    if (Application* app = Application::Instance(); app && app->MainForm() == this)
        app->SetMainForm(nullptr);
    if (window_)
        ::DestroyWindow(window_);
    for (Control* control : controls_)
        control->Detach();
}

bool Form::IsFormWindow(HWND window) {
    char name[sizeof kFormClass + 1] = {};
    return ::GetClassNameA(window, name, sizeof name) && std::string_view(name) == kFormClass;
}

void Form::Show() {
    RunCreateOnce();
    ::ShowWindow(window_, SW_SHOW);
    ::BringWindowToTop(window_);
}

void Form::Hide() {
    ::ShowWindow(window_, SW_HIDE);
}

bool Form::Visible() const {
    return window_ && ::IsWindowVisible(window_);
}

void Form::SetCaption(const std::string& caption) {
    ::SetWindowTextA(window_, caption.c_str());
}

std::string Form::Caption() const {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(window_)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(window_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Form::SetBounds(int left, int top, int width, int height) {
    ::SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Form::Bounds() const {
    RECT r = {};
    ::GetWindowRect(window_, &r);
    return r;
}

SIZE Form::ClientSize() const {
    RECT r = {};
    ::GetClientRect(window_, &r);
    return {r.right, r.bottom};
}

void Form::SetClientSize(int designWidth, int designHeight) {
    RECT frame = {0, 0, Scale(designWidth), Scale(designHeight)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(window_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(window_, GWL_EXSTYLE)));
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form::ShowModal() {
    if (modal_ || Visible())
        throw Error("Cannot make a visible window modal");
    RunCreateOnce();
    HWND previousActive = ::GetActiveWindow();
    if (::GetCapture())
        ::ReleaseCapture();
    std::vector<HWND> disabled = DisableThreadWindows(window_);
    modal_ = true;
    modalResult_ = 0;
    // Undone on every way out, an error in OnShow included.
    struct Restore {
        Form& form;
        std::vector<HWND>& disabled;
        HWND previousActive;
        ~Restore() {
            // Enabled first, so that hiding hands activation back to them.
            EnableWindows(disabled);
            if (form.window_)
                form.Hide();
            if (previousActive && ::IsWindow(previousActive) && ::IsWindowEnabled(previousActive))
                ::SetActiveWindow(previousActive);
            form.modal_ = false;
        }
    } restore{*this, disabled, previousActive};

    Show();
    Application& app = App();
    while (modalResult_ == 0) {
        if (app.Terminated() || !Visible()) {
            modalResult_ = IDCANCEL;
            break;
        }
        app.HandleOneMessage();
    }
    return modalResult_;
}

void Form::SetModalResult(int result) {
    modalResult_ = result;
    if (modal_ && window_)
        ::PostMessageA(window_, WM_NULL, 0, 0); // wakes the modal loop
}

void Form::Close() {
    if (OnClose)
        OnClose();
    if (modal_) {
        if (modalResult_ == 0)
            SetModalResult(IDCANCEL);
        return;
    }
    if (window_)
        Hide();
    if (Application* app = Application::Instance(); app && app->MainForm() == this)
        app->Terminate();
}

void Form::Release() {
    if (window_)
        ::PostMessageA(window_, ReleaseMessage(), 0, 0);
    else
        delete this;
}

bool Form::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

void Form::RunCreateOnce() {
    if (created_)
        return;
    created_ = true;
    if (OnCreate)
        OnCreate();
}

void Form::SetVisibleState(bool visible) {
    if (visible == shown_)
        return;
    shown_ = visible;
    auto& event = visible ? OnShow : OnHide;
    if (event)
        event();
}

void Form::RememberFocus() {
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(window_, focus))
        focus_ = focus;
}

void Form::RestoreFocus() {
    HWND target = focus_ && ::IsWindow(focus_) && ::IsChild(window_, focus_)
                      ? focus_
                      : ::GetNextDlgTabItem(window_, nullptr, FALSE);
    if (target)
        ::SetFocus(target);
}

int Form::AddControl(Control* control) {
    controls_.push_back(control);
    return nextControlId_++;
}

void Form::RemoveControl(Control* control) {
    std::erase(controls_, control);
}

bool Form::RouteToControl(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND from = nullptr;
    if (msg == WM_COMMAND && lParam)
        from = reinterpret_cast<HWND>(lParam);
    else if (msg == WM_NOTIFY && lParam)
        from = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    if (!from)
        return false;
    auto it =
        std::find_if(controls_.begin(), controls_.end(), [from](Control* c) { return c->Handle() == from; });
    if (it == controls_.end())
        return false;
    result = 0;
    if (msg == WM_COMMAND) {
        (*it)->HandleCommand(HIWORD(wParam));
        return true;
    }
    return (*it)->HandleNotify(*reinterpret_cast<NMHDR*>(lParam), result);
}

LRESULT Form::WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleMessage(msg, wParam, lParam, result) || RouteToControl(msg, wParam, lParam, result))
        return result;
    switch (msg) {
    case WM_SHOWWINDOW:
        SetVisibleState(wParam != FALSE);
        break;
    case WM_WINDOWPOSCHANGED: {
        // Covers SetWindowPos with SWP_SHOWWINDOW / SWP_HIDEWINDOW, which
        // sends no WM_SHOWWINDOW.
        UINT flags = reinterpret_cast<WINDOWPOS*>(lParam)->flags;
        if (flags & SWP_SHOWWINDOW)
            SetVisibleState(true);
        else if (flags & SWP_HIDEWINDOW)
            SetVisibleState(false);
        break;
    }
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            RememberFocus();
        } else if (!HIWORD(wParam)) {
            RestoreFocus();
            return 0;
        }
        break;
    case WM_DESTROY:
        // The system destroys the child windows with us.
        for (Control* control : controls_)
            control->Detach();
        controls_.clear();
        if (OnDestroy)
            OnDestroy();
        break;
    }
    return ::DefWindowProcA(window_, msg, wParam, lParam);
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->window_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!form)
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        form->window_ = nullptr;
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // While a released form is being deleted, its derived parts are already
    // gone: messages its children send meanwhile get the default handling.
    if (form->deleting_)
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == ReleaseMessage() && msg != 0) {
        form->releasePending_ = true;
        if (form->handlerDepth_ == 0)
            DeleteReleased(form);
        return 0;
    }

    ++form->handlerDepth_;
    LRESULT result = 0;
    try {
        result = form->WindowMessage(msg, wParam, lParam);
    } catch (...) {
        if (msg == WM_PAINT)
            ::ValidateRect(hwnd, nullptr); // or the error box would bring the same error again
        HandleCurrentException();
    }
    // The release waits for the outermost handler of this form to return.
    if (--form->handlerDepth_ == 0 && form->releasePending_)
        DeleteReleased(form);
    return result;
}

void Form::DeleteReleased(Form* form) {
    form->releasePending_ = false;
    form->deleting_ = true;
    delete form;
}

} // namespace corvinade::gui
