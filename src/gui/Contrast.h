// Windows' high contrast setting, read in one place. While it is on, every
// window draws with the system's colours only: a colour of our own goes
// through ContrastColor, which then gives the system colour in its stead.
// Tests answer the setting instead of Windows.
#pragma once

#include <windows.h>

#include <optional>

namespace corvinade::gui {

// SPI_GETHIGHCONTRAST, unless a test answers.
bool HighContrastOn();

// For tests: the answer HighContrastOn gives; nullopt asks Windows again.
void AnswerHighContrast(std::optional<bool> on);

// `own` normally; the system colour `systemIndex` (COLOR_*) in high contrast.
COLORREF ContrastColor(COLORREF own, int systemIndex);

} // namespace corvinade::gui
