// Links; see LinkLabel.h.
#include "gui/LinkLabel.h"

#include <commctrl.h>
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
                          args.anchors}) {
    ApplyOwnFont();
    LayOutAgain();
}

bool LinkLabel::HandleNotify(NMHDR& header, LRESULT& result) {
    if (header.code != NM_CLICK && header.code != NM_RETURN)
        return false;
    result = 0;
    if (OnClick)
        OnClick();
    else if (!Execute.empty())
        ::ShellExecuteW(Handle(), L"open", Wide(Execute).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}

// Wine's link control deletes the font it was given when it is destroyed,
// so it gets a copy of its own instead of the program's shared font; what
// the control leaves of the copy goes with it.
void LinkLabel::ApplyOwnFont() {
    LOGFONTW font = {};
    ::GetObjectW(CurrentFont(), sizeof font, &font);
    HFONT previous = ownFont_;
    ownFont_ = ::CreateFontIndirectW(&font);
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(ownFont_), TRUE);
    if (previous && ::GetObjectType(previous) == OBJ_FONT)
        ::DeleteObject(previous);
}

void LinkLabel::DropOwnFont() {
    if (ownFont_ && ::GetObjectType(ownFont_) == OBJ_FONT)
        ::DeleteObject(ownFont_);
    ownFont_ = nullptr;
}

void LinkLabel::DpiChanged() {
    ApplyOwnFont();
}

bool LinkLabel::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_DESTROY)
        return false;
    result = DefaultSubclassProc(Handle(), msg, wParam, lParam);
    DropOwnFont(); // unless the control has deleted it
    return true;
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
