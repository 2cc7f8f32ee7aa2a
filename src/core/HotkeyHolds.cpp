// Unit HotkeyHolds; see HotkeyHolds.h.
#include "core/HotkeyHolds.h"

#include <algorithm>

namespace corvinade {

bool HoldsCombination(const THotKeyData& d, const ProgramRule& rule, const HoldContext& context) {
    if (context.paused && d.Func != THotkeyAction::ToggleHotkeys)
        return false;
    return rule.Empty() || rule.Allows(context.front);
}

void LiveHolds::RegisterAll(THotkeyList& live, const HoldContext& context) {
    const auto count = static_cast<std::size_t>(live.Count());
    holds_.assign(count, false);
    rules_.clear();
    rules_.reserve(count);
    for (int i = 0; i < live.Count(); ++i) {
        TGlobalHotKey& item = *live.Items(i);
        rules_.emplace_back(item.Definition.OnlyIn, item.Definition.NotIn);
    }
    for (int i = 0; i < live.Count(); ++i) {
        TGlobalHotKey& item = *live.Items(i);
        if (HoldsCombination(item.Definition, rules_[static_cast<std::size_t>(i)], context)) {
            holds_[static_cast<std::size_t>(i)] = true;
            item.Register();
        } else {
            item.Unregister();
        }
    }
}

bool LiveHolds::Apply(THotkeyList& live, const HoldContext& context) {
    const auto count = static_cast<std::size_t>(live.Count());
    holds_.resize(count, false);
    rules_.resize(count);
    bool changed = false;
    std::vector<int> taken;
    for (int i = 0; i < live.Count(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        const bool holds = HoldsCombination(live.Items(i)->Definition, rules_[at], context);
        if (holds == holds_[at])
            continue;
        holds_[at] = holds;
        changed = true;
        if (holds)
            taken.push_back(i);
        else
            live.Items(i)->Unregister();
    }
    for (int i : taken)
        live.Items(i)->Register();
    return changed;
}

bool LiveHolds::Holds(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < holds_.size() &&
           holds_[static_cast<std::size_t>(index)];
}

bool LiveHolds::AnyRule() const {
    return std::ranges::any_of(rules_, [](const ProgramRule& rule) { return !rule.Empty(); });
}

} // namespace corvinade
