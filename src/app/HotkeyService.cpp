// The hotkey service: the document, its commits and the live hotkeys; see
// HotkeyService.h.
#include "app/HotkeyService.h"

#include <wtsapi32.h>

#include "app/LogonStart.h"
#include "app/Store.h"
#include "core/Errors.h"
#include "gui/Application.h"
#include "gui/SystemLibrary.h"

namespace corvinade {

namespace {

// Session changes (lock, unlock) reach the application window once asked for.
bool RegisterSessionNotification(HWND window) {
    using Register = BOOL(WINAPI*)(HWND, DWORD);
    return gui::SystemFunction<Register>("wtsapi32.dll", "WTSRegisterSessionNotification")(
               window, NOTIFY_FOR_THIS_SESSION) != FALSE;
}

void UnregisterSessionNotification(HWND window) {
    using Unregister = BOOL(WINAPI*)(HWND);
    gui::SystemFunction<Unregister>("wtsapi32.dll", "WTSUnRegisterSessionNotification")(window);
}

} // namespace

HotkeyService::HotkeyService(Store& store, ActionPort& actions, ShellPort& shell, TrayBalloonPort* tray)
    : store_(store), actions_(actions), shell_(shell), tray_(tray), registrar_(gui::App().Handle()),
      probe_(gui::App().Handle()) {
    gui::App().OnHotkey = [this](unsigned modifiers, unsigned key) { HandleHotkey(modifiers, key); };
    sessionHook_ = gui::App().AddMessageHook(
        [this](UINT msg, WPARAM wParam, LPARAM, LRESULT&) { return SessionMessage(msg, wParam); });
    try {
        sessionNotifications_ = RegisterSessionNotification(gui::App().Handle());
    } catch (const Error&) {
        // Without wtsapi32 an unlock goes unnoticed; a resume still counts.
    }
    // Every definition of the file, active or not.
    try {
        store_.MakeHotkeyFolder();
        document_.Load(store_.ReadHotkeys());
        RegisterHotkeys(document_.Definitions());
    } catch (...) {
        gui::App().HandleException();
    }
}

HotkeyService::~HotkeyService() {
    if (sessionNotifications_)
        UnregisterSessionNotification(gui::App().Handle());
    gui::App().RemoveMessageHook(sessionHook_);
    activeHotkeys_.Clear();
    gui::App().OnHotkey = nullptr;
}

void HotkeyService::Commit(THotkeyDraft draft) {
    const std::vector<std::string> failures = document_.Commit(std::move(draft));
    if (!failures.empty()) {
        std::string text = "The hotkeys were saved, but not all of it went through:";
        for (const std::string& line : failures)
            text += "\n" + line;
        gui::App().Post([text] { gui::App().ShowException(text); });
    }
    if (AfterCommit)
        AfterCommit();
}

void HotkeyService::WriteHotkeys(const std::vector<THotKeyData>& definitions) {
    store_.WriteHotkeys(definitions);
}

void HotkeyService::WriteLogonStart(bool enabled) {
    TurnLogonStart(enabled);
}

void HotkeyService::WriteFirstUseDone() {
    store_.WriteFirstUseDone();
}

// A failed hotkey is tried again; those that newly failed are announced.
void HotkeyService::RegisterHotkeys(const std::vector<THotKeyData>& definitions) {
    activeHotkeys_.Clear();
    for (const THotKeyData& d : definitions)
        if (IsLive(d))
            activeHotkeys_.Add(d.Active, d.Key, d.Shift, d.Func, d.Params, d.Params2)->Definition.Capture =
                d.Capture;
    activeHotkeys_.RegisterAll();
    AnnounceNewFailures();
}

void HotkeyService::AnnounceNewFailures() {
    if (tray_)
        registrationNotice_.Reloaded(activeHotkeys_, keyNames_, *tray_);
}

bool HotkeyService::SessionMessage(UINT msg, WPARAM wParam) {
    const bool unlocked = msg == WM_WTSSESSION_CHANGE && wParam == WTS_SESSION_UNLOCK;
    const bool resumed =
        msg == WM_POWERBROADCAST && (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND);
    if (unlocked || resumed)
        gui::App().Post([this, alive = std::weak_ptr<bool>(alive_)] {
            if (!alive.expired())
                RegisterFailedAgain();
        });
    return false; // the default answers stand
}

// A registration the system holds stays; one that failed (another program
// held the combination, maybe one of a session now gone) is tried again
// the way a reload tries it, and the windows show the outcome.
void HotkeyService::RegisterFailedAgain() {
    for (int i = 0; i < activeHotkeys_.Count(); ++i)
        if (activeHotkeys_.Items(i)->Failed()) {
            document_.RegisterAgain();
            return;
        }
}

void HotkeyService::HandleHotkey(unsigned modifiers, unsigned key) {
    DispatchHotkeyMessage(WM_HOTKEY, MAKELONG(modifiers, key), activeHotkeys_, actions_, shell_);
}

std::string HotkeyService::HotkeyText(std::uint16_t key, std::uint16_t shift) const {
    return corvinade::HotkeyText(key, shift, keyNames_);
}

TCombinationStatus HotkeyService::CheckCombination(std::int32_t key, std::int32_t shift,
                                                   std::uint32_t except) {
    return corvinade::CheckCombination(key, shift, document_.Entries(), except, activeHotkeys_, probe_);
}

std::string HotkeyService::CombinationStatusText(const TCombinationStatus& status) const {
    return corvinade::CombinationStatusText(status, keyNames_);
}

void HotkeyService::HeldElsewhereTold(std::int32_t key, std::int32_t shift) {
    registrationNotice_.Told(key, shift);
}

std::optional<std::int32_t>
HotkeyService::OfferedModifiers(std::int32_t key, std::int32_t shift,
                                const std::function<bool(const THotKeyData&)>& isSuggestion) {
    return corvinade::OfferedModifiers(key, shift, document_.Entries(), isSuggestion, activeHotkeys_, probe_);
}

} // namespace corvinade
