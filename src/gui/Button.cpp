// Push buttons; see Button.h.
#include "gui/Button.h"

#include "gui/Form.h"

namespace corvinade::gui {

// No WM_PARENTNOTIFY: a form that deletes itself destroys its buttons while
// its window still exists, and must not be called back then.
Button::Button(Container& parent, const ControlArgs& args)
    : Control(parent, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, WS_EX_NOPARENTNOTIFY, args) {}

void Button::Click() {
    if (OnClick)
        OnClick();
    if (ModalResult != 0)
        if (Form* form = RootForm(); form && Handle())
            form->SetModalResult(ModalResult);
}

void Button::SetDefaultLook(bool isDefault) {
    if (Handle())
        ::SendMessageW(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void Button::HandleCommand(WORD notifyCode) {
    if (notifyCode == BN_CLICKED)
        Click();
}

} // namespace corvinade::gui
