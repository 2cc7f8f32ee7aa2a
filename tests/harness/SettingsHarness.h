// What the settings tests need beyond Harness.h: the settings window of a
// Corvinade process and its hotkey rows, controls found by class and
// caption, clicks and choices sent as the controls send them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Harness.h"

namespace corvinade::test {

// The visible settings window of a process.
HWND WaitForSettingsWindow(DWORD processId, Milliseconds timeout = DefaultTimeout);
// Every visible top-level window titled "Settings" of the process.
std::vector<HWND> SettingsWindows(DWORD processId);

// The hotkey rows from top to bottom, and their names (each row says what
// it shows: "WIN + N, Open file, notepad.exe, active"). A long list has
// windows only for the rows in view, the first and the last row, and the
// rows at and beside the focus; those out of view lie just outside it.
std::vector<HWND> HotkeyRows(HWND settings);
std::vector<std::string> RowCaptions(HWND settings);

// The first descendant of this class (any case) and caption ("" for any).
HWND FindDescendant(HWND parent, const std::string& className, const std::string& caption = "");

// The whole window shows in its parent's client area.
bool InView(HWND window);

// Every window inside `parent`, however deep.
std::vector<HWND> AllDescendants(HWND parent);

// Types the text as characters (one Unicode key event each), whatever the
// keyboard layout.
void TypeText(const std::string& text);

// A click on a button or check box, as the mouse gives it, once a user could
// press it (see ExpectPressable; a failure of the test and false when not).
bool PostClick(HWND button);
// True once the thread of `window` has finished the message it was handling:
// a message sent to it is taken only between two others.
bool Handled(HWND window);
bool IsChecked(HWND checkBox);
// Chooses the item with this text in a drop-down list, as the user does
// (a list the user could not reach fails the test, as PostClick).
bool ChooseListItem(HWND combo, const std::string& text);
// Clicks the middle of a window with the pointer (it takes the focus).
bool ClickWindow(HWND window);

// Fills the new-hotkey wizard as a user does: types the key into its key
// field, ticks WIN, goes on, chooses the action and clicks "&Finish". An
// empty text when all went through, else what did not.
std::string FillNewHotkeyWizard(HWND wizard, UINT key, const std::string& action);

// A visible message box of the process.
HWND WaitForMessageBoxOf(DWORD processId, Milliseconds timeout = DefaultTimeout);
// Presses the button of the process's next message box and waits until the
// box has gone; returns its text, or "(no message box)".
std::string AnswerMessageBox(DWORD processId, const std::string& button);

// The texts of a list view (the system's, in its report view) of another
// process, row by row, read through memory lent in that process.
std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns);

// The content of a file, nothing when it cannot be read.
std::optional<std::string> FileContent(const std::string& path);

// A text value under HKEY_CURRENT_USER\keyPath, nothing when it does not
// exist or is not a text.
std::optional<std::string> RegistryText(const std::string& keyPath, const std::string& name);

// A text value under HKEY_CURRENT_USER\Software\Pelmorra\Corvinade,
// nothing when it does not exist.
std::optional<std::string> SettingText(const std::string& name);

// The text in double quotes.
std::string Quoted(const std::string& text);

// The log-on start entry's data ("Corvinade" under the current user's Run
// key), nothing when the value does not exist.
std::optional<std::string> LogonEntry();

} // namespace corvinade::test
