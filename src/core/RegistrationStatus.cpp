// Unit RegistrationStatus; see RegistrationStatus.h.
#include "core/RegistrationStatus.h"

#include <algorithm>

namespace corvinade {

namespace {

bool SameCombination(const THotKeyData& a, const THotKeyData& b) {
    return a.Key == b.Key && a.Shift == b.Shift;
}

std::string NameOf(const THotKeyData& d, const KeyNamePort& names) {
    return HotkeyText(static_cast<std::uint16_t>(d.Key), static_cast<std::uint16_t>(d.Shift), names);
}

// One line of the balloon for a failed hotkey of the live list.
std::string FailureLine(RegistrationFault fault, const THotKeyData& d, const KeyNamePort& names) {
    if (fault == RegistrationFault::TakenByEarlier)
        return NameOf(d, names) + " (" + ActionDisplayName(d.Func) +
               ") could not be registered: an earlier hotkey of yours uses it.";
    if (fault == RegistrationFault::NoAtom)
        return NameOf(d, names) + " could not be registered: Windows has no room for another hotkey.";
    return NameOf(d, names) + " could not be registered: another program uses it.";
}

// The lines, one per hotkey, as many as the shell's field holds; the rest
// are counted on a last line.
std::string BalloonText(const std::vector<std::string>& lines) {
    for (std::size_t shown = lines.size(); shown > 0; --shown) {
        std::string text;
        for (std::size_t i = 0; i < shown; ++i)
            text += (i ? "\n" : "") + lines[i];
        if (shown < lines.size())
            text += "\nand " + std::to_string(lines.size() - shown) + " more.";
        if (text.size() <= BalloonTextLimit)
            return text;
    }
    return lines.empty() ? std::string() : lines.front().substr(0, BalloonTextLimit);
}

} // namespace

const TGlobalHotKey* EarlierWithCombination(const THotkeyList& list, int index) {
    const THotKeyData& d = list.Items(index)->Definition;
    for (int i = 0; i < index; ++i) {
        const TGlobalHotKey* other = list.Items(i);
        if (other->Definition.Active && SameCombination(other->Definition, d))
            return other;
    }
    return nullptr;
}

namespace {

// Why a failed item of the live list failed, an earlier one aside.
RegistrationFault OwnFault(const TGlobalHotKey& item) {
    return item.State() == TRegistrationState::NoAtom ? RegistrationFault::NoAtom
                                                      : RegistrationFault::TakenElsewhere;
}

} // namespace

RegistrationFault LiveItemFault(const THotkeyList& live, int index) {
    const TGlobalHotKey& item = *live.Items(index);
    if (!item.Failed())
        return RegistrationFault::None;
    return EarlierWithCombination(live, index) ? RegistrationFault::TakenByEarlier : OwnFault(item);
}

const THotKeyData* EarlierWithCombination(const std::vector<THotKeyData>& definitions, int index) {
    const THotKeyData& d = definitions.at(static_cast<std::size_t>(index));
    for (int i = 0; i < index; ++i) {
        const THotKeyData& other = definitions[static_cast<std::size_t>(i)];
        if (IsLive(other) && SameCombination(other, d))
            return &other;
    }
    return nullptr;
}

RegistrationFault EditorItemFault(const std::vector<THotKeyData>& definitions, int index,
                                  const THotkeyList& live) {
    const THotKeyData& d = definitions.at(static_cast<std::size_t>(index));
    if (!IsLive(d))
        return RegistrationFault::None;
    if (EarlierWithCombination(definitions, index))
        return RegistrationFault::TakenByEarlier;
    const TGlobalHotKey* registered = live.Find(d.Key, d.Shift);
    return registered && registered->Failed() ? OwnFault(*registered) : RegistrationFault::None;
}

std::string FaultTooltip(RegistrationFault fault, const std::string& hotkeyName,
                         THotkeyAction earlierAction) {
    switch (fault) {
    case RegistrationFault::None:
        break;
    case RegistrationFault::TakenElsewhere:
        return "Another program uses this combination.";
    case RegistrationFault::NoAtom:
        return "Windows has no room for another hotkey.";
    case RegistrationFault::TakenByEarlier:
        return "An earlier hotkey of this list, " + hotkeyName + " (" + ActionDisplayName(earlierAction) +
               "), takes this combination.";
    }
    return {};
}

void RegistrationNotice::Told(std::int32_t key, std::int32_t shift) {
    failedBefore_.emplace_back(key, shift, RegistrationFault::TakenElsewhere);
}

void RegistrationNotice::Reloaded(const THotkeyList& live, const KeyNamePort& names, TrayBalloonPort& tray) {
    std::vector<Failure> before = failedBefore_, failedNow;
    std::vector<std::string> lines;
    for (int i = 0; i < live.Count(); ++i) {
        const RegistrationFault fault = LiveItemFault(live, i);
        if (fault == RegistrationFault::None)
            continue;
        const THotKeyData& d = live.Items(i)->Definition;
        const Failure failure{d.Key, d.Shift, fault};
        failedNow.push_back(failure);
        // Each failure of the reload before stands for one of this reload.
        if (auto known = std::find(before.begin(), before.end(), failure); known != before.end())
            before.erase(known);
        else
            lines.push_back(FailureLine(fault, d, names));
    }
    if (lines.empty() || tray.ShowBalloon(Title, BalloonText(lines)))
        failedBefore_ = std::move(failedNow);
}

} // namespace corvinade
