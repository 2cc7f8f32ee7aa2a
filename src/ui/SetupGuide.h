// SetupGuide: the three-page setup guide offered until the user has
// finished it once. It sets start at log-on and offers four suggested WIN
// hotkeys (with other modifiers where Windows holds a combination), which
// it writes into hotkeys.ini; finishing records in the
// registry that the first use is over. From its last page the user can open
// the full settings window. ProgramWindows shows it, from a posted task of
// the first start.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/Hotkeys.h"
#include "gui/LinkLabel.h"
#include "gui/WizardForm.h"

namespace corvinade {

class HotkeyService;

class SetupGuide : public gui::WizardForm {
public:
    // A portable copy's log-on box starts unchecked.
    SetupGuide(HWND owner, HotkeyService& hotkeys, bool portable);
    ~SetupGuide() override;

    struct Suggestion {
        std::uint16_t Key;
        THotkeyAction Func;
        const char* Params;
    };
    // In the order they are written: divide, multiply, S, A, N, all with WIN.
    static constexpr std::size_t SuggestionCount = 5;
    static const std::array<Suggestion, SuggestionCount> SuggestedHotkeys;

    gui::Panel& tsWelcome;
    gui::Label lblWelcomeHeading, lblWelcomeText, lblNextHint, lblThanks;
    gui::LinkLabel lblLink;
    gui::Panel& tsStartup;
    gui::Label lblStartupHeading, lblStartupHelp;
    gui::CheckBox chkStartAtWindowsStart;
    gui::Panel& tsHotkeys;
    gui::Label lblHotkeysHeading, lblHotkeysHelp, lblMoreHotkeysHelp;
    gui::CheckBox chkKeyMinimize;
    gui::Label lblMinimize;
    gui::CheckBox chkKeyMaximize;
    gui::Label lblMaximize;
    gui::CheckBox chkKeyScreenCapture;
    gui::Label lblScreenCapture;
    gui::CheckBox chkKeyRegionCapture;
    gui::Label lblRegionCapture;
    gui::CheckBox chkKeyOpenNotepad;
    gui::Label lblOpenNotepad;
    // Says why a suggestion is offered with other modifiers, or without any.
    gui::Label lblSuggestionNote;
    gui::Button btnSetupMoreHotkeys;

    // "Setup more hotkeys", once the suggestions are written: the settings
    // window, modally.
    std::function<void()> OnMoreHotkeys;
    // "Finish", once the suggestions are written, before the guide goes.
    std::function<void()> OnFinished;

    void OnNextClick();
    void OnPreviousClick();
    void OnCancelClick();
    void OnSetupMoreHotkeysClick();
    void ApplyFirstUse();
    void RefreshSuggestions();
    // Asks, once, which combination each suggestion can have on this
    // computer, and shows it: its own, a free alternative, or none.
    void OfferSuggestions();
    // The modifiers suggestion `index` is written with.
    std::int32_t SuggestionShift(std::size_t index) const;

private:
    void Initialize(bool portable);
    void PageChanged();
    std::array<gui::CheckBox*, SuggestionCount> SuggestionBoxes();
    std::array<gui::Label*, SuggestionCount> SuggestionLabels();

    bool offersMade_ = false;
    std::array<std::optional<std::int32_t>, SuggestionCount> offered_; // none: every combination is taken

    HotkeyService& hotkeys_;
    // Once its suggestions are written, the boxes follow the hotkeys.
    int documentSubscription_ = 0;
};

} // namespace corvinade
