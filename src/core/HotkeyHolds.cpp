// Unit HotkeyHolds; see HotkeyHolds.h.
#include "core/HotkeyHolds.h"

namespace corvinade {

bool HoldsCombination(const THotKeyData& d, const HoldContext& context) {
    return !context.paused || d.Func == THotkeyAction::ToggleHotkeys;
}

void LiveHolds::RegisterAll(THotkeyList& live, const HoldContext& context) {
    holds_.assign(static_cast<std::size_t>(live.Count()), false);
    for (int i = 0; i < live.Count(); ++i) {
        TGlobalHotKey& item = *live.Items(i);
        if (HoldsCombination(item.Definition, context)) {
            holds_[static_cast<std::size_t>(i)] = true;
            item.Register();
        } else {
            item.Unregister();
        }
    }
}

bool LiveHolds::Apply(THotkeyList& live, const HoldContext& context) {
    holds_.resize(static_cast<std::size_t>(live.Count()), false);
    bool changed = false;
    std::vector<int> taken;
    for (int i = 0; i < live.Count(); ++i) {
        TGlobalHotKey& item = *live.Items(i);
        const bool holds = HoldsCombination(item.Definition, context);
        if (holds == holds_[static_cast<std::size_t>(i)])
            continue;
        holds_[static_cast<std::size_t>(i)] = holds;
        changed = true;
        if (holds)
            taken.push_back(i);
        else
            item.Unregister();
    }
    for (int i : taken)
        live.Items(i)->Register();
    return changed;
}

bool LiveHolds::Holds(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < holds_.size() &&
           holds_[static_cast<std::size_t>(index)];
}

} // namespace corvinade
