// Mouse buttons and the shift state that come with mouse events of our
// controls. Portable: the geometry of the capture units uses them too.
#pragma once

#include <cstdint>

namespace corvinade::gui {

enum class MouseButton { Left, Right, Middle };

// Keys and buttons held during a mouse event, as bits.
using ShiftState = std::uint32_t;
inline constexpr ShiftState ssShift = 1;
inline constexpr ShiftState ssAlt = 2;
inline constexpr ShiftState ssCtrl = 4;
inline constexpr ShiftState ssLeft = 8;
inline constexpr ShiftState ssRight = 16;
inline constexpr ShiftState ssMiddle = 32;

} // namespace corvinade::gui
