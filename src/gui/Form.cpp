// Forms: window class, message routing, visibility events, modal runs,
// closing and deferred release.
#include "gui/Form.h"

#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Button.h"
#include "gui/Controls.h"
#include "gui/Dpi.h"
#include "gui/Guarded.h"
#include "gui/HandlerScope.h"
#include "gui/Panel.h"
#include "gui/WindowClass.h"

#include <algorithm>
#include <string_view>

namespace corvinade::gui {

namespace {

constexpr wchar_t kFormClass[] = L"CorvinadeForm";

HINSTANCE ModuleInstance() {
    if (Application* app = Application::Instance())
        return app->InstanceHandle();
    return ::GetModuleHandleW(nullptr);
}

void RegisterFormClass(WNDPROC proc) {
    RegisterWindowClass({.name = kFormClass,
                         .proc = proc,
                         .style = CS_DBLCLKS,
                         .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                         .programIcon = true});
}

// The window a modal run disables: the one asked for, else the form's
// owner. One that is hidden takes no input and is left alone (the hidden
// application window keeps the tray's menu and the hotkeys working).
HWND ModalOwner(HWND form, HWND requested) {
    HWND owner = requested ? requested : ::GetWindow(form, GW_OWNER);
    if (!owner || owner == form || !::IsWindowVisible(owner) || !::IsWindowEnabled(owner))
        return nullptr;
    return owner;
}

RECT WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info = {sizeof info};
    if (!::GetMonitorInfoW(monitor, &info))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

// A window of `width` x `height` on `work`: no larger than it and wholly on
// it, centred on `around` when given, else at (left, top).
RECT FitOnWorkArea(const RECT& work, const RECT* around, int left, int top, int width, int height) {
    width = std::min<int>(width, work.right - work.left);
    height = std::min<int>(height, work.bottom - work.top);
    if (around) {
        left = around->left + (around->right - around->left - width) / 2;
        top = around->top + (around->bottom - around->top - height) / 2;
    }
    left = std::clamp<int>(left, work.left, work.right - width);
    top = std::clamp<int>(top, work.top, work.bottom - height);
    return {left, top, left + width, top + height};
}

// A window of `width` x `height` where `position` puts it, on the work area
// of its monitor: the owner's, or the cursor's for a window without a
// visible owner (the first one the user asked for), or the one at the
// designed place.
RECT PlaceOnScreen(Position position, HWND owner, int left, int top, int width, int height) {
    HMONITOR monitor = nullptr;
    RECT around = {};
    if (position == Position::OwnerCenter && owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &around);
        monitor = ::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST);
    } else if (position != Position::Designed) {
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        monitor = ::MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
        around = WorkAreaOf(monitor);
    } else {
        const RECT designed = {left, top, left + width, top + height};
        monitor = ::MonitorFromRect(&designed, MONITOR_DEFAULTTONEAREST);
    }
    return FitOnWorkArea(WorkAreaOf(monitor), position != Position::Designed ? &around : nullptr, left, top,
                         width, height);
}

} // namespace

Form::Form(const FormArgs& args) : designClient_{args.clientWidth, args.clientHeight} {
    RegisterFormClass(ClassProcedure);
    DWORD style = args.style & ~WS_VISIBLE; // shown through Show / ShowModal
    HWND owner = args.owner;
    if (!owner && Application::Instance())
        owner = App().Handle();
    // Created at the system dpi, then placed at the dpi of its screen.
    dpi_ = ScreenDpi();
    ::CreateWindowExW(args.exStyle, kFormClass, Wide(args.caption).c_str(), style, 0, 0, 0, 0, owner, nullptr,
                      ModuleInstance(), static_cast<Window*>(this));
    if (!window_)
        throw Error("Cannot create window \"" + args.caption + "\"");
    dpi_ = WindowDpi(window_);
    RECT frame = {0, 0, Scale(args.clientWidth), Scale(args.clientHeight)};
    AdjustWindowRectForDpi(frame, style, args.exStyle, dpi_);
    const Position position = args.center ? Position::ScreenCenter : args.position;
    const RECT placed = PlaceOnScreen(position, args.owner, Scale(args.left), Scale(args.top),
                                      frame.right - frame.left, frame.bottom - frame.top);
    ::SetWindowPos(window_, nullptr, placed.left, placed.top, placed.right - placed.left,
                   placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (args.minClientWidth > 0 || args.minClientHeight > 0)
        SetScrollMinimum({args.minClientWidth, args.minClientHeight});
}

Form::~Form() {
    Application* app = Application::Instance();
    if (app && releasePending_)
        app->ForgetDeleteLater(this);
    if (app && app->MainForm() == this)
        app->SetMainForm(nullptr);
    if (window_)
        ::DestroyWindow(window_);
}

bool Form::IsFormWindow(HWND window) {
    wchar_t name[std::size(kFormClass) + 1] = {};
    return ::GetClassNameW(window, name, static_cast<int>(std::size(name))) &&
           std::wstring_view(name) == kFormClass;
}

void Form::Show() {
    RunCreateOnce();
    // Asked for again while minimized, it comes back as it was.
    ::ShowWindow(window_, ::IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    ::BringWindowToTop(window_);
}

void Form::Hide() {
    ::ShowWindow(window_, SW_HIDE);
}

bool Form::Visible() const {
    return window_ && ::IsWindowVisible(window_);
}

void Form::SetCaption(const std::string& caption) {
    ::SetWindowTextW(window_, Wide(caption).c_str());
}

std::string Form::Caption() const {
    return WindowText(window_);
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
    AdjustWindowRectForDpi(frame, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)),
                           static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE)), dpi_);
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form::ShowModal(HWND disable) {
    if (modal_)
        throw Error("The window is shown modally already");
    Application& app = App();
    if (app.Terminated())
        return IDCANCEL;
    RunCreateOnce();
    HWND previousActive = ::GetActiveWindow();
    if (::GetCapture())
        ::ReleaseCapture();
    HandlerScope running;
    HWND owner = ModalOwner(window_, disable);
    if (owner)
        ::EnableWindow(owner, FALSE);
    ::EnableWindow(window_, TRUE); // a window shown already may have been disabled
    modalOwner_ = owner;
    modal_ = true;
    modalResult_ = 0;
    // Undone on every way out, an error in OnShow included.
    struct Restore {
        Form& form;
        HWND owner;
        HWND previousActive;
        ~Restore() {
            // The owner first, so that hiding hands activation back to it
            // and never to another program.
            if (owner && ::IsWindow(owner))
                ::EnableWindow(owner, TRUE);
            if (form.window_)
                form.Hide();
            if (previousActive && ::IsWindow(previousActive) && ::IsWindowEnabled(previousActive) &&
                ::IsWindowVisible(previousActive))
                ::SetActiveWindow(previousActive);
            form.modal_ = false;
        }
    } restore{*this, owner, previousActive};

    Show();
    ::SetForegroundWindow(window_); // a dialog comes up active
    while (modalResult_ == 0) {
        if (app.Terminated() || !Visible()) {
            modalResult_ = IDCANCEL;
            break;
        }
        app.HandleOneMessage();
    }
    return modalResult_;
}

// As the system's dialogs end: the owner enabled and the window hidden at
// once, even when a loop run later (a message box, another window's modal
// run) is still above this one's and its return must wait for them.
void Form::SetModalResult(int result) {
    modalResult_ = result;
    if (!modal_ || !window_)
        return;
    if (result != 0) {
        if (modalOwner_ && ::IsWindow(modalOwner_))
            ::EnableWindow(modalOwner_, TRUE);
        Hide();
    }
    ::PostMessageW(window_, WM_NULL, 0, 0); // wakes the modal loop
}

void Form::Close() {
    if (CanClose && !CanClose())
        return;
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
    if (releasePending_)
        return;
    releasePending_ = true;
    if (Application* app = Application::Instance())
        app->DeleteLater(this);
    else if (handlerDepth_ == 0)
        DeleteReleased(this);
}

Form::HandlerGuard::HandlerGuard(HWND window) : form_(FromHandle(::GetAncestor(window, GA_ROOT))) {
    if (form_)
        ++form_->handlerDepth_;
}

// The last handler out hands the release to a message of its own: the
// window procedures still returning must not meet a destroyed window.
Form::HandlerGuard::~HandlerGuard() {
    if (form_ && --form_->handlerDepth_ == 0 && form_->releasePending_)
        if (Application* app = Application::Instance())
            app->DeleteLater(form_);
}

void Form::DeleteReleased(Form* form) {
    if (form->window_)
        ::DestroyWindow(form->window_);
    delete form;
}

bool Form::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

void Form::RunCreateOnce() {
    if (created_)
        return;
    created_ = true;
    Created();
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

// Without a control to take it, the form itself takes the focus, as the
// system's activation would give it: its keys (the tray panel's Esc) reach it.
void Form::RestoreFocus() {
    HWND target = focus_ && ::IsWindow(focus_) && ::IsChild(window_, focus_)
                      ? focus_
                      : ::GetNextDlgTabItem(window_, nullptr, FALSE);
    ::SetFocus(target ? target : window_);
}

Form* Form::FromHandle(HWND window) {
    return dynamic_cast<Form*>(Window::FromHandle(window));
}

void Form::CenterOnWorkArea(const RECT& work, int width, int height) {
    const RECT placed = FitOnWorkArea(work, &work, 0, 0, width, height);
    SetBounds(placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top);
}

void Form::ApplyDpi(int dpi, const RECT* suggested) {
    if (dpi <= 0)
        return;
    const SIZE client = ClientSize();
    const int oldDpi = dpi_;
    dpi_ = dpi;
    if (suggested) {
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        RECT frame = {0, 0, ::MulDiv(client.cx, dpi, oldDpi), ::MulDiv(client.cy, dpi, oldDpi)};
        AdjustWindowRectForDpi(frame, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)),
                               static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE)), dpi_);
        ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ApplyDpiToChildren();
    DpiChanged();
    ::InvalidateRect(window_, nullptr, TRUE);
}

void Form::PlaceAt(int left, int top, int dpi) {
    // Onto that monitor first: where the system gives the window the
    // monitor's dpi on its own (WM_DPICHANGED), that is over before the
    // layout below, which then has the last word.
    ::SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame = {0, 0, gui::Scale(designClient_.cx, dpi), gui::Scale(designClient_.cy, dpi)};
    AdjustWindowRectForDpi(frame, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)),
                           static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE)), dpi);
    const RECT placed = {left, top, left + frame.right - frame.left, top + frame.bottom - frame.top};
    ApplyDpi(dpi, &placed);
}

namespace {

bool Usable(const Button* button) {
    return button && button->Handle() && ::IsWindowVisible(button->Handle()) &&
           ::IsWindowEnabled(button->Handle());
}

bool IsPushButton(HWND window) {
    wchar_t name[8] = {};
    if (!::GetClassNameW(window, name, static_cast<int>(std::size(name))) ||
        std::wstring_view(name) != L"Button")
        return false;
    const LONG type = ::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

} // namespace

Button* Form::DialogButton(bool cancel) const {
    HWND focus = ::GetFocus();
    if (!focus || (focus != window_ && !::IsChild(window_, focus)))
        focus = nullptr;
    // Enter on a push button presses that button, as in any dialog.
    if (!cancel && focus && IsPushButton(focus))
        if (auto* button = dynamic_cast<Button*>(Control::FromHandle(focus)); Usable(button))
            return button;
    for (HWND w = focus; w && w != window_; w = ::GetParent(w))
        if (auto* container = dynamic_cast<Container*>(Control::FromHandle(w))) {
            Button* button = cancel ? container->CancelButton() : container->DefaultButton();
            if (Usable(button))
                return button;
        }
    Button* button = cancel ? CancelButton() : DefaultButton();
    return Usable(button) ? button : nullptr;
}

// What a dialog does for WM_NEXTDLGCTL (mnemonics of labels send it): the
// given control, or the next or previous one from the focus, gets the focus
// with its text selected.
void Form::NextDialogControl(WPARAM target, bool isWindow) {
    HWND next = nullptr;
    if (isWindow) {
        next = reinterpret_cast<HWND>(target);
    } else {
        HWND focus = ::GetFocus();
        next =
            ::GetNextDlgTabItem(window_, focus && ::IsChild(window_, focus) ? focus : nullptr, target != 0);
    }
    if (!next || !::IsChild(window_, next))
        return;
    if (::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        ::SendMessageW(next, EM_SETSEL, 0, -1);
    ::SetFocus(next);
    FocusMoved(next);
}

bool Form::SwitchPage(bool forward) {
    // The page control around the focus, else the first one with tabs.
    for (HWND w = ::GetFocus(); w && w != window_; w = ::GetParent(w))
        if (auto* pages = dynamic_cast<PageControl*>(Control::FromHandle(w)); pages && pages->TabsVisible()) {
            pages->SelectNextPage(forward);
            return true;
        }
    std::vector<Container*> pending{this};
    while (!pending.empty()) {
        Container* container = pending.back();
        pending.pop_back();
        for (Control* child : container->Children()) {
            if (auto* pages = dynamic_cast<PageControl*>(child);
                pages && pages->TabsVisible() && child->Visible()) {
                pages->SelectNextPage(forward);
                return true;
            }
            if (auto* inner = dynamic_cast<Container*>(child))
                pending.push_back(inner);
        }
    }
    return false;
}

bool Form::HandleDialogKey(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd)
        return false;
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    Form* form = root ? FromHandle(root) : nullptr;
    if (!form)
        return false;
    if (msg.message == WM_KEYDOWN && form->OnShortcutKey && form->OnShortcutKey(msg.wParam))
        return true;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0 &&
        form->SwitchPage(::GetKeyState(VK_SHIFT) >= 0))
        return true;
    // A control that wants every key (the key field) gets Alt+letter too,
    // not the mnemonic of a control around it.
    if ((msg.message == WM_SYSCHAR || msg.message == WM_SYSKEYDOWN) && msg.hwnd == ::GetFocus() &&
        (::SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
         DLGC_WANTALLKEYS))
        return false;
    HWND before = ::GetFocus();
    if (!::IsDialogMessageW(root, &msg))
        return false;
    if (HWND after = ::GetFocus(); after != before)
        FocusMoved(after);
    return true;
}

void Form::FocusMoved(HWND focus) {
    for (HWND w = focus ? ::GetParent(focus) : nullptr; w; w = ::GetParent(w)) {
        Control* control = Control::FromHandle(w);
        if (auto* scrolled = dynamic_cast<ScrollingPanel*>(control))
            scrolled->ScrollIntoView(focus);
        else if (auto* container = control ? dynamic_cast<Container*>(control) : FromHandle(w))
            container->ScrollChildIntoView(focus);
    }
}

LRESULT Form::WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleMessage(msg, wParam, lParam, result) || HandleContainerMessage(msg, wParam, lParam, result))
        return result;
    switch (msg) {
    case DM_GETDEFID:
        if (Button* button = DialogButton(false))
            return MAKELRESULT(button->Id(), DC_HASDEFID);
        return 0;
    case WM_COMMAND:
        // Enter and Esc without a button of their own (IsDialogMessage).
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)
            if (Button* button = DialogButton(LOWORD(wParam) == IDCANCEL))
                button->Click();
        return 0;
    case WM_DPICHANGED: {
        // No larger than the work area of the monitor it moved to.
        RECT suggested = *reinterpret_cast<const RECT*>(lParam);
        const RECT work = WorkAreaOf(::MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST));
        suggested.right = suggested.left + std::min(suggested.right - suggested.left, work.right - work.left);
        suggested.bottom = suggested.top + std::min(suggested.bottom - suggested.top, work.bottom - work.top);
        ApplyDpi(LOWORD(wParam), &suggested);
        return 0;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
        // High contrast on or off, or other colours: everything draws anew.
        ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        break;
    case WM_NEXTDLGCTL:
        NextDialogControl(wParam, lParam != FALSE);
        return 0;
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
        if (OnDestroy)
            OnDestroy();
        break;
    }
    return ::DefWindowProcW(window_, msg, wParam, lParam);
}

} // namespace corvinade::gui
