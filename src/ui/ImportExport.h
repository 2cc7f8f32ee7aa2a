// The settings window's "Import..." and "Export..." flows: a file in the
// hotkeys.ini format chosen in the system's file dialog; for an import, what
// it brings and the question in ImportDialog, the confirmation of a
// replacement and the result in message boxes, all owned by `owner`. An import is committed as
// any save is (the file, the registrations, every window); a file error
// reaches the caller's error display and changes nothing.
#pragma once

#include <windows.h>

namespace corvinade {

class HotkeyService;

void ImportHotkeys(HWND owner, HotkeyService& hotkeys);
void ExportHotkeys(HWND owner, HotkeyService& hotkeys);

} // namespace corvinade
