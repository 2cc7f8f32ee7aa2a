// Push buttons; see Button.h.
#include "gui/Button.h"

namespace corvinade::gui {

// No WM_PARENTNOTIFY: a form that deletes itself destroys its buttons while
// its window still exists, and must not be called back then.
Button::Button(Form& parent, const ControlArgs& args)
    : Control(parent, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, WS_EX_NOPARENTNOTIFY, args) {}

void Button::HandleCommand(WORD notifyCode) {
    if (notifyCode == BN_CLICKED && OnClick)
        OnClick();
}

} // namespace corvinade::gui
