// The tooltip text the tray icon hands to the shell, apart from the window
// system: the shell's field holds 127 characters and a terminating zero.
#pragma once

#include <array>
#include <string_view>

namespace corvinade {

inline constexpr std::size_t TrayTipSize = 128;

// The first 127 characters of the hint, zero-filled; all zeros (no tooltip)
// when the hint is empty or hints are off.
std::array<char, TrayTipSize> TrayTipText(std::string_view hint, bool showHint);

} // namespace corvinade
