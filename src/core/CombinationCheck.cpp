// Unit CombinationCheck; see CombinationCheck.h.
#include "core/CombinationCheck.h"

namespace corvinade {

bool KeyTypesCharacter(std::int32_t key) {
    const auto in = [key](std::int32_t first, std::int32_t last) { return key >= first && key <= last; };
    return key == 0x20 || in(0x30, 0x39) || in(0x41, 0x5A) || in(0x60, 0x6F) // space, digits, letters, keypad
           || in(0xBA, 0xC0) || in(0xDB, 0xDF) || key == 0xE2;               // punctuation (OEM keys)
}

CombinationRefusal RefusedCombination(std::int32_t key, std::int32_t shift) {
    if ((shift & (ModifierAlt | ModifierCtrl | ModifierWin)) != 0)
        return CombinationRefusal::None;
    if (KeyTypesCharacter(key))
        return shift == 0 ? CombinationRefusal::NoModifier : CombinationRefusal::ShiftAloneWithCharacter;
    if (shift == 0) // a key that types nothing (F1, Pause), alone
        return CombinationRefusal::NoModifier;
    return CombinationRefusal::None;
}

std::string CombinationRefusalText(CombinationRefusal refusal) {
    switch (refusal) {
    case CombinationRefusal::None:
        break;
    case CombinationRefusal::NoModifier:
        return "You must select a shift key for your hotkey.";
    case CombinationRefusal::ShiftAloneWithCharacter:
        return "SHIFT alone would take this character from every program: select ALT, CTRL or WIN too.";
    }
    return {};
}

bool HeldElsewhere(std::int32_t key, std::int32_t shift, const THotkeyList& live,
                   CombinationProbePort& probe) {
    const TGlobalHotKey* ours = live.Find(key, shift);
    if (ours && ours->State() == TRegistrationState::Registered)
        return false;
    return !probe.CombinationFree(shift, key);
}

TCombinationStatus CheckCombination(std::int32_t key, std::int32_t shift, const THotkeyEntries& entries,
                                    std::uint32_t except, const THotkeyList& live,
                                    CombinationProbePort& probe) {
    for (const THotkeyEntry& e : entries)
        if (e.Id != except && IsLive(e.Definition) && e.Definition.Key == key && e.Definition.Shift == shift)
            return {CombinationUse::OwnHotkey, e.Definition};
    if (HeldElsewhere(key, shift, live, probe))
        return {CombinationUse::Elsewhere, {}};
    return {};
}

std::string CombinationStatusText(const TCombinationStatus& status, const KeyNamePort& names) {
    switch (status.Use) {
    case CombinationUse::Free:
        break;
    case CombinationUse::OwnHotkey:
        return "Used by another of your hotkeys: " +
               HotkeyText(static_cast<std::uint16_t>(status.Owner.Key),
                          static_cast<std::uint16_t>(status.Owner.Shift), names) +
               " (" + ActionDisplayName(status.Owner.Func) + ").";
    case CombinationUse::Elsewhere:
        return "Windows or another program uses this combination; it works once freed.";
    }
    return "This combination is free.";
}

std::optional<std::int32_t> OfferedModifiers(std::int32_t key, std::int32_t shift,
                                             const THotkeyEntries& entries,
                                             const std::function<bool(const THotKeyData&)>& isSuggestion,
                                             const THotkeyList& live, CombinationProbePort& probe) {
    if (!HeldElsewhere(key, shift, live, probe))
        return shift;
    for (std::int32_t alternative : AlternativeModifiers) {
        bool usedByOther = false;
        for (const THotkeyEntry& e : entries)
            usedByOther = usedByOther || (IsLive(e.Definition) && e.Definition.Key == key &&
                                          e.Definition.Shift == alternative && !isSuggestion(e.Definition));
        if (!usedByOther && !HeldElsewhere(key, alternative, live, probe))
            return alternative;
    }
    return std::nullopt;
}

} // namespace corvinade
