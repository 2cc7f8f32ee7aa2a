// The tooltip control; see ToolTip.h.
#include "gui/ToolTip.h"

#include <commctrl.h>

#include "core/Wide_win.h"
#include "gui/Dpi.h"
#include "gui/SystemLibrary.h"

namespace corvinade::gui {

namespace {

constexpr UINT_PTR ToolId = 1;
constexpr int MaxTipWidth = 400; // longer texts wrap

TOOLINFOW ToolOf(HWND window) {
    TOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.hwnd = window;
    info.uId = ToolId;
    return info;
}

} // namespace

ToolTip::ToolTip(HWND window, const RECT& area, const std::string& text) : window_(window) {
    InitCommonControlClasses(ICC_WIN95_CLASSES);
    // Owned by the top-level window, so it stays above it; shown also while
    // that window is inactive.
    tip_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, ::GetAncestor(window, GA_ROOT), nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr));
    if (!tip_)
        return; // no tooltip is no reason to fail the window that wanted one
    ::SendMessageW(tip_.Get(), TTM_SETMAXTIPWIDTH, 0, Scale(MaxTipWidth, WindowDpi(window)));
    std::wstring wide = Wide(text);
    TOOLINFOW info = ToolOf(window_);
    info.uFlags = TTF_SUBCLASS;
    info.rect = area;
    info.lpszText = wide.data();
    ::SendMessageW(tip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

ToolTip::~ToolTip() {
    if (!tip_)
        return;
    // Takes the control's subclass off the window before both go.
    TOOLINFOW info = ToolOf(window_);
    ::SendMessageW(tip_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::SetArea(const RECT& area) {
    TOOLINFOW info = ToolOf(window_);
    info.rect = area;
    ::SendMessageW(tip_.Get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::SetText(const std::string& text) {
    std::wstring wide = Wide(text);
    TOOLINFOW info = ToolOf(window_);
    info.lpszText = wide.data();
    ::SendMessageW(tip_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

ToolTips::ToolTips(HWND owner) {
    InitCommonControlClasses(ICC_WIN95_CLASSES);
    tip_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, ::GetAncestor(owner, GA_ROOT), nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr));
    if (tip_)
        ::SendMessageW(tip_.Get(), TTM_SETMAXTIPWIDTH, 0, Scale(MaxTipWidth, WindowDpi(owner)));
}

ToolTips::~ToolTips() {
    if (!tip_)
        return;
    for (HWND window : windows_) {
        TOOLINFOW info = {};
        info.cbSize = sizeof info;
        info.hwnd = ::GetParent(window);
        info.uId = reinterpret_cast<UINT_PTR>(window);
        info.uFlags = TTF_IDISHWND;
        ::SendMessageW(tip_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void ToolTips::Add(HWND window, const std::string& text) {
    if (!tip_ || !window)
        return;
    std::wstring wide = Wide(text);
    TOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.hwnd = ::GetParent(window);
    info.uId = reinterpret_cast<UINT_PTR>(window);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.lpszText = wide.data();
    if (::SendMessageW(tip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)))
        windows_.push_back(window);
}

} // namespace corvinade::gui
