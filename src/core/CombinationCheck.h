// Unit CombinationCheck: whether a key combination can be had, said before
// it is saved: free, used by another of the user's hotkeys, or held by
// Windows or another program. Our own hotkeys are looked up first (the
// document, then the live registrations); only a combination none of them
// holds is tried on the system, through a port.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/HotkeyDocument.h"
#include "core/Hotkeys.h"

namespace corvinade {

// Asks the system whether a combination is free, without disturbing a live
// registration of ours.
class CombinationProbePort {
public:
    virtual ~CombinationProbePort() = default;
    // Registers the combination on a spare identifier and lets it go at
    // once: true when the system gave it.
    virtual bool CombinationFree(std::int32_t modifiers, std::int32_t key) = 0;
};

// The key types a character (a letter, digit, space or punctuation mark,
// the keypad's digits and operators included), whatever the layout.
bool KeyTypesCharacter(std::int32_t key);

// Why a combination cannot be a hotkey, whatever else holds it: a hotkey
// takes its combination from every program, so a key that types a
// character needs ALT, CTRL or WIN (with SHIFT alone it would take that
// capital letter), and a key without a modifier is refused too.
enum class CombinationRefusal : std::uint8_t { None, NoModifier, ShiftAloneWithCharacter };
CombinationRefusal RefusedCombination(std::int32_t key, std::int32_t shift);
// What the new-hotkey wizard and a row's editor say; empty for None.
std::string CombinationRefusalText(CombinationRefusal refusal);

enum class CombinationUse : std::uint8_t { Free, OwnHotkey, Elsewhere };

struct TCombinationStatus {
    CombinationUse Use = CombinationUse::Free;
    THotKeyData Owner; // for OwnHotkey: the hotkey that has the combination

    friend bool operator==(const TCombinationStatus&, const TCombinationStatus&) = default;
};

// Windows or another program holds the combination. A live registration of
// ours answers for it (the system would refuse the probe); the system is
// asked about any other, also one our live list failed to register, which
// may have been let go since.
bool HeldElsewhere(std::int32_t key, std::int32_t shift, const THotkeyList& live,
                   CombinationProbePort& probe);

// For the editor of entry `except` (0: a new hotkey): another active entry
// with the combination, else whether it is held elsewhere.
TCombinationStatus CheckCombination(std::int32_t key, std::int32_t shift, const THotkeyEntries& entries,
                                    std::uint32_t except, const THotkeyList& live,
                                    CombinationProbePort& probe);

// The line beside the key field, and what Finish and Save say of a
// combination held elsewhere.
std::string CombinationStatusText(const TCombinationStatus& status, const KeyNamePort& names);

// What a suggestion of the setup guide falls back to when Windows holds
// its combination: WIN with ALT added, then CTRL and ALT, then SHIFT and
// ALT. Never CTRL and ALT without WIN: that is AltGr on many layouts.
inline constexpr std::array<std::int32_t, 3> AlternativeModifiers{ModifierWin | ModifierAlt,
                                                                  ModifierWin | ModifierCtrl | ModifierAlt,
                                                                  ModifierWin | ModifierShift | ModifierAlt};

// The modifiers a suggestion of `key` is offered with: its own `shift`
// unless the combination is held elsewhere (the user's own hotkeys keep the
// guide's rules), else the first alternative held neither elsewhere nor by
// an active hotkey other than the suggestion's own (`isSuggestion`); none
// when every one is taken.
std::optional<std::int32_t> OfferedModifiers(std::int32_t key, std::int32_t shift,
                                             const THotkeyEntries& entries,
                                             const std::function<bool(const THotKeyData&)>& isSuggestion,
                                             const THotkeyList& live, CombinationProbePort& probe);

} // namespace corvinade
