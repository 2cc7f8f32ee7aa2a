// NewHotkeyWizard: the two-page wizard that creates one hotkey. Page "Key"
// asks for the key and its modifiers, page "Action" for the action and its
// parameters; "&Finish" appends the new hotkey, active, to the hotkey
// document and commits it (the file, then the live hotkeys).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/CombinationCheck.h"
#include "core/Hotkeys.h"
#include "gui/FileDialog.h"
#include "gui/KeyField.h"
#include "gui/WizardForm.h"
#include "ui/ParameterEditing.h"

namespace corvinade {

class NewHotkeyWizard : public gui::WizardForm {
public:
    explicit NewHotkeyWizard(HWND owner);
    ~NewHotkeyWizard() override;

    enum class TPage { tsKey, tsAction, None };

    // Page "Key".
    gui::Panel& tsKey;
    gui::Label Label1, Label4, Label5, Label3;
    gui::CheckBox ShiftKeyWin, ShiftKeyALt, ShiftKeyCTRL, ShiftKeyShift; // tab order as shown
    gui::Label Label2;
    gui::KeyField HotKey1;
    // Whether the combination can be had, said as it changes.
    gui::Label lblCombination;
    // Page "Action".
    gui::Panel& tsAction;
    gui::Label Label6, Label7, Label8, Label9;
    gui::ComboBox cbAction;
    gui::Label Label10;
    gui::Edit edtParameters;
    gui::Button btnParameters;
    gui::Label lblAdditionalParameters;
    gui::Edit edtAdditionalParameters;
    gui::OpenDialog OpenDialog1;

    bool ValidatePage(TPage page);
    void AddNewHotkey();
    std::int32_t GetShift() const;
    // Ticks exactly the boxes of these modifiers (MOD_*).
    void SetShift(unsigned modifiers);
    THotkeyAction GetFunc() const;
    std::string GetParamsText() const;
    std::string GetParams2Text() const;

    void btnNextClick();
    void btnPreviousClick();
    void cbActionSelect();
    void btnParametersClick();

private:
    void FormCreate();
    void pcClientChange();
    bool Fails(const char* message);
    void UpdateCombinationStatus();

    TCombinationStatus combinationStatus_;

    ParameterControls parameterControls_;
};

} // namespace corvinade
