// Links; see LinkLabel.h.
#include "gui/LinkLabel.h"

#include <oleacc.h>
#include <shellapi.h>
#include <windowsx.h>

#include "core/Wide_win.h"
#include "gui/Contrast.h"
#include "gui/Handles.h"
#include "gui/TextInk.h"
#include "gui/WindowClass.h"

namespace corvinade::gui {

namespace {

constexpr wchar_t LinkClass[] = L"CorvinadeLink";
// Room around the text for the focus rectangle.
constexpr int FocusMargin = 1;

const wchar_t* RegisteredLinkClass() {
    RegisterWindowClass({.name = LinkClass,
                         .proc = ::DefWindowProcW,
                         .cursor = ::LoadCursorW(nullptr, ResourceId(IDC_HAND))});
    return LinkClass;
}

// The colour of links in the program's windows (the tray panel's too): the
// highlight colour, in high contrast the theme's link colour.
COLORREF LinkColor() {
    return ContrastColor(::GetSysColor(COLOR_HIGHLIGHT), COLOR_HOTLIGHT);
}

} // namespace

LinkLabel::LinkLabel(Container& parent, const ControlArgs& args)
    : Control(parent, RegisteredLinkClass(), WS_TABSTOP, 0, args), text_(args.caption) {
    LayOutAgain();
}

void LinkLabel::Follow() {
    if (OnClick)
        OnClick();
    else if (!Execute.empty())
        ::ShellExecuteW(Handle(), L"open", Wide(Execute).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::optional<long> LinkLabel::AccessibleRole() const {
    return ROLE_SYSTEM_LINK;
}

void LinkLabel::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(Handle(), &ps);
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    if (HBRUSH background = CtlColor(dc))
        ::FillRect(dc, &client, background);
    ScopedSelect font(dc, CurrentFont());
    const std::wstring text = Wide(text_);
    RECT shown = {client.left + FocusMargin, client.top, client.right - FocusMargin, client.bottom};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, LinkColor());
    ::DrawTextW(dc, text.c_str(), -1, &shown, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    DrawUnderline(dc, shown.left, shown.top, text, LinkColor(), shown.right - shown.left);
    if (::GetFocus() == Handle()) {
        RECT around = {};
        ::DrawTextW(dc, text.c_str(), -1, &around, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        ::OffsetRect(&around, shown.left, shown.top);
        ::InflateRect(&around, FocusMargin, 0);
        ::IntersectRect(&around, &around, &client);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::DrawFocusRect(dc, &around);
    }
    ::EndPaint(Handle(), &ps);
}

// Enter and Space follow the link as its own keys (the dialog keys leave
// them to it); a click follows it on the release over it.
bool LinkLabel::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_GETDLGCODE: {
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        const bool ours = message && message->message == WM_KEYDOWN &&
                          (message->wParam == VK_RETURN || message->wParam == VK_SPACE);
        result = ours ? DLGC_WANTMESSAGE : 0;
        return true;
    }
    case WM_KEYDOWN:
        if (wParam != VK_RETURN && wParam != VK_SPACE)
            return false;
        Follow();
        result = 0;
        return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return false;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        ::SetFocus(Handle());
        ::SetCapture(Handle());
        result = 0;
        return true;
    case WM_LBUTTONUP: {
        const bool wasPressed = std::exchange(pressed_, false);
        if (::GetCapture() == Handle())
            ::ReleaseCapture();
        RECT client = {};
        ::GetClientRect(Handle(), &client);
        const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (wasPressed && ::PtInRect(&client, at))
            Follow();
        result = 0;
        return true;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return false;
    case WM_GETOBJECT:
        return accessible_.Answer(wParam, lParam, result);
    }
    return false;
}

SIZE LinkLabel::PreferredSize() const {
    WindowDC dc(Handle());
    ScopedSelect font(dc.Get(), CurrentFont());
    const std::wstring text = Wide(text_);
    SIZE size = {};
    ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return {size.cx + 2 * FocusMargin, size.cy + Scale(2)};
}

} // namespace corvinade::gui
