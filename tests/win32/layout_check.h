// A layout check for any window: walks its visible child controls and
// reports, in words a reviewer can act on, what a user would see as broken:
// - a control that reaches outside its parent's client area (or, where the
//   parent scrolls, outside what its scroll bars reach);
// - two sibling controls that overlap, where neither contains the other;
// - a single-line text (label, button, check box, the selected item of a
//   drop-down list, a tab) wider than its room in the control's own font,
//   unless the control cuts it with an ellipsis; a word-wrapped label whose
//   lines need more height than it has; a drop-down item wider than the
//   open list;
// - a mnemonic letter used twice among the visible controls of the window
//   (by controls of different kinds or texts).
#pragma once

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

namespace corvinade::testing {

inline std::wstring WindowTextOf(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

inline std::string Narrow(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

class LayoutCheck {
public:
    // Checks `window` and everything visible inside it.
    explicit LayoutCheck(HWND window) {
        Walk(window);
        // The same button repeated (each row's "&Edit") shares its letter:
        // the key then moves between them, as it does in the system's dialogs.
        for (auto& [letter, names] : mnemonics_) {
            std::sort(names.begin(), names.end());
            names.erase(std::unique(names.begin(), names.end()), names.end());
        }
        for (const auto& [letter, names] : mnemonics_)
            if (names.size() > 1) {
                std::string all;
                for (const std::string& name : names)
                    all += (all.empty() ? "" : ", ") + name;
                faults_.push_back("mnemonic '" + std::string(1, static_cast<char>(letter)) + "' used by " +
                                  all);
            }
    }

    const std::vector<std::string>& Faults() const { return faults_; }

    // The faults, one a line, for a test's failure message.
    std::string Report() const {
        std::string text;
        for (const std::string& fault : faults_)
            text += "  " + fault + "\n";
        return text;
    }

private:
    static std::wstring ClassOf(HWND window) {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        return name;
    }

    static std::string NameOf(HWND window) {
        return Narrow(ClassOf(window)) + " \"" + Narrow(WindowTextOf(window)) + "\"";
    }

    // The rectangle of a child in its parent's client coordinates.
    static RECT RectInParent(HWND child) {
        RECT r = {};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // The client area, or along a shown scroll bar of the window's own the
    // whole range it scrolls, in client coordinates.
    static RECT ScrolledArea(HWND window) {
        RECT area = {};
        ::GetClientRect(window, &area);
        const LONG style = ::GetWindowLongW(window, GWL_STYLE);
        for (const int bar : {SB_HORZ, SB_VERT}) {
            SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS};
            if (!(style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) ||
                !::GetScrollInfo(window, bar, &info) || info.nPage == 0 ||
                static_cast<int>(info.nPage) > info.nMax - info.nMin)
                continue;
            LONG& start = bar == SB_HORZ ? area.left : area.top;
            LONG& end = bar == SB_HORZ ? area.right : area.bottom;
            start = -info.nPos;
            end = std::max<LONG>(end, start + info.nMax + 1);
        }
        return area;
    }

    static bool Contains(const RECT& outer, const RECT& inner) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    }

    // Width and height of a text in the control's font, with or without
    // "&" meaning a mnemonic, and its height when wrapped at `wrapWidth`.
    static SIZE Extent(HWND control, const std::wstring& text, UINT format, int wrapWidth = 0) {
        HDC dc = ::GetDC(control);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        RECT r = {0, 0, wrapWidth, 0};
        ::DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &r,
                    format | DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
        return {r.right - r.left, r.bottom - r.top};
    }

    void Fault(HWND window, const std::string& what) { faults_.push_back(NameOf(window) + ": " + what); }

    void Walk(HWND parent) {
        std::vector<HWND> children;
        for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            if (::IsWindowVisible(child))
                children.push_back(child);
        const RECT client = ScrolledArea(parent);
        for (size_t i = 0; i < children.size(); ++i) {
            const RECT r = RectInParent(children[i]);
            if (!Contains(client, r))
                Fault(children[i], "reaches outside its parent " + NameOf(parent) + " (" + Describe(r) +
                                       " in " + Describe(client) + ")");
            for (size_t j = i + 1; j < children.size(); ++j) {
                const RECT other = RectInParent(children[j]);
                RECT both = {};
                if (::IntersectRect(&both, &r, &other) && !Contains(r, other) && !Contains(other, r))
                    Fault(children[i], "overlaps " + NameOf(children[j]) + " (" + Describe(both) + ")");
            }
            CheckText(children[i]);
            Walk(children[i]);
        }
    }

    static std::string Describe(const RECT& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
               "x" + std::to_string(r.bottom - r.top);
    }

    void NoteMnemonic(HWND window, const std::wstring& text) {
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != L'&')
                continue;
            if (text[i + 1] == L'&') {
                ++i;
                continue;
            }
            mnemonics_[static_cast<wchar_t>(::towupper(text[i + 1]))].push_back(NameOf(window));
            return;
        }
    }

    void TooWide(HWND window, const std::wstring& text, int need, int room) {
        Fault(window,
              "\"" + Narrow(text) + "\" needs " + std::to_string(need) + " px, has " + std::to_string(room));
    }

    void CheckText(HWND control) {
        const std::wstring cls = ClassOf(control);
        const std::wstring text = WindowTextOf(control);
        const LONG style = ::GetWindowLongW(control, GWL_STYLE);
        RECT client = {};
        ::GetClientRect(control, &client);
        const int width = client.right, height = client.bottom;
        if (cls == L"Static") {
            const LONG type = style & SS_TYPEMASK;
            if (text.empty() ||
                (type != SS_LEFT && type != SS_LEFTNOWORDWRAP && type != SS_RIGHT && type != SS_CENTER))
                return;
            const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
            if (!(style & SS_NOPREFIX))
                NoteMnemonic(control, text);
            if (style & SS_ELLIPSISMASK)
                return;
            if (type == SS_LEFTNOWORDWRAP) {
                const SIZE need = Extent(control, text, prefix);
                if (need.cx > width)
                    TooWide(control, text, need.cx, width);
            } else {
                const SIZE need = Extent(control, text, prefix, width);
                if (need.cy > height)
                    Fault(control, "\"" + Narrow(text) + "\" needs " + std::to_string(need.cy) +
                                       " px of height wrapped, has " + std::to_string(height));
            }
        } else if (cls == L"Button") {
            const LONG type = style & BS_TYPEMASK;
            if (type == BS_GROUPBOX || type == BS_OWNERDRAW)
                return;
            NoteMnemonic(control, text);
            const SIZE need = Extent(control, text, 0);
            int room = width;
            if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
                room -= 2 * (::GetSystemMetrics(SM_CXEDGE) + 1);
            else // the box or circle and the gap after it
                room -= ::GetSystemMetrics(SM_CXMENUCHECK) + ::GetSystemMetrics(SM_CXEDGE);
            if (need.cx > room)
                TooWide(control, text, need.cx, room);
        } else if (cls == L"ComboBox") {
            const int count = static_cast<int>(::SendMessageW(control, CB_GETCOUNT, 0, 0));
            const int selected = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
            COMBOBOXINFO info = {sizeof info};
            ::GetComboBoxInfo(control, &info);
            const int closedRoom = info.rcItem.right - info.rcItem.left - 2;
            const int listRoom = static_cast<int>(::SendMessageW(control, CB_GETDROPPEDWIDTH, 0, 0)) -
                                 ::GetSystemMetrics(SM_CXVSCROLL) - 2 * ::GetSystemMetrics(SM_CXEDGE);
            for (int i = 0; i < count; ++i) {
                std::wstring item(static_cast<size_t>(::SendMessageW(control, CB_GETLBTEXTLEN, i, 0)) + 1,
                                  L'\0');
                item.resize(static_cast<size_t>(
                    ::SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
                const int need = Extent(control, item, DT_NOPREFIX).cx;
                if (need > listRoom)
                    Fault(control, "item \"" + Narrow(item) + "\" needs " + std::to_string(need) +
                                       " px, the open list has " + std::to_string(listRoom));
                if (i == selected && need > closedRoom)
                    Fault(control, "the chosen \"" + Narrow(item) + "\" needs " + std::to_string(need) +
                                       " px, the closed box has " + std::to_string(closedRoom));
            }
        } else if (cls == L"SysTabControl32") {
            const int count = TabCtrl_GetItemCount(control);
            for (int i = 0; i < count; ++i) {
                wchar_t buffer[256] = {};
                TCITEMW item = {};
                item.mask = TCIF_TEXT;
                item.pszText = buffer;
                item.cchTextMax = 256;
                ::SendMessageW(control, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
                RECT tab = {};
                TabCtrl_GetItemRect(control, i, &tab);
                NoteMnemonic(control, buffer);
                const int need = Extent(control, buffer, 0).cx;
                if (need > tab.right - tab.left)
                    TooWide(control, buffer, need, tab.right - tab.left);
            }
        }
    }

    std::vector<std::string> faults_;
    std::map<wchar_t, std::vector<std::string>> mnemonics_;
};

} // namespace corvinade::testing
