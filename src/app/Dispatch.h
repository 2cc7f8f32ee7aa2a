// Hotkey dispatch: turns a WM_HOTKEY notification into the action of the first
// live hotkey with that combination. Portable: the actions and the shell are ports.
#pragma once

#include <cstdint>
#include <string>

#include "core/Hotkeys.h"

namespace corvinade {

constexpr unsigned WM_HOTKEY_MESSAGE = 0x0312;
constexpr int SW_SHOW_COMMAND = 5;

// What a capture action takes: the active window, the monitor of the active
// window, or an area the user picks.
enum class CaptureKind { Window, Screen, Region };

// The actions a hotkey can run, except opening a file (which the dispatch does
// itself through the shell port). Each receives its own copy of the texts, so
// the live list may be reloaded while an action runs.
class ActionPort {
public:
    virtual ~ActionPort() = default;
    virtual void MaximizeOrRestoreActiveWindow() = 0;
    virtual void MinimizeActiveWindow() = 0;
    virtual void CloseActiveWindow() = 0;
    virtual void Capture(CaptureKind kind, const TCaptureOptions& options) = 0;
    virtual void ShowExitWindowsDialog() = 0;
    virtual void SendKeystrokes(std::string keys) = 0;
    virtual void OpenWebsite(std::string address) = 0;
    virtual void PlaceTextInClipboard(std::string text) = 0;
    virtual void PlaceFileContentInClipboard(std::string fileName) = 0;
};

// ShellExecuteW (UTF-8 texts, widened) as the open-file action uses it. A null pointer is a missing
// argument; an empty text is an empty argument (the two differ for the shell).
class ShellPort {
public:
    virtual ~ShellPort() = default;
    virtual void Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                         int showCommand) = 0;
};

// The first item of the list whose modifiers and key equal those of the
// notification (modifiers in the low, key in the high half of lParam), or null.
TGlobalHotKey* FindHotkeyTarget(const THotkeyList& live, std::uint32_t lParam);

// Runs the action that `definition.Func` selects; codes 0 and above 12 do nothing.
void RunHotkeyAction(const THotKeyData& definition, ActionPort& actions, ShellPort& shell);

// The application's message hook: every message the loop takes passes here;
// only WM_HOTKEY does anything. The message is never marked handled.
void DispatchHotkeyMessage(unsigned message, std::uint32_t lParam, const THotkeyList& live,
                           ActionPort& actions, ShellPort& shell);

} // namespace corvinade
