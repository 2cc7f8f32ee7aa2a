// A link: a control of ours that the keyboard reaches (Tab, then Enter or
// Space) and that shows its text in the link colour, underlined as far as
// the text's ink goes (see TextInk.h), with a hand over it and a focus
// rectangle while it has the focus; screen readers read it as a link
// through an accessible object of ours. A click opens its address through
// the shell, or runs OnClick.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "gui/Accessible.h"
#include "gui/Controls.h"

namespace corvinade::gui {

class LinkLabel : public Control, private AccessibleContent {
public:
    // The caption is the link's text, shown as it is.
    LinkLabel(Container& parent, const ControlArgs& args);

    // Opened with the shell's "open" when the user follows the link, unless
    // OnClick is set.
    std::string Execute;
    std::function<void()> OnClick;

protected:
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    SIZE PreferredSize() const override;

private:
    void Follow();
    void Paint();
    // Read as a link with its text.
    std::optional<std::string> AccessibleName() const override { return text_; }
    std::optional<long> AccessibleRole() const override;
    std::optional<std::string> AccessibleDefaultAction() const override { return "Jump"; }
    void DoAccessibleAction(int) override { Follow(); }

    std::string text_;
    bool pressed_ = false; // the left button went down on the link
    AccessibleWindow accessible_{Handle(), *this};
};

} // namespace corvinade::gui
