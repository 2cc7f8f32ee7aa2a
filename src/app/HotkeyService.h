// The hotkey service: owns the hotkey document every window edits and the
// live hotkey list that follows it, registers the live hotkeys for the
// application window and turns their notifications into actions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/Dispatch.h"
#include "app/ForegroundWatch.h"
#include "core/CombinationCheck.h"
#include "core/HotkeyDocument.h"
#include "core/HotkeyHolds.h"
#include "core/Hotkeys.h"
#include "core/Hotkeys_win.h"
#include "core/PauseState.h"
#include "core/RegistrationStatus.h"

namespace corvinade {

class Store;

class HotkeyService : private HotkeyStorePort {
public:
    // Loads the store's hotkeys and registers the active ones; an error
    // there is shown and start-up goes on. Every WM_HOTKEY a loop takes
    // runs its hotkey's action through `actions` and `shell`. Without a
    // tray, hotkeys that fail to register are not announced.
    HotkeyService(Store& store, ActionPort& actions, ShellPort& shell, TrayBalloonPort* tray = nullptr);
    // Unregisters every hotkey.
    ~HotkeyService() override;
    HotkeyService(const HotkeyService&) = delete;
    HotkeyService& operator=(const HotkeyService&) = delete;

    // The hotkeys every window shows and edits.
    const THotkeyDocument& Document() const { return document_; }
    // The one way to change them: writes the draft (see THotkeyDocument),
    // registers the hotkeys again (a failed one is tried again), announces
    // those that newly failed in one tray balloon and tells every window. A
    // file that cannot be written throws and changes nothing; what fails
    // after it is reported once the caller has returned. Then AfterCommit.
    void Commit(THotkeyDraft draft);
    // After every commit that went through (the first start's guide follows it).
    std::function<void()> AfterCommit;
    // Reads hotkeys.ini again, registers its hotkeys and tells every window;
    // a file that cannot be read throws Error and changes nothing.
    void Reload();

    THotkeyList& ActiveHotkeys() { return activeHotkeys_; }
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

    // Paused, every combination but the pause hotkey's is given back to
    // the system. Never stored.
    bool Paused() const { return pause_.Paused(); }
    void Pause();
    void Resume();
    void TogglePause();
    // After every change of Paused().
    std::function<void()> OnPauseChange;
    // The option: pause while the program in front covers its monitor.
    // Written at once; throws Error (nothing changed) when it cannot be.
    bool PauseForFullScreen() const { return pause_.FullScreenOption(); }
    void SetPauseForFullScreen(bool on);

private:
    // The application's message hook: a hotkey's notification runs its action.
    // A hotkey of ours was pressed: its action runs.
    void HandleHotkey(unsigned modifiers, unsigned key);
    HoldContext Context() const;
    // The live hotkeys hold what the context lets them; the pause is told.
    void ApplyHolds();
    void ForegroundChanged();
    // The window in front is watched while something depends on it.
    void UpdateForegroundWatch();
    void AnnounceNewFailures();
    // Unlock and resume: the hotkeys that failed to register are tried again.
    bool SessionMessage(UINT msg, WPARAM wParam);
    void RegisterFailedAgain();

    // Where commits go.
    void WriteHotkeys(const std::vector<THotKeyData>& definitions) override;
    void WriteLogonStart(bool enabled) override;
    void WriteFirstUseDone() override;
    void RegisterHotkeys(const std::vector<THotKeyData>& definitions) override;

    Store& store_;
    ActionPort& actions_;
    ShellPort& shell_;
    TrayBalloonPort* tray_;
    RegistrationNotice registrationNotice_;
    Win32HotkeyPort registrar_;
    Win32KeyNames keyNames_;
    Win32CombinationProbe probe_;
    THotkeyDocument document_{*this};
    THotkeyList activeHotkeys_{registrar_};
    PauseState pause_;
    bool pausedShown_ = false; // Paused() as OnPauseChange last told it
    LiveHolds holds_;
    std::string frontPath_; // the program in front, as last seen
    FrontProgram front_;    // the same, folded for the rules
    ForegroundWatch foreground_{[this] { ForegroundChanged(); }};
    int sessionHook_ = 0;
    bool sessionNotifications_ = false; // WTSRegisterSessionNotification went through
    // Tasks posted for an object gone by then do nothing.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace corvinade
