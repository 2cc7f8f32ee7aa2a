// The data module: owns the hotkey document every window edits and the live
// hotkey list that follows it, knows where the hotkey file and the settings
// live, runs start-up and turns hotkey notifications into actions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/Dispatch.h"
#include "app/ElevatedWindow.h"
#include "core/CombinationCheck.h"
#include "core/HotkeyDocument.h"
#include "core/Hotkeys.h"
#include "core/Hotkeys_win.h"
#include "core/RegistrationStatus.h"

namespace corvinade {

class CaptureWindowList;
namespace gui {
class Form;
}

// The windows of the first start, which the program entry hands to the data
// module (it knows no window units of its own). The data module calls them
// from posted tasks only, never from inside a save.
class FirstRunPort {
public:
    virtual ~FirstRunPort() = default;
    // A first-use wizard is being shown.
    virtual bool FirstUseWizardShown() const = 0;
    // Shows the first-use wizard modally.
    virtual void ShowFirstUseWizard() = 0;
    // The settings window, modally, while the tray icon ignores the mouse
    // and the application window and the panel are hidden; the icon takes
    // the mouse again however it ends.
    virtual void ShowSettingsForFirstRun() = 0;
};

class TData : public ActionPort, private HotkeyStorePort {
public:
    // Runs Start; an error there is shown and start-up goes on.
    // Without first-run windows the first-start steps are left out; without
    // a tray, hotkeys that fail to register are not announced. The first
    // start's windows come once the message loop runs. The window actions
    // ask the system about their target window unless given another port.
    explicit TData(FirstRunPort* firstRun = nullptr, TrayBalloonPort* tray = nullptr,
                   std::unique_ptr<TargetWindowPort> targetWindows = nullptr);
    // Runs Stop.
    ~TData() override;
    TData(const TData&) = delete;
    TData& operator=(const TData&) = delete;

    // The hotkey file: in the user's application-data folder, or beside a
    // portable copy. Throws Error when the system cannot tell the folder.
    std::string HotkeyFile() const;
    // The settings key under HKEY_CURRENT_USER, or a portable copy's
    // settings file.
    std::string SettingsLocation() const;
    // The program's folder holds a file named "portable": the hotkeys and
    // "FirstUse" live beside the program, and the registry is left alone but
    // for the log-on entry the user asks for. Decided once, at start.
    bool Portable() const { return portable_; }

    // The hotkeys every window shows and edits.
    const THotkeyDocument& Document() const { return document_; }
    // The one way to change them: writes the draft (see THotkeyDocument),
    // registers the hotkeys again (a failed one is tried again), announces
    // those that newly failed in one tray balloon and tells every window. A
    // file that cannot be written throws and changes nothing; what fails
    // after it is reported once the caller has returned. While the first use
    // is not over, the setup guide follows, also once the caller has returned.
    void Commit(THotkeyDraft draft);
    void UnregisterAll();
    // A hotkey of ours was pressed: its action runs.
    void HandleHotkey(unsigned modifiers, unsigned key);
    std::string HotkeyText(std::uint16_t key, std::uint16_t shift) const;
    // Whether the editor of entry `except` (0: a new hotkey) can have the
    // combination (see CheckCombination), and the line that says so.
    TCombinationStatus CheckCombination(std::int32_t key, std::int32_t shift, std::uint32_t except = 0);
    std::string CombinationStatusText(const TCombinationStatus& status) const;
    // The user was told that Windows or another program holds the
    // combination about to be committed: its failure is not announced again.
    void HeldElsewhereTold(std::int32_t key, std::int32_t shift);
    // The modifiers the setup guide offers a suggestion of `key` with (see
    // OfferedModifiers).
    std::optional<std::int32_t> OfferedModifiers(std::int32_t key, std::int32_t shift,
                                                 const std::function<bool(const THotKeyData&)>& isSuggestion);

    THotkeyList& ActiveHotkeys() { return *activeHotkeys_; }

    // The taskbar's edge (0 left, 1 top, 2 right, 3 bottom) and rectangle in
    // screen pixels, into TaskbarEdge / TaskbarRect. A failed query, or an
    // answer less than 2 pixels thick, gives the strip the work area leaves
    // free instead (or, with none, a bar one tray-icon row thick along the
    // named edge), so the panel never lands off screen or on the tray icon.
    void GetTaskbarPos();
    int TaskbarEdge = 0;
    RECT TaskbarRect = {};
    // The cursor strictly inside the showing form's client area / the taskbar.
    bool IsCursorOverForm(const gui::Form& form) const;
    bool IsCursorOverTaskbar() const;
    // The version number of an executable file (1.10.0.0 gives 1100000), 0
    // without version information; and its text form "01.10.00.00".
    int GetFileVersionNumber(const std::string& fileName) const;
    int RunningVersionNumber() const;
    std::string VersionNumberToText(int number) const;

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
    // Loads the document and registers its hotkeys; the first start's
    // windows are posted for when the loop runs.
    void Start();
    // Every hotkey unregistered, the live list gone.
    void Stop();
    // The user's application-data folder; throws Error when the system cannot tell it.
    std::string AppDataFolder() const;
    void LoadDocument();
    void RunFirstStart();
    void ShowFirstUseWizardIfDue();
    void PostFirstUseCheck();
    void AnnounceNewFailures();
    bool ReadFirstUse() const;
    std::optional<std::string> ReadSetting(const std::string& name) const;
    void WriteSetting(const std::string& name, const std::string& text);
    // Unlock and resume: the hotkeys that failed to register are tried again.
    bool SessionMessage(UINT msg, WPARAM wParam);
    void RegisterFailedAgain();

    // Where commits go.
    void WriteHotkeys(const std::vector<THotKeyData>& definitions) override;
    void WriteLogonStart(bool enabled) override;
    void WriteFirstUseDone() override;
    void RegisterHotkeys(const std::vector<THotKeyData>& definitions) override;
    // Lifts every key still held down (the hotkey's own keys among them).
    void ReleaseHeldKeys();
    // The window an action is about to work on is not one of a program that
    // runs as administrator; else the user is told (once per window).
    bool CanControl(HWND window);
    // The system refused a call on the window: the same notice.
    void Refused(HWND window);

    const std::string programPath_;
    const bool portable_;
    FirstRunPort* firstRun_;
    TrayBalloonPort* tray_;
    RegistrationNotice registrationNotice_;
    Win32HotkeyPort registrar_;
    Win32KeyNames keyNames_;
    Win32CombinationProbe probe_;
    std::unique_ptr<ShellPort> shell_;
    std::unique_ptr<TargetWindowPort> targetWindows_;
    TElevatedWindowNotice elevatedNotice_;
    THotkeyDocument document_{*this};
    // The file could not be read at start: it is not overwritten.
    std::string unreadFile_;
    bool firstUseCheckPosted_ = false;
    UnregisteredPort unregistered_; // the lists that read and write the file
    std::unique_ptr<THotkeyList> activeHotkeys_;
    // The open capture windows, one per grab (made at the first grab).
    std::unique_ptr<CaptureWindowList> captureWindows_;
    int sessionHook_ = 0;
    bool sessionNotifications_ = false; // WTSRegisterSessionNotification went through
};

// The Win32 answers about the windows the actions work on (datau_actions.cpp).
std::unique_ptr<TargetWindowPort> MakeTargetWindowPort();

// The one data module, set while it is being created (so its hook works
// during the modal windows of start-up) and cleared when it is destroyed.
extern TData* Data;

} // namespace corvinade
