// The program's own message boxes: four kinds, each with its icon and title,
// modal to the program's active window.
#pragma once

#include <windows.h>

#include <string>

namespace corvinade::gui {

enum class DialogKind {
    Warning,      // "Warning", warning icon
    Error,        // "Error", error icon
    Information,  // "Information", information icon
    Confirmation, // "Confirm", question icon
};

// Shows `text` and returns the button pressed (IDOK, IDYES, ...).
int MessageDlg(const std::string& text, DialogKind kind, UINT buttons = MB_OK);

// The one way the program shows a message box (the error display and the
// keystroke sender's message too): modal to `owner`; null caption gives the
// system's "Error".
int ShowMessageBox(HWND owner, const std::string& text, const char* caption, UINT flags);

} // namespace corvinade::gui
