// The tooltip control; see ToolTip.h.
#include "gui/ToolTip.h"

#include <commctrl.h>

#include "gui/Dpi.h"
#include "gui/SystemLibrary.h"

namespace corvinade::gui {

namespace {

constexpr UINT_PTR ToolId = 1;
constexpr int MaxTipWidth = 400; // longer texts wrap

TOOLINFOA ToolOf(HWND window) {
    TOOLINFOA info = {};
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
    tip_.Reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, ::GetAncestor(window, GA_ROOT), nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr));
    if (!tip_)
        return; // no tooltip is no reason to fail the window that wanted one
    ::SendMessageA(tip_.Get(), TTM_SETMAXTIPWIDTH, 0, Scale(MaxTipWidth, WindowDpi(window)));
    TOOLINFOA info = ToolOf(window_);
    info.uFlags = TTF_SUBCLASS;
    info.rect = area;
    info.lpszText = const_cast<char*>(text.c_str());
    ::SendMessageA(tip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

ToolTip::~ToolTip() {
    if (!tip_)
        return;
    // Takes the control's subclass off the window before both go.
    TOOLINFOA info = ToolOf(window_);
    ::SendMessageA(tip_.Get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::SetArea(const RECT& area) {
    TOOLINFOA info = ToolOf(window_);
    info.rect = area;
    ::SendMessageA(tip_.Get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::SetText(const std::string& text) {
    TOOLINFOA info = ToolOf(window_);
    info.lpszText = const_cast<char*>(text.c_str());
    ::SendMessageA(tip_.Get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

} // namespace corvinade::gui
