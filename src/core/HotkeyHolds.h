// Unit HotkeyHolds: which live hotkeys hold their combination now. While the
// hotkeys are paused only the pause hotkey does; a hotkey whose program rule
// says no for the program in front does not (its keys reach that program).
// Every combination not held is given back to the system, free for other
// programs. Only the hotkeys whose answer changes are registered or
// unregistered.
#pragma once

#include <vector>

#include "core/Hotkeys.h"
#include "core/ProgramRules.h"

namespace corvinade {

// What the answer depends on.
struct HoldContext {
    bool paused = false;
    FrontProgram front;
};

// Whether a live hotkey with this rule holds its combination in this context.
bool HoldsCombination(const THotKeyData& d, const ProgramRule& rule, const HoldContext& context);

class LiveHolds {
public:
    // After the live list was filled: reads the hotkeys' rules and registers
    // the hotkeys that hold now.
    void RegisterAll(THotkeyList& live, const HoldContext& context);
    // The context changed: releases the hotkeys that no longer hold first
    // (a later one of the same combination may take it), then registers
    // those that hold now and did not. True when any answer changed.
    bool Apply(THotkeyList& live, const HoldContext& context);
    // Item `index` of the live list holds its combination (registered, or
    // tried and refused); false for an index the last Apply did not know.
    bool Holds(int index) const;
    // Some hotkey of the list has a program rule.
    bool AnyRule() const;

private:
    std::vector<bool> holds_;
    std::vector<ProgramRule> rules_; // of the list's items, read once
};

} // namespace corvinade
