// The key field; see KeyField.h.
#include "gui/KeyField.h"

#include "core/Wide_win.h"

namespace corvinade::gui {

namespace {

bool IsModifierKey(WPARAM key) {
    switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_LMENU:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
        return true;
    }
    return false;
}

// The modifiers held now, as the message queue saw them.
unsigned HeldModifiers() {
    unsigned held = 0;
    if (::GetKeyState(VK_MENU) < 0)
        held |= MOD_ALT;
    if (::GetKeyState(VK_CONTROL) < 0)
        held |= MOD_CONTROL;
    if (::GetKeyState(VK_SHIFT) < 0)
        held |= MOD_SHIFT;
    if (::GetKeyState(VK_LWIN) < 0 || ::GetKeyState(VK_RWIN) < 0)
        held |= MOD_WIN;
    return held;
}

// Keys the dialog has when pressed alone: Tab moves on, Esc cancels, Enter
// presses the default button.
bool IsBareDialogKey(const MSG& key) {
    if (key.message != WM_KEYDOWN && key.message != WM_CHAR)
        return false;
    if (key.wParam == VK_TAB) // Shift+Tab too
        return ::GetKeyState(VK_CONTROL) >= 0;
    return (key.wParam == VK_ESCAPE || key.wParam == VK_RETURN) && HeldModifiers() == 0;
}

} // namespace

// Read-only, so nothing is typed or pasted into it; the key's name is its
// text, which screen readers read as its value.
KeyField::KeyField(Container& parent, const ControlArgs& args)
    : Control(parent, L"EDIT", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, args) {}

void KeyField::SetKey(std::uint16_t key) {
    key_ = key;
    const std::string name = key != 0 && KeyName ? KeyName(key) : std::string();
    SetCaption(name);
    const WPARAM end = Wide(name).size(); // in UTF-16 units
    ::SendMessageW(Handle(), EM_SETSEL, end, static_cast<LPARAM>(end));
}

void KeyField::Record(std::uint16_t key, unsigned modifiers) {
    SetKey(key);
    if (modifiers != 0 && OnModifiers)
        OnModifiers(modifiers);
    if (OnChange)
        OnChange();
}

bool KeyField::TakeHotkey(unsigned key, unsigned modifiers) {
    Record(static_cast<std::uint16_t>(key), modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN));
    return true;
}

std::optional<std::string> KeyField::AccessibleValue() const {
    if (!Combination)
        return std::nullopt;
    return Combination();
}

bool KeyField::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_GETOBJECT:
        return accessible_.Answer(wParam, lParam, result);
    case WM_GETDLGCODE:
        if (lParam) {
            const MSG& key = *reinterpret_cast<const MSG*>(lParam);
            if (IsBareDialogKey(key)) {
                result = 0;
                return true;
            }
        }
        result = DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // A click only gives the focus: there is no text to select.
        ::SetFocus(Handle());
        result = 0;
        return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!IsModifierKey(wParam)) {
            const unsigned held = HeldModifiers();
            const bool clears = held == 0 && (wParam == VK_BACK || wParam == VK_DELETE);
            Record(clears ? 0 : static_cast<std::uint16_t>(wParam), held);
        }
        result = 0;
        return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
    case WM_CONTEXTMENU:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
        result = 0; // no beep, no menu, no text of its own
        return true;
    }
    return false;
}

HBRUSH KeyField::CtlColor(HDC dc) {
    // The look of an edit box, though it is read-only.
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    return ::GetSysColorBrush(COLOR_WINDOW);
}

} // namespace corvinade::gui
