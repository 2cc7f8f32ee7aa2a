// The tooltip text the tray icon hands to the shell, apart from the window
// system: the shell's field holds 127 UTF-16 units and a terminating zero.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace corvinade {

inline constexpr std::size_t TrayTipSize = 128;

// As much of the hint (UTF-8) as fits in 127 units, never half a character,
// zero-filled; all zeros (no tooltip) when the hint is empty or hints are off.
std::array<char16_t, TrayTipSize> TrayTipText(std::string_view hint, bool showHint);

// The icon's hint: "Corvinade: 6 hotkeys active", "Corvinade: 1 hotkey
// active", "Corvinade: no hotkeys active".
std::string TrayHintText(std::string_view title, int activeHotkeys);

} // namespace corvinade
