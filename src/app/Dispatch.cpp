// Hotkey dispatch; see Dispatch.h.
#include "app/Dispatch.h"

#include "app/ActionText.h"

namespace corvinade {

TGlobalHotKey* FindHotkeyTarget(const THotkeyList& live, std::uint32_t lParam) {
    const std::int32_t modifiers = static_cast<std::int32_t>(lParam & 0xFFFFu);
    const std::int32_t key = static_cast<std::int32_t>(lParam >> 16);
    for (int i = 0; i < live.Count(); ++i) {
        TGlobalHotKey* item = live.Items(i);
        if (item->Definition.Shift == modifiers && item->Definition.Key == key)
            return item;
    }
    return nullptr;
}

namespace {

void OpenFile(ShellPort& shell, const std::string& file, const std::string& parameters) {
    // The file is not checked and the result is ignored: a missing file shows
    // nothing of ours. Empty parameters go as an empty text, not as "none".
    shell.Execute(nullptr, file.c_str(), parameters.c_str(), nullptr, SW_SHOW_COMMAND);
}

} // namespace

void RunHotkeyAction(const THotKeyData& definition, ActionPort& actions, ShellPort& shell) {
    switch (definition.Func) {
    case THotkeyAction::Maximize:
        actions.MaximizeOrRestoreActiveWindow();
        break;
    case THotkeyAction::Minimize:
        actions.MinimizeActiveWindow();
        break;
    case THotkeyAction::Close:
        actions.CloseActiveWindow();
        break;
    case THotkeyAction::OpenFile:
        OpenFile(shell, definition.Params, definition.Params2);
        break;
    case THotkeyAction::CaptureWindow:
        actions.Capture(CaptureKind::Window, definition.Capture);
        break;
    case THotkeyAction::CaptureScreen:
        actions.Capture(CaptureKind::Screen, definition.Capture);
        break;
    case THotkeyAction::CaptureRegion:
        actions.Capture(CaptureKind::Region, definition.Capture);
        break;
    case THotkeyAction::ExitWindows:
        actions.ShowExitWindowsDialog();
        break;
    case THotkeyAction::SendKeystrokes:
        actions.SendKeystrokes(definition.Params);
        break;
    case THotkeyAction::OpenWebsite:
        actions.OpenWebsite(definition.Params);
        break;
    case THotkeyAction::PlaceInClipboard: // a text of several lines, as its editor writes it
        actions.PlaceTextInClipboard(DecodeLineBreakMarkers(definition.Params));
        break;
    case THotkeyAction::PlaceFileContentInClipboard:
        actions.PlaceFileContentInClipboard(definition.Params);
        break;
    default: // no action, or a code outside the catalogue
        break;
    }
}

void DispatchHotkeyMessage(unsigned message, std::uint32_t lParam, const THotkeyList& live,
                           ActionPort& actions, ShellPort& shell) {
    if (message != WM_HOTKEY_MESSAGE)
        return;
    const TGlobalHotKey* target = FindHotkeyTarget(live, lParam);
    if (target == nullptr)
        return;
    // A copy: the action may reload the live list (and so free `target`).
    const THotKeyData definition = target->Definition;
    RunHotkeyAction(definition, actions, shell);
}

} // namespace corvinade
