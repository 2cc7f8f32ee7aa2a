// What the new-hotkey wizard and the hotkey rows share: the parameter boxes
// that follow the chosen action, their "..." button, and the line that says
// whether the chosen combination can be had.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/CombinationCheck.h"
#include "core/Hotkeys.h"
#include "gui/Controls.h"
#include "gui/FileDialog.h"

namespace corvinade {

class HotkeyService;

// The controls an editor shows or hides by the action.
struct ParameterControls {
    std::vector<gui::Control*> params;  // shown for actions with a parameter
    std::vector<gui::Control*> button;  // shown for actions with the "..." button
    std::vector<gui::Control*> params2; // shown for actions with additional parameters
    std::vector<gui::Control*> keys;    // shown for Send keystrokes: how keys are written
    std::vector<gui::Control*> capture; // shown for the capture actions: their options
    std::vector<gui::Control*> region;  // shown for Capture region: its own options
    // The boxes' labels, named for what the action takes; with "&" where
    // the editor gives them mnemonics.
    gui::Label* label = nullptr;
    gui::Label* label2 = nullptr;
    bool mnemonics = false;
};

// Shows exactly the boxes the action uses, labelled for it; hidden boxes
// keep their text.
void UpdateParameterControls(const ParameterControls& controls, THotkeyAction func);

// What the parameter box holds for the action ("Program or file", "Text",
// "Web address", ...), and the additional box ("Arguments"); "&" before the
// mnemonic when asked.
std::string ParameterLabel(THotkeyAction func, bool mnemonic = false);
std::string Parameter2Label(bool mnemonic = false);

// The rows' boxes of the capture actions' options (short: a row is narrow
// on a small screen): the pointer in the grab, and Capture region's "same
// area".
extern const char* const PointerCaption;
extern const char* const SameAreaCaption;

// How Send keystrokes reads its text, in one line beside its box.
extern const char* const KeystrokeRules;

// What screen readers call the "..." button beside the parameter box.
std::string ParameterButtonName(THotkeyAction func);

// The "..." button: for Send keystrokes and Place in clipboard the text
// dialog (a line break in it becomes the markers "<?CR?><?LF?>"), for the
// others the file-open dialog starting at the box's text. The box changes
// only when the user confirms.
void EditParameter(gui::Edit& edtParameters, THotkeyAction func, HWND owner, gui::OpenDialog& openDialog);

// A parameter as the hotkey file keeps it: blanks and control characters
// at both ends removed, as reading the file removes them.
std::string StoredParameter(const std::string& text);

// The line beside the key field for the editor of entry `except` (0: a new
// hotkey): the system is asked only here, when the key or a modifier
// changed. Without a key the line is empty and the combination free.
TCombinationStatus ShowCombinationStatus(HotkeyService& hotkeys, gui::Label& line, std::uint16_t key,
                                         std::int32_t shift, std::uint32_t except);

// Finish and Save keep a combination Windows or another program holds (it
// may be freed later) and say so once, in the line's words: the tray does
// not announce its failure again.
void WarnIfHeldElsewhere(HotkeyService& hotkeys, const TCombinationStatus& status, std::uint16_t key,
                         std::int32_t shift);

} // namespace corvinade
