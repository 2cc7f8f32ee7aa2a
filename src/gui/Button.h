// A push button with its click event and, for dialogs, a modal result that
// ends its form's modal run when clicked.
#pragma once

#include <functional>

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

} // namespace corvinade::gui
