// Screen scaling of the designed geometry and the program's fonts. Every size
// of the program's windows is given in pixels at 96 dpi; a window scales it
// by its own dpi (which follows the monitor it is on) through Scale here.
#pragma once

#include <windows.h>

#include <string>

namespace corvinade::gui {

inline constexpr int DesignDpi = 96;

// Tells Windows that we scale ourselves (the manifest says so too; this
// covers a process started without it). Safe to call more than once.
void MakeProcessDpiAware();

// The system's logical dpi, read once: the dpi of windows not yet placed.
int ScreenDpi();

// The dpi a window is shown at (GetDpiForWindow where the system has it),
// else the system dpi.
int WindowDpi(HWND window);

// designPixels * dpi / 96, rounded.
int Scale(int designPixels, int dpi);
// At the system dpi.
int Scale(int designPixels);

// AdjustWindowRectEx at a given dpi (the frame grows with it where the
// system supports that).
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

// Font styles, as bits.
inline constexpr unsigned FontBold = 1, FontItalic = 2, FontUnderline = 4, FontStrikeOut = 8;

// A font in design terms: face, character height in design pixels, style.
struct FontDesign {
    std::string face = "Tahoma";
    int height = 11;
    unsigned style = 0;
    bool operator==(const FontDesign&) const = default;
};

// The font of a design at a dpi. Fonts are created once per design and dpi,
// owned here for the life of the process, and never deleted by callers.
HFONT Font(const FontDesign& design, int dpi);

// Tahoma with a character height of 11 design pixels: the font of every
// window and control, at the system dpi or at a given one.
HFONT DefaultFont();
HFONT DefaultFont(int dpi);

} // namespace corvinade::gui
