// Push buttons; see Button.h.
#include "gui/Button.h"

#include <algorithm>

#include <oleacc.h>

#include "core/Wide_win.h"
#include "gui/Accessible.h"
#include "gui/Form.h"
#include "gui/Handles.h"

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

// Readers read a button by its class and style; Wine reads every button as
// a plain client area. A tool says what it is itself: a radio button with
// its caption, checked while it is the tool.
class ToolButton::Accessible final : public AccessibleContent {
public:
    explicit Accessible(ToolButton& button) : button_(button), window_(button.Handle(), *this) {}
    std::optional<std::string> AccessibleName() const override { return button_.PlainCaption(); }
    std::optional<long> AccessibleRole() const override { return ROLE_SYSTEM_RADIOBUTTON; }
    long AccessibleStateAdded() const override { return button_.Checked() ? STATE_SYSTEM_CHECKED : 0; }
    AccessibleWindow& Window() { return window_; }

private:
    ToolButton& button_;
    AccessibleWindow window_;
};

ToolButton::ToolButton(Container& parent, const ControlArgs& args)
    : Control(parent, L"BUTTON", BS_RADIOBUTTON | BS_PUSHLIKE | WS_TABSTOP, WS_EX_NOPARENTNOTIFY, args),
      accessible_(std::make_unique<Accessible>(*this)) {}

ToolButton::~ToolButton() = default;

bool ToolButton::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return msg == WM_GETOBJECT && accessible_ && accessible_->Window().Answer(wParam, lParam, result);
}

bool ToolButton::Checked() const {
    return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ToolButton::SetChecked(bool checked) {
    ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Measured once per dpi, on a memory DC: a window's DC costs a trip to the
// display server, and the toolbar lays out at every resize.
int ToolButton::CaptionDesignWidth() const {
    if (measuredDpi_ == Dpi())
        return measuredWidth_;
    MemoryDC dc(::CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.Get(), CurrentFont());
    const std::wstring caption = Wide(PlainCaption());
    SIZE text = {0, 0};
    ::GetTextExtentPoint32W(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &text);
    measuredDpi_ = Dpi();
    measuredWidth_ = ::MulDiv(text.cx, DesignDpi, std::max(1, Dpi())) + 16;
    return measuredWidth_;
}

void ToolButton::HandleCommand(WORD notifyCode) {
    if (notifyCode == BN_CLICKED && OnClick)
        OnClick();
}

} // namespace corvinade::gui
