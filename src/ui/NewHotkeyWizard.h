// NewHotkeyWizard: the two-page wizard that creates one hotkey. Page "Key"
// asks for the key and its modifiers, page "Action" for the action and its
// parameters; "&Finish", enabled once an action is chosen, appends the new
// hotkey, active, to the hotkey document and commits it (the file, then the
// live hotkeys). Cancel asks before it drops what was entered.
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

class HotkeyService;

class NewHotkeyWizard : public gui::WizardForm {
public:
    NewHotkeyWizard(HWND owner, HotkeyService& hotkeys);
    ~NewHotkeyWizard() override;

    // What ValidatePage checks: one page, or both before the hotkey is added.
    enum class PageToCheck { Key, Action, Both };

    // Page "Key".
    gui::Panel& tsKey;
    gui::Label lblKeyHeading, lblKeyHelp, lblShiftHelp, lblCombinationHelp, lblShiftKey;
    gui::CheckBox ShiftKeyWin, ShiftKeyAlt, ShiftKeyCtrl, ShiftKeyShift; // tab order as shown
    gui::Label lblKey;
    gui::KeyField edtKey;
    // Whether the combination can be had, said as it changes.
    gui::Label lblCombination;
    // Page "Action".
    gui::Panel& tsAction;
    gui::Label lblActionHeading, lblActionHelp, lblParametersHelp, lblAction;
    gui::ComboBox cbAction;
    gui::Label lblParameters;
    gui::Edit edtParameters;
    gui::Button btnParameters;
    gui::Label lblAdditionalParameters;
    gui::Edit edtAdditionalParameters;
    gui::Label lblKeystrokeRules; // for Send keystrokes, in the place of the arguments
    gui::Label lblDelay;          // for the capture actions
    gui::Edit edtDelay;
    gui::Label lblSeconds;
    gui::CheckBox chkPointer;
    gui::CheckBox chkSameArea; // for Capture region
    gui::OpenDialog OpenParameterDialog;

    bool ValidatePage(PageToCheck page);
    void AddNewHotkey();
    std::int32_t GetShift() const;
    // Ticks exactly the boxes of these modifiers (MOD_*).
    void SetShift(unsigned modifiers);
    THotkeyAction GetFunc() const;
    std::string GetParamsText() const;
    std::string GetParams2Text() const;
    // The chosen action's capture options (the defaults for other actions).
    TCaptureOptions GetCaptureOptions() const;

    void OnNextClick();
    void OnPreviousClick();
    void OnActionSelect();
    void OnParametersClick();

private:
    void Initialize();
    void PageChanged();
    // Something typed, ticked or chosen: Cancel asks before it goes.
    bool HasInput() const;
    bool ConfirmCancel();
    bool Fails(const char* message);
    void UpdateCombinationStatus();

    HotkeyService& hotkeys_;
    TCombinationStatus combinationStatus_;

    ParameterControls parameterControls_;
};

} // namespace corvinade
