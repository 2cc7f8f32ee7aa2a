// A link: the system's link control, so the keyboard reaches it (Tab, then
// Enter or Space) and screen readers read it as a link. A click opens its
// address through the shell, or runs OnClick.
#pragma once

#include <functional>
#include <string>

#include "gui/Controls.h"
#include "gui/Handles.h"

namespace corvinade::gui {

class LinkLabel : public Control {
public:
    // The caption is the link's text, shown as it is.
    LinkLabel(Container& parent, const ControlArgs& args);
    ~LinkLabel() override;

    // Opened with the shell's "open" when the user follows the link, unless
    // OnClick is set.
    std::string Execute;
    std::function<void()> OnClick;

protected:
    bool HandleNotify(NMHDR& header, LRESULT& result) override;
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override;

private:
    void ApplyOwnFont();
    GdiObject<HFONT> ownFont_; // the control's copy of its font; ours alone
    SIZE PreferredSize() const override;
};

} // namespace corvinade::gui
