// A link: the system's link control, so the keyboard reaches it (Tab, then
// Enter or Space); screen readers read it as a link through an accessible
// object of ours. A click opens its
// address through the shell, or runs OnClick.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "gui/Accessible.h"
#include "gui/Controls.h"
#include "gui/Handles.h"

namespace corvinade::gui {

class LinkLabel : public Control, private AccessibleContent {
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
    void Follow();
    void ApplyOwnFont();
    // Read as a link with its text, whatever the system makes of the markup.
    std::optional<std::string> AccessibleName() const override { return text_; }
    std::optional<long> AccessibleRole() const override;
    std::optional<std::string> AccessibleDefaultAction() const override { return "Jump"; }
    void DoAccessibleAction(int) override { Follow(); }

    std::string text_;
    AccessibleWindow accessible_{Handle(), *this};
    GdiObject<HFONT> ownFont_; // the control's copy of its font; ours alone
    SIZE PreferredSize() const override;
};

} // namespace corvinade::gui
