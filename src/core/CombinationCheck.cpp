// Unit CombinationCheck; see CombinationCheck.h.
#include "core/CombinationCheck.h"

namespace corvinade {

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
        if (e.Id != except && e.Definition.Active && e.Definition.Key == key && e.Definition.Shift == shift)
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
            usedByOther = usedByOther || (e.Definition.Active && e.Definition.Key == key &&
                                          e.Definition.Shift == alternative && !isSuggestion(e.Definition));
        if (!usedByOther && !HeldElsewhere(key, alternative, live, probe))
            return alternative;
    }
    return std::nullopt;
}

} // namespace corvinade
