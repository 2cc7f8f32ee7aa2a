// Unit HotkeyFilter: which hotkeys the settings window's filter text finds.
// A hotkey is found when the texts its row shows (the combination, the
// action's name, the parameters its action has, the programs of its rule)
// contain the filter text, letters compared without case. Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "core/Hotkeys.h"

namespace corvinade {

// The letter's lower case where the Latin, Greek, Cyrillic and Armenian
// alphabets (and the full-width Latin letters) have one; any other code
// point as it is.
char32_t FoldCase(char32_t c);

// Whether `text` contains `part`, letters compared without case (an empty
// part is in every text).
bool ContainsIgnoringCase(std::string_view text, std::string_view part);

// Whether the hotkey shows the filter text; `combinationText` is its
// combination as the row names it ("WIN + N"). An empty filter finds all.
bool HotkeyMatchesFilter(const THotKeyData& hotkey, std::string_view combinationText,
                         std::string_view filter);

} // namespace corvinade
