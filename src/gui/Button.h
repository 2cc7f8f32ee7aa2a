// A push button of a form, with its click event.
#pragma once

#include <functional>

#include "gui/Controls.h"

namespace corvinade::gui {

class Button : public Control {
public:
    Button(Form& parent, const ControlArgs& args);

    // The user clicked the button (BN_CLICKED).
    std::function<void()> OnClick;

protected:
    void HandleCommand(WORD notifyCode) override;
};

} // namespace corvinade::gui
