// The data module: owns the live hotkey list for the whole run, knows where the
// hotkey file and the settings live, runs start-up and turns hotkey
// notifications into actions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/Dispatch.h"
#include "core/Hotkeys.h"
#include "core/Hotkeys_win.h"

namespace corvinade {

class CaptureWindowList;
namespace gui {
class Form;
}

class TData : public ActionPort {
public:
    // Runs DataModuleCreate; an error there is shown and start-up goes on.
    TData();
    // Runs DataModuleDestroy.
    ~TData() override;
    TData(const TData&) = delete;
    TData& operator=(const TData&) = delete;

    std::string GetSpecialFolder(int csidl) const;
    // Kind 0: the hotkey file; kind 1: the settings key under HKEY_CURRENT_USER.
    std::string GetPath(int kind) const;

    void ReloadHotkeys();
    void UnregisterAll();
    void ApplicationEvents1Message(MSG& msg, bool& handled);
    std::string HotkeyText(std::uint16_t key, std::uint16_t shift) const;

    THotkeyList& ActiveHotkeys() { return *activeHotkeys_; }
    // The registration calls for the application window; editor lists use it too.
    HotkeyPort& Registrar() { return registrar_; }

    // The actions (see ActionPort).
    void MaximizeOrRestoreActiveWindow() override;
    void MinimizeActiveWindow() override;
    void CloseActiveWindow() override;
    void CaptureScreen(bool activeWindowOnly) override;
    void ShowExitWindowsDialog() override;
    void SendKeystrokes(std::string keys) override;
    void OpenWebsite(std::string address) override;
    void PlaceTextInClipboard(std::string text) override;
    void PlaceFileContentInClipboard(std::string fileName) override;

private:
    void DataModuleCreate();
    void DataModuleDestroy();
    bool ReadFirstUse() const;
    // Lifts every key still held down (the hotkey's own keys among them).
    void ReleaseHeldKeys();

    Win32HotkeyPort registrar_;
    Win32KeyNames keyNames_;
    std::unique_ptr<ShellPort> shell_;
    std::unique_ptr<THotkeyList> activeHotkeys_;
    // The open capture windows, one per grab (made at the first grab).
    std::unique_ptr<CaptureWindowList> captureWindows_;
};

// The one data module, set while it is being created (so its hook works
// during the modal windows of start-up) and cleared when it is destroyed.
extern TData* Data;

} // namespace corvinade
