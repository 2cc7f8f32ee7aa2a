// The capture's count-down; see CountDown.h.
#include "capture/CountDown.h"

#include <utility>

#include "capture/CaptureTarget_win.h"
#include "core/CaptureOptions.h"
#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Contrast.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"
#include "gui/WindowClass.h"

namespace corvinade {

namespace {

constexpr wchar_t kClass[] = L"CorvinadeCountDown";
constexpr UINT_PTR kSecondTimer = 1, kSettleTimer = 2;
constexpr int kEscapeHotkey = 1; // on this window only
// Design pixels: the window, and its distance from the work area's corner.
constexpr int kWidth = 132, kHeight = 84, kMargin = 16;
// After hiding, before the grab: what was under the window is drawn again.
constexpr UINT kSettleMs = 150;

std::string Title(int remaining) {
    return "Capture in " + SecondsText(remaining);
}

// Left out of screen grabs where the system can do that (Windows 10 2004
// on); elsewhere it hides before the grab anyway.
void ExcludeFromCapture(HWND window) {
    using SetAffinity = BOOL(WINAPI*)(HWND, DWORD);
    static const auto setAffinity =
        gui::FindSystemFunction<SetAffinity>("user32.dll", "SetWindowDisplayAffinity");
    constexpr DWORD ExcludeFromCapture = 0x11; // WDA_EXCLUDEFROMCAPTURE
    if (setAffinity)
        setAffinity(window, ExcludeFromCapture);
}

} // namespace

CountDown::CountDown(int seconds, std::function<void()> elapsed)
    : remaining_(seconds < 1 ? 1 : seconds), dpi_(gui::DesignDpi), elapsed_(std::move(elapsed)) {
    gui::RegisterWindowClass({.name = kClass, .proc = ClassProcedure});
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    const std::vector<MonitorArea> monitors = SystemMonitors().Monitors();
    const MonitorArea& monitor =
        monitors[MonitorOfRect(monitors, {cursor.x, cursor.y, cursor.x + 1, cursor.y + 1})];
    dpi_ = monitor.dpi;
    const int width = ::MulDiv(kWidth, dpi_, gui::DesignDpi),
              height = ::MulDiv(kHeight, dpi_, gui::DesignDpi);
    const int margin = ::MulDiv(kMargin, dpi_, gui::DesignDpi);
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClass,
                                    Wide(Title(remaining_)).c_str(), WS_POPUP | WS_BORDER,
                                    monitor.work.right - margin - width,
                                    monitor.work.bottom - margin - height, width, height, gui::App().Handle(),
                                    nullptr, ::GetModuleHandleW(nullptr), static_cast<gui::Window*>(this));
    if (!window)
        throw Error("Cannot create the count-down window");
    accessible_ =
        std::make_unique<gui::AccessibleWindow>(window, static_cast<gui::AccessibleContent&>(*this));
    ExcludeFromCapture(window);
    escapeHeld_ = ::RegisterHotKey(window, kEscapeHotkey, 0, VK_ESCAPE) != FALSE;
    ::SetTimer(window, kSecondTimer, 1000, nullptr);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
}

CountDown::~CountDown() {
    elapsed_ = nullptr;
    End();
}

void CountDown::Cancel() {
    elapsed_ = nullptr;
    End();
}

void CountDown::End() {
    HWND window = window_;
    if (!window)
        return;
    if (escapeHeld_)
        ::UnregisterHotKey(window, kEscapeHotkey);
    escapeHeld_ = false;
    ::KillTimer(window, kSecondTimer);
    ::KillTimer(window, kSettleTimer);
    ::DestroyWindow(window); // forgets it: WM_NCDESTROY
    accessible_.reset();
}

void CountDown::Tick() {
    if (--remaining_ > 0) {
        ShowRemaining();
        return;
    }
    ::KillTimer(window_, kSecondTimer);
    if (escapeHeld_)
        ::UnregisterHotKey(window_, kEscapeHotkey);
    escapeHeld_ = false;
    ::ShowWindow(window_, SW_HIDE);
    ::SetTimer(window_, kSettleTimer, kSettleMs, nullptr);
}

void CountDown::ShowRemaining() {
    ::SetWindowTextW(window_, Wide(Title(remaining_)).c_str());
    ::InvalidateRect(window_, nullptr, FALSE);
    if (accessible_)
        accessible_->NameChanged();
}

// The seconds large, "Esc cancels" under them.
void CountDown::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window_, &ps);
    RECT client = {};
    ::GetClientRect(window_, &client);
    gui::GdiObject<HBRUSH> background(::CreateSolidBrush(gui::ContrastColor(RGB(32, 32, 32), COLOR_WINDOW)));
    ::FillRect(dc, &client, background.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, gui::ContrastColor(RGB(255, 255, 255), COLOR_WINDOWTEXT));
    RECT number = client, hint = client;
    number.bottom = client.bottom - ::MulDiv(24, dpi_, gui::DesignDpi);
    hint.top = number.bottom;
    {
        gui::ScopedSelect font(dc, gui::Font({.height = 36, .style = gui::FontBold}, dpi_));
        ::DrawTextW(dc, std::to_wstring(remaining_).c_str(), -1, &number,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    gui::ScopedSelect font(dc, gui::Font({}, dpi_));
    ::DrawTextW(dc, L"Esc cancels", -1, &hint, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    ::EndPaint(window_, &ps);
}

LRESULT CountDown::WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == kSecondTimer) {
            Tick();
        } else if (wParam == kSettleTimer) {
            std::function<void()> elapsed = std::move(elapsed_);
            End();
            if (elapsed)
                elapsed();
        }
        return 0;
    case WM_HOTKEY:
        if (wParam == kEscapeHotkey)
            Cancel();
        return 0;
    case WM_MOUSEACTIVATE: // a click cancels, the window in front keeps the focus
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        Cancel();
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETOBJECT:
        if (LRESULT result = 0; accessible_ && accessible_->Answer(wParam, lParam, result))
            return result;
        break;
    default:
        break;
    }
    return DefaultHandling(msg, wParam, lParam);
}

std::optional<std::string> CountDown::AccessibleName() const {
    return Title(remaining_) + ", Esc cancels";
}

} // namespace corvinade
