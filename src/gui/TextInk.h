// Underlines drawn as long as the text's ink. The system underlines a font
// across the text's extent, which can run past what the glyphs show (Wine's
// bitmaps of its small Tahoma sizes are narrower than their advances): links
// drawn by us draw their text plain and this line under it.
#pragma once

#include <windows.h>

#include <string>

namespace corvinade::gui {

// Where the ink of `text`, drawn in the DC's font from x 0, ends: at most
// its extent.
int TextInkWidth(HDC dc, const std::wstring& text);

// The font's underline, in `color`, under `text` drawn in the DC's font with
// its top-left corner at (left, top), at most `maxWidth` long.
void DrawUnderline(HDC dc, int left, int top, const std::wstring& text, COLORREF color, int maxWidth);

} // namespace corvinade::gui
