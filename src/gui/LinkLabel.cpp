// Links; see LinkLabel.h.
#include "gui/LinkLabel.h"

#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include "core/Wide_win.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"

namespace corvinade::gui {

namespace {

constexpr wchar_t LinkClass[] = L"SysLink";

// The link control reads "<a>" markup; everything else is text.
std::string Markup(const std::string& text) {
    return "<a>" + text + "</a>";
}

} // namespace

LinkLabel::LinkLabel(Container& parent, const ControlArgs& args)
    : Control(parent, LinkClass, WS_TABSTOP, 0,
              ControlArgs{args.left, args.top, args.width, args.height, Markup(args.caption), args.align,
                          args.anchors}),
      text_(args.caption) {
    ApplyOwnFont();
    LayOutAgain();
}

bool LinkLabel::HandleNotify(NMHDR& header, LRESULT& result) {
    if (header.code != NM_CLICK && header.code != NM_RETURN)
        return false;
    result = 0;
    Follow();
    return true;
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

// Wine's link control deletes the font it holds when it is destroyed, so it
// holds a copy of the shared font, which is ours: the control lets go of it
// before it is destroyed, and the copy is deleted by us alone (never by
// asking whether a handle still looks like a font, which a recycled handle
// does too).
void LinkLabel::ApplyOwnFont() {
    LOGFONTW font = {};
    ::GetObjectW(CurrentFont(), sizeof font, &font);
    GdiObject<HFONT> copy(::CreateFontIndirectW(&font));
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(copy.Get()), TRUE);
    ownFont_ = std::move(copy); // the control holds the new copy; the old one goes
}

// The window may outlive this object by a moment (the control's window goes
// in the base's destructor): it lets go of the copy first.
LinkLabel::~LinkLabel() {
    if (Handle())
        ::SendMessageW(Handle(), WM_SETFONT, 0, FALSE);
}

void LinkLabel::DpiChanged() {
    ApplyOwnFont();
}

bool LinkLabel::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_GETOBJECT)
        return accessible_.Answer(wParam, lParam, result);
    if (msg == WM_DESTROY)
        ::SendMessageW(Handle(), WM_SETFONT, 0, FALSE);
    return false;
}

SIZE LinkLabel::PreferredSize() const {
    SIZE ideal = {};
    if (::SendMessageW(Handle(), LM_GETIDEALHEIGHT,
                       /* LM_GETIDEALSIZE with a SIZE */ static_cast<WPARAM>(Scale(600)),
                       reinterpret_cast<LPARAM>(&ideal)) &&
        ideal.cx > 0)
        return {ideal.cx + Scale(2), ideal.cy};
    // Without an answer: the text's extent.
    WindowDC dc(Handle());
    ScopedSelect font(dc.Get(), CurrentFont());
    const std::wstring text = Wide(Caption());
    SIZE size = {};
    ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy + Scale(2)};
}

} // namespace corvinade::gui
