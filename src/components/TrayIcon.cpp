// The tray icon, its shared callback window and the popup menu; see TrayIcon.h.
#include "components/TrayIcon.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <windowsx.h>

#include <memory>
#include <utility>

#include "components/TrayTip.h"
#include "core/Unicode.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/Guarded.h"
#include "gui/SystemLibrary.h"

namespace corvinade {

namespace {

// Systems before Vista keep a balloon this long (at least 10 s); later ones
// follow the user's accessibility setting.
constexpr UINT BalloonTimeoutMs = 10000;

gui::ShiftState KeyShiftState() {
    gui::ShiftState shift = 0;
    if (::GetAsyncKeyState(VK_SHIFT) < 0)
        shift |= gui::ssShift;
    if (::GetAsyncKeyState(VK_MENU) < 0)
        shift |= gui::ssAlt;
    if (::GetAsyncKeyState(VK_CONTROL) < 0)
        shift |= gui::ssCtrl;
    return shift;
}

gui::ShiftState ButtonState(gui::MouseButton button) {
    switch (button) {
    case gui::MouseButton::Left:
        return gui::ssLeft;
    case gui::MouseButton::Right:
        return gui::ssRight;
    case gui::MouseButton::Middle:
        break;
    }
    return gui::ssMiddle;
}

POINT CursorPos() {
    POINT p = {};
    ::GetCursorPos(&p);
    return p;
}

// As much of the text as the field holds, zero-terminated, never half a character.
template <std::size_t Size> void CopyFitting(wchar_t (&field)[Size], const std::string& text) {
    const std::u16string units = Utf8ToUtf16Prefix(text, Size - 1);
    std::copy(units.begin(), units.end(), field);
    field[units.size()] = L'\0';
}

// The common controls' version packed as major << 16 | minor.
DWORD CommonControlsVersion() {
    using GetVersionProc = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    const auto getVersion = gui::FindSystemFunction<GetVersionProc>("comctl32.dll", "DllGetVersion");
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof info;
    if (!getVersion || FAILED(getVersion(&info)))
        return 0;
    return (info.dwMajorVersion << 16) | info.dwMinorVersion;
}

} // namespace

// --- TPopupMenu -----------------------------------------------------------

TPopupMenu::TPopupMenu() : menu_(::CreatePopupMenu()) {}

TPopupMenu::~TPopupMenu() {
    ::DestroyMenu(menu_);
}

void TPopupMenu::AddItem(const std::string& caption, std::function<void()> onClick, bool isDefault) {
    const UINT id = static_cast<UINT>(items_.size()) + 1;
    if (caption == "-")
        ::AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
    else
        ::AppendMenuW(menu_, MF_STRING, id, Wide(caption).c_str());
    if (isDefault)
        ::SetMenuDefaultItem(menu_, id, FALSE);
    items_.push_back({caption, std::move(onClick), isDefault});
}

void TPopupMenu::SetChecked(int index, bool checked) {
    ::CheckMenuItem(menu_, static_cast<UINT>(index), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool TPopupMenu::Checked(int index) const {
    return (::GetMenuState(menu_, static_cast<UINT>(index), MF_BYPOSITION) & MF_CHECKED) != 0;
}

void TPopupMenu::Popup(HWND owner, int x, int y) {
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, owner, nullptr));
    if (chosen > 0)
        Click(static_cast<int>(chosen) - 1);
}

int TPopupMenu::DefaultItem() const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].isDefault)
            return static_cast<int>(i);
    return -1;
}

void TPopupMenu::Click(int index) {
    const auto& item = items_.at(static_cast<std::size_t>(index));
    if (item.onClick)
        item.onClick();
}

// The shell calls back on the application window; it is hidden and not
// message-only, so it can take the foreground for the menu.
HWND TTrayIcon::HandlerWindow() {
    return gui::App().Handle();
}

UINT TTrayIcon::TaskbarCreatedMessage() {
    static const UINT message =
        CommonControlsVersion() >= ((4u << 16) | 71u) ? ::RegisterWindowMessageW(L"TaskbarCreated") : 0;
    return message;
}

// --- TTrayIcon ----------------------------------------------------------------

namespace {
UINT_PTR NextIconId() {
    static UINT_PTR last = 0;
    return ++last;
}
} // namespace

TTrayIcon::TTrayIcon(gui::Form* owner) : owner_(owner), id_(NextIconId()) {
    data_.cbSize = sizeof data_;
    data_.hWnd = HandlerWindow();
    data_.uID = static_cast<UINT>(IconId());
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = TrayCallbackMessage;
    clicks_.OnClick = [this] {
        if (OnClick)
            OnClick();
    };
    clicks_.OnDblClick = [this] {
        if (OnDblClick)
            OnDblClick();
    };
    iconStepTimer_ = std::make_unique<TSimpleTimer>(1000, [this](TSimpleTimer&) { CycleTick(); });
    singleClickTimer_ =
        std::make_unique<TSimpleTimer>(1000, [this](TSimpleTimer&) { clicks_.TimerElapsed(); });
    hoverTimer_ = std::make_unique<TSimpleTimer>(20, [this](TSimpleTimer&) { HoverTick(); });
    addRetryTimer_ = std::make_unique<TSimpleTimer>(2000, [this](TSimpleTimer&) { RetryAdd(); });
    hookId_ = gui::App().AddMessageHook([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) {
        return MainWindowHook(msg, wParam, lParam);
    });
    if (owner_ && owner_->Handle()) {
        ownerWindow_ = owner_->Handle();
        ownerHookId_ =
            owner_->AddMessageHook([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                return OwnerMessage(msg, wParam, lParam, result);
            });
    }
}

TTrayIcon::~TTrayIcon() {
    RemoveFromTray();
    hoverTimer_.reset();
    singleClickTimer_.reset();
    iconStepTimer_.reset();
    if (icon_)
        ::DestroyIcon(icon_);
    if (hookId_)
        if (gui::Application* app = gui::Application::Instance())
            app->RemoveMessageHook(hookId_);
    if (ownerHookId_)
        owner_->RemoveMessageHook(ownerHookId_);
}

void TTrayIcon::Loaded() {
    if (ownerWindow_ && OnStartup) {
        bool showMainForm = true;
        OnStartup(showMainForm);
        if (!showMainForm)
            HideMainWindow();
    }
    RefreshInTray();
    SetIconVisible(iconVisible_);
    SetCycleIcons(cycleIcons_);
    SetWantEnterExitEvents(wantEnterExit_);
    SetCallbackVersion(callbackVersion_);
}

void TTrayIcon::SetIconList(const gui::ImageList* list) {
    iconList_ = list;
    SetIconIndex(0);
}

void TTrayIcon::SetIconIndex(int index) {
    if (iconList_) {
        const int count = iconList_->Count();
        iconIndex_ = index >= count ? count - 1 : index;
        if (const gui::UniqueIcon image{iconList_->CopyIcon(iconIndex_)})
            SetIcon(image.Get());
    } else {
        iconIndex_ = 0;
    }
    RefreshInTray();
}

void TTrayIcon::SetIcon(HICON icon) {
    HICON copy = icon ? ::CopyIcon(icon) : nullptr;
    if (icon_)
        ::DestroyIcon(icon_);
    icon_ = copy;
    RefreshInTray();
}

void TTrayIcon::SetHint(const std::string& hint) {
    hint_ = hint;
    RefreshInTray();
}

void TTrayIcon::SetShowHint(bool show) {
    showHint_ = show;
    RefreshInTray();
}

void TTrayIcon::SetIconVisible(bool visible) {
    if (visible)
        AddToTray();
    else
        RemoveFromTray();
}

void TTrayIcon::SetCycleIcons(bool cycle) {
    cycleIcons_ = cycle;
    if (cycle) {
        SetIconIndex(0);
        iconStepTimer_->SetPeriodMs(cycleInterval_);
        iconStepTimer_->Arm();
    } else {
        iconStepTimer_->Disarm(true);
    }
}

void TTrayIcon::SetCycleInterval(std::uint32_t ms) {
    if (ms == cycleInterval_)
        return;
    cycleInterval_ = ms;
    SetCycleIcons(cycleIcons_);
}

void TTrayIcon::SetWantEnterExitEvents(bool want) {
    wantEnterExit_ = want;
    hoverTimer_->SetRunning(want);
}

void TTrayIcon::SetCallbackVersion(int version) {
    callbackVersion_ = version;
    data_.uVersion = static_cast<UINT>(version);
    Notify(NIM_SETVERSION);
}

void TTrayIcon::FillNotifyData() {
    data_.hWnd = HandlerWindow();
    data_.hIcon = icon_;
    const auto tip = TrayTipText(hint_, showHint_);
    std::copy(tip.begin(), tip.end(), data_.szTip);
}

bool TTrayIcon::Notify(DWORD message) {
    return ::Shell_NotifyIconW(message, &data_) != FALSE;
}

bool TTrayIcon::AddToTray() {
    iconVisible_ = true;
    FillNotifyData();
    // An icon the shell still shows refuses NIM_ADD but takes NIM_MODIFY.
    if (Notify(NIM_ADD) || Notify(NIM_MODIFY)) {
        addRetryTimer_->SetRunning(false);
        Notify(NIM_SETVERSION); // the shell forgets it with the icon
        return true;
    }
    if (!addRetryTimer_->Running()) {
        addAttemptsLeft_ = AddAttempts;
        addRetryTimer_->SetRunning(true);
    }
    return false;
}

// An icon that meanwhile came (NIM_MODIFY accepted) counts as added.
void TTrayIcon::RetryAdd() {
    FillNotifyData();
    if (!iconVisible_)
        addRetryTimer_->SetRunning(false);
    else if (Notify(NIM_ADD) || Notify(NIM_MODIFY)) {
        addRetryTimer_->SetRunning(false);
        Notify(NIM_SETVERSION);
    } else if (--addAttemptsLeft_ <= 0)
        addRetryTimer_->SetRunning(false);
}

bool TTrayIcon::RemoveFromTray() {
    iconVisible_ = false;
    addRetryTimer_->SetRunning(false);
    FillNotifyData();
    return Notify(NIM_DELETE);
}

bool TTrayIcon::RefreshInTray() {
    FillNotifyData();
    return Notify(NIM_MODIFY);
}

bool TTrayIcon::ShowBalloonHint(const std::string& title, const std::string& text, DWORD iconFlags) {
    FillNotifyData();
    NOTIFYICONDATAW balloon = data_;
    balloon.uFlags = NIF_INFO;
    CopyFitting(balloon.szInfo, text);
    CopyFitting(balloon.szInfoTitle, title);
    balloon.dwInfoFlags = iconFlags;
    balloon.uTimeout = BalloonTimeoutMs;
    return ::Shell_NotifyIconW(NIM_MODIFY, &balloon) != FALSE;
}

void TTrayIcon::ShowTrayPopup(int x, int y) {
    if (!PopupMenu)
        return;
    ::SetForegroundWindow(HandlerWindow());
    if (gui::Application* app = gui::Application::Instance())
        app->ProcessMessages();
    PopupMenu->Popup(HandlerWindow(), x, y);
    // Makes the menu close properly when the user clicks elsewhere next time.
    if (ownerWindow_)
        ::PostMessageW(ownerWindow_, WM_NULL, 0, 0);
}

void TTrayIcon::HideMainWindow() {
    gui::Application* app = gui::Application::Instance();
    if (!ownerWindow_ || !app || !app->MainForm())
        return;
    app->MainForm()->Hide();
    app->HideTaskbarButton();
}

void TTrayIcon::MinimizeMainToTray() {
    HideMainWindow();
    AddToTray();
}

void TTrayIcon::HandleCallback(UINT event, POINT anchor) {
    switch (event) {
    case NIN_BALLOONSHOW:
        if (OnBalloonHintShow)
            OnBalloonHintShow();
        return;
    case NIN_BALLOONHIDE:
        if (OnBalloonHintHide)
            OnBalloonHintHide();
        return;
    case NIN_BALLOONTIMEOUT:
        if (OnBalloonHintTimeout)
            OnBalloonHintTimeout();
        return;
    case NIN_BALLOONUSERCLICK:
        if (OnBalloonHintClick)
            OnBalloonHintClick();
        return;
    }
    if (!Enabled)
        return;
    // The shell follows a release of the left button with NIN_SELECT: that
    // one is the click's. Any other is the keyboard's, as NIN_KEYSELECT is.
    const bool afterLeftUp = std::exchange(afterLeftUp_, event == WM_LBUTTONUP);
    if (event == NIN_KEYSELECT || (event == NIN_SELECT && !afterLeftUp)) {
        if (OnKeySelect)
            OnKeySelect();
        return;
    }
    if (event == WM_CONTEXTMENU) { // a right click, Shift+F10 or the menu key
        if (PopupMenu && PopupMenu->AutoPopup)
            ShowTrayPopup(anchor.x, anchor.y);
        return;
    }
    MouseEvent(event);
}

void TTrayIcon::MouseEvent(UINT event) {
    const POINT p = CursorPos();
    const gui::ShiftState keys = KeyShiftState();
    auto down = [&](gui::MouseButton b) {
        if (OnMouseDown)
            OnMouseDown(b, keys | ButtonState(b), p.x, p.y);
    };
    auto up = [&](gui::MouseButton b) {
        if (OnMouseUp)
            OnMouseUp(b, keys | ButtonState(b), p.x, p.y);
    };
    const bool menuPops = PopupMenu && PopupMenu->AutoPopup;
    switch (event) {
    case WM_MOUSEMOVE:
        if (wantEnterExit_ && pointerOutside_) {
            if (OnMouseEnter)
                OnMouseEnter();
            pointerOutside_ = false;
        }
        if (OnMouseMove)
            OnMouseMove(keys, p.x, p.y);
        lastPointerPos_ = p;
        break;
    case WM_LBUTTONDOWN: // a double click runs OnDblClick, or the menu's default item
        clicks_.LeftButtonDown(::GetDoubleClickTime(),
                               OnDblClick != nullptr ||
                                   (menuPops && !LeftPopup && PopupMenu->DefaultItem() >= 0));
        down(gui::MouseButton::Left);
        if (LeftPopup && menuPops)
            ShowTrayPopup(p.x, p.y);
        break;
    case WM_LBUTTONUP:
        clicks_.LeftButtonUp();
        up(gui::MouseButton::Left);
        break;
    case WM_LBUTTONDBLCLK:
        clicks_.LeftButtonDoubleClick();
        if (menuPops && !LeftPopup)
            if (const int item = PopupMenu->DefaultItem(); item >= 0)
                PopupMenu->Click(item);
        break;
    case WM_RBUTTONDOWN:
        down(gui::MouseButton::Right);
        if (menuPops && callbackVersion_ < NOTIFYICON_VERSION_4) // else at WM_CONTEXTMENU
            ShowTrayPopup(p.x, p.y);
        break;
    case WM_RBUTTONUP:
        up(gui::MouseButton::Right);
        break;
    case WM_MBUTTONDOWN:
        down(gui::MouseButton::Middle);
        break;
    case WM_MBUTTONUP:
        up(gui::MouseButton::Middle);
        break;
    }
}

void TTrayIcon::Arm(std::uint32_t periodMs) {
    singleClickTimer_->SetPeriodMs(periodMs);
    singleClickTimer_->Arm();
}

void TTrayIcon::Disarm() {
    singleClickTimer_->Disarm(true);
}

bool TTrayIcon::Running() const {
    return singleClickTimer_->Running();
}

void TTrayIcon::HoverTick() {
    if (pointerOutside_)
        return;
    const POINT p = CursorPos();
    if (p.x != lastPointerPos_.x || p.y != lastPointerPos_.y) {
        pointerOutside_ = true;
        if (OnMouseExit)
            OnMouseExit();
    }
}

void TTrayIcon::CycleTick() {
    if (!iconList_)
        return;
    const int count = iconList_->Count();
    SetIconIndex(iconIndex_);
    if (OnCycle)
        OnCycle(iconIndex_ + 1 < count ? iconIndex_ + 1 : 0);
    SetIconIndex(iconIndex_ + 1 < count ? iconIndex_ + 1 : 0);
}

// Never consumes a message.
bool TTrayIcon::MainWindowHook(UINT msg, WPARAM wParam, LPARAM lParam) {
    gui::Application* app = gui::Application::Instance();
    if (msg == TrayCallbackMessage) {
        // Version 4 packs the event and the icon into lParam, the icon's
        // place on the screen (the anchor of a menu) into wParam.
        const bool packed = callbackVersion_ >= NOTIFYICON_VERSION_4;
        if ((packed ? HIWORD(lParam) : wParam) != IconId())
            return false; // another icon's
        const POINT anchor = packed ? POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)} : CursorPos();
        HandleCallback(packed ? LOWORD(lParam) : static_cast<UINT>(lParam), anchor);
        return true;
    }
    if (msg == WM_SIZE && wParam == SIZE_MINIMIZED && MinimizeToTray) {
        MinimizeMainToTray();
    } else if (msg == WM_SYSCOMMAND && wParam == SC_RESTORE && app && app->MainForm()) {
        app->MainForm()->Show();
    } else if (msg != 0 && msg == TaskbarCreatedMessage() && iconVisible_) {
        AddToTray(); // the shell restarted: the icon comes back
    }
    return false;
}

bool TTrayIcon::OwnerMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    gui::Application* app = gui::Application::Instance();
    const bool minimizing =
        (msg == WM_SHOWWINDOW && wParam == 0 && lParam == SW_PARENTCLOSING && app && !app->Terminated()) ||
        (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE);
    if (msg == WM_SHOWWINDOW && wParam == 1 && lParam == 0 && app) {
        ::SetForegroundWindow(app->Handle());
        ::SetForegroundWindow(ownerWindow_);
    } else if (minimizing && MinimizeToTray && OnMinimizeToTray) {
        const bool done = gui::GuardedResult(0, [&]() -> LRESULT {
            OnMinimizeToTray();
            MinimizeMainToTray();
            return 1;
        });
        if (done) {
            result = 1;
            return true;
        }
    }
    return false;
}

} // namespace corvinade
