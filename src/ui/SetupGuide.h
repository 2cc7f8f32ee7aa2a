// SetupGuide: the three-page setup guide offered until the user has
// finished it once. It sets start at log-on and offers four suggested WIN
// hotkeys (with other modifiers where Windows holds a combination), which
// it writes into hotkeys.ini; finishing records in the
// registry that the first use is over. From its last page the user can open
// the full settings window. The data module shows it, from a posted task.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>

#include "core/Hotkeys.h"
#include "gui/LinkLabel.h"
#include "gui/WizardForm.h"

namespace corvinade {

class SetupGuide : public gui::WizardForm {
public:
    explicit SetupGuide(HWND owner);
    ~SetupGuide() override;

    struct Suggestion {
        std::uint16_t Key;
        THotkeyAction Func;
        const char* Params;
    };
    // In the order they are written: divide, multiply, S, N, all with WIN.
    static const std::array<Suggestion, 4> SuggestedHotkeys;

    gui::Panel& tsWelcome;
    gui::Label Label10, Label11, Label12, Label13;
    gui::LinkLabel lblLink;
    gui::Panel& tsStartup;
    gui::Label Label1, Label4;
    gui::CheckBox chkStartAtWindowsStart;
    gui::Panel& tsHotkeys;
    gui::Label Label2, Label3, Label5;
    gui::CheckBox chkKeyMinimize;
    gui::Label Label6;
    gui::CheckBox chkKeyMaximize;
    gui::Label Label7;
    gui::CheckBox chkKeyScreenCapture;
    gui::Label Label8;
    gui::CheckBox chkKeyOpenNotepad;
    gui::Label Label9;
    // Says why a suggestion is offered with other modifiers, or without any.
    gui::Label lblSuggestionNote;
    gui::Button btnSetupMoreHotkeys;

    void btnNextClick();
    void btnPreviousClick();
    void btnCancelClick();
    void btnSetupMoreHotkeysClick();
    void ApplyFirstUse();
    void RefreshSuggestions();
    // Asks, once, which combination each suggestion can have on this
    // computer, and shows it: its own, a free alternative, or none.
    void OfferSuggestions();
    // The modifiers suggestion `index` is written with.
    std::int32_t SuggestionShift(std::size_t index) const;

private:
    void FormCreate();
    void pcClientChange();
    std::array<gui::CheckBox*, 4> SuggestionBoxes();
    std::array<gui::Label*, 4> SuggestionLabels();

    bool offersMade_ = false;
    std::array<std::optional<std::int32_t>, 4> offered_; // none: every combination is taken

    // Once its suggestions are written, the boxes follow the hotkeys.
    int documentSubscription_ = 0;
};

} // namespace corvinade
