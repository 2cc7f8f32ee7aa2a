// The parameter boxes that follow the chosen action, and their "..."
// button: shared by the new-hotkey wizard and the hotkey rows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/Hotkeys.h"
#include "gui/Controls.h"
#include "gui/FileDialog.h"

namespace corvinade {

// The controls an editor shows or hides by the action.
struct ParameterControls {
    std::vector<gui::Control*> params;  // shown for actions with a parameter
    std::vector<gui::Control*> button;  // shown for actions with the "..." button
    std::vector<gui::Control*> params2; // shown for actions with additional parameters
};

// Shows exactly the boxes the action uses; hidden boxes keep their text.
void UpdateParameterControls(const ParameterControls& controls, THotkeyAction func);

// The "..." button: for Send keystrokes the text dialog (a line break in it
// becomes the markers "<?CR?><?LF?>"), for the others the file-open dialog
// starting at the box's text. The box changes only when the user confirms.
void EditParameter(gui::Edit& edtParameters, THotkeyAction func, HWND owner, gui::OpenDialog& openDialog);

// A parameter as the hotkey file keeps it: blanks and control characters
// at both ends removed, as reading the file removes them.
std::string StoredParameter(const std::string& text);

} // namespace corvinade
