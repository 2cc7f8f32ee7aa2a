// ProgramRulesDialog: the small modal dialog in which a settings row's
// program rule is edited: the programs where the hotkey works ("Only in:")
// and those where it does not ("Not in:"), each with its "Running..." and
// "Browse..." buttons. Its owner fills the two lists, shows it modally and
// reads them after OK.
#pragma once

#include <string>

#include "gui/Button.h"
#include "gui/Form.h"
#include "ui/ParameterEditing.h"

namespace corvinade {

class ProgramRulesDialog : public gui::Form {
public:
    // `combination` names the hotkey in the help line ("WIN + N").
    ProgramRulesDialog(HWND owner, const std::string& combination);

    gui::Label lblHelp;
    ProgramListField OnlyIn, NotIn;
    gui::Button btnOK, btnCancel;
};

} // namespace corvinade
