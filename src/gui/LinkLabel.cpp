// Links; see LinkLabel.h.
#include "gui/LinkLabel.h"

#include <commctrl.h>
#include <shellapi.h>

#include "gui/Handles.h"

namespace corvinade::gui {

namespace {

const char* LinkClass() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_LINK_CLASS};
        return ::InitCommonControlsEx(&init) != FALSE;
    }();
    (void)registered;
    return "SysLink";
}

// The link control reads "<a>" markup; everything else is text.
std::string Markup(const std::string& text) {
    return "<a>" + text + "</a>";
}

} // namespace

LinkLabel::LinkLabel(Container& parent, const ControlArgs& args)
    : Control(parent, LinkClass(), WS_TABSTOP, 0,
              ControlArgs{args.left, args.top, args.width, args.height, Markup(args.caption), args.align,
                          args.anchors}) {
    LayOutAgain();
}

bool LinkLabel::HandleNotify(NMHDR& header, LRESULT& result) {
    if (header.code != NM_CLICK && header.code != NM_RETURN)
        return false;
    result = 0;
    if (OnClick)
        OnClick();
    else if (!Execute.empty())
        ::ShellExecuteA(Handle(), "open", Execute.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}

SIZE LinkLabel::PreferredSize() const {
    SIZE ideal = {};
    if (::SendMessageA(Handle(), LM_GETIDEALHEIGHT, /* LM_GETIDEALSIZE with a SIZE */ static_cast<WPARAM>(Scale(600)), reinterpret_cast<LPARAM>(&ideal)) &&
        ideal.cx > 0)
        return {ideal.cx + Scale(2), ideal.cy};
    // Without an answer: the text's extent.
    WindowDC dc(Handle());
    ScopedSelect font(dc.Get(), CurrentFont());
    std::string text = Caption();
    SIZE size = {};
    ::GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy + Scale(2)};
}

} // namespace corvinade::gui
