// A push button with its click event and, for dialogs, a modal result that
// ends its form's modal run when clicked; a tool button, one of a set of
// which one stays pressed.
#pragma once

#include <functional>
#include <memory>

#include "gui/Controls.h"

namespace corvinade::gui {

class Button : public Control {
public:
    Button(Container& parent, const ControlArgs& args);

    // Clicked in a modal run, the button ends it with this result (0: none).
    int ModalResult = 0;

    // What a click does: OnClick, then the modal result.
    void Click();
    // The look of the default button (a thicker frame); set through the
    // container's SetDefaultButton.
    void SetDefaultLook(bool isDefault);

    // The user clicked the button (BN_CLICKED).
    std::function<void()> OnClick;

protected:
    void HandleCommand(WORD notifyCode) override;
};

// A push-like radio button: it stays pressed while checked, and screen
// readers read it as a radio button with its caption and state. Its owner
// checks it, and makes the first of a set start a group (WS_GROUP, as the
// control after the set): Tab stops at the checked one, Space presses the
// one with the focus.
class ToolButton : public Control {
public:
    ToolButton(Container& parent, const ControlArgs& args);
    ~ToolButton() override;
    bool Checked() const;
    void SetChecked(bool checked);
    // The design width its caption needs, with room around it.
    int CaptionDesignWidth() const;
    std::function<void()> OnClick;

protected:
    void HandleCommand(WORD notifyCode) override;
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    class Accessible;
    std::unique_ptr<Accessible> accessible_;
    mutable int measuredDpi_ = 0, measuredWidth_ = 0;
};

} // namespace corvinade::gui
