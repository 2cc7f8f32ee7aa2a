// Unit RegistrationStatus: why an active hotkey is not registered, said in
// the user's words, and the one tray notice after a reload that names the
// hotkeys that newly failed. The tray is reached through a port.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "core/Hotkeys.h"

namespace corvinade {

enum class RegistrationFault : std::uint8_t {
    None,
    TakenElsewhere, // another program holds the combination
    TakenByEarlier, // an earlier active hotkey of the list has the same combination
    NoAtom,         // the system had no global atom left to register it under
};

// Why item `index` of the live (registered) list is not registered; None
// when it is.
RegistrationFault LiveItemFault(const THotkeyList& live, int index);

// The same for definition `index` of the file's definitions, judged by the
// live list: an inactive one has no fault; an active one whose combination
// an earlier active one has is taken by that one; otherwise it failed when
// the live list's item of its combination failed.
RegistrationFault EditorItemFault(const std::vector<THotKeyData>& definitions, int index,
                                  const THotkeyList& live);

// The first active item before `index` with the same combination, or null.
const TGlobalHotKey* EarlierWithCombination(const THotkeyList& list, int index);
const THotKeyData* EarlierWithCombination(const std::vector<THotKeyData>& definitions, int index);

// The settings row's tooltip. `earlierAction` is the action of the hotkey
// that takes the combination (for TakenByEarlier).
std::string FaultTooltip(RegistrationFault fault, const std::string& hotkeyName, THotkeyAction earlierAction);

// The tray's balloon, as the program asks for it.
class TrayBalloonPort {
public:
    virtual ~TrayBalloonPort() = default;
    // False when the shell refused it (no icon yet, for one).
    virtual bool ShowBalloon(const std::string& title, const std::string& text) = 0;
    // News rather than a warning; a click on the balloon runs `onClick`.
    virtual bool ShowInformation(const std::string& /*title*/, const std::string& /*text*/,
                                 std::function<void()> /*onClick*/) {
        return false;
    }
};

inline constexpr std::size_t BalloonTextLimit = 255; // the shell's field, without its zero

// Remembers which hotkeys failed at the last reload, so that each reload
// tells the user at most once, and only about hotkeys that newly failed.
class RegistrationNotice {
public:
    static constexpr const char* Title = "Hotkeys not registered";

    // After each reload of the live list: one balloon naming every hotkey
    // that failed now and not at the reload before; none when there is none.
    // A refused balloon announces nothing: the next reload names them again.
    void Reloaded(const THotkeyList& live, const KeyNamePort& names, TrayBalloonPort& tray);
    // The user was told before saving that Windows or another program holds
    // this combination: the next reload does not tell again.
    void Told(std::int32_t key, std::int32_t shift);

private:
    using Failure = std::tuple<std::int32_t, std::int32_t, RegistrationFault>; // key, shift, why
    std::vector<Failure> failedBefore_;
};

} // namespace corvinade
