// The known picture of the pattern test program: a 4 x 4 grid of flat
// colours over the window's client area, so capture tests can tell every
// pixel's colour without taking another grab.
#pragma once

#include <cstdint>

namespace corvinade::test {

inline constexpr int PatternCells = 4;

// 0x00RRGGBB of the cell (column, row); far apart, so JPEG keeps them apart.
inline std::uint32_t PatternCellColour(int column, int row) {
    static constexpr std::uint32_t Colours[PatternCells * PatternCells] = {
        0xE02020, 0x20C040, 0x2040E0, 0xF0F0F0, //
        0x101010, 0xF0D020, 0x20D0D0, 0xD020D0, //
        0x808080, 0x804000, 0x004080, 0x408000, //
        0xFF8080, 0x80FF80, 0x8080FF, 0x400040,
    };
    return Colours[row * PatternCells + column];
}

// The colour at client pixel (x, y) of a client area width x height.
inline std::uint32_t PatternColourAt(int x, int y, int width, int height) {
    const int column = x * PatternCells / width, row = y * PatternCells / height;
    return PatternCellColour(column, row);
}

} // namespace corvinade::test
