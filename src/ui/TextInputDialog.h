// TextInputDialog: the small modal dialog in which a multi-line keystroke text
// is edited. Its owner fills the memo, shows it modally and reads the memo
// after OK.
#pragma once

#include <string>

#include "gui/Button.h"
#include "gui/Form.h"
#include "gui/Panel.h"

namespace corvinade {

class TextInputDialog : public gui::Form {
public:
    explicit TextInputDialog(HWND owner);

    gui::Panel pnlClient, pnlBottom;
    gui::Label lblText;
    gui::Memo edtText;
    gui::Button btnOK, btnCancel;
};

} // namespace corvinade
