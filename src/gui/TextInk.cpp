// Underlines as long as a text's ink; see TextInk.h.
#include "gui/TextInk.h"

#include <algorithm>

#include "gui/Handles.h"

namespace corvinade::gui {

int TextInkWidth(HDC dc, const std::wstring& text) {
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (extent.cx <= 0 || extent.cy <= 0)
        return 0;
    // Drawn black on white in a scratch bitmap of its own, read from the right.
    const int width = extent.cx + 2, height = extent.cy;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDC scratch(::CreateCompatibleDC(dc));
    if (!bitmap || !scratch || !bits)
        return extent.cx;
    ScopedSelect selectBitmap(scratch.Get(), bitmap.Get());
    ScopedSelect selectFont(scratch.Get(), ::GetCurrentObject(dc, OBJ_FONT));
    RECT all = {0, 0, width, height};
    ::FillRect(scratch.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(scratch.Get(), TRANSPARENT);
    ::SetTextColor(scratch.Get(), RGB(0, 0, 0));
    ::TextOutW(scratch.Get(), 0, 0, text.c_str(), static_cast<int>(text.size()));
    ::GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int x = width - 1; x >= 0; --x)
        for (int y = 0; y < height; ++y)
            if ((pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF)
                return std::min<int>(x + 1, extent.cx);
    return extent.cx;
}

void DrawUnderline(HDC dc, int left, int top, const std::wstring& text, COLORREF color, int maxWidth) {
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    // Where the font's own underline goes: below the baseline by its
    // position (a row, without outline metrics).
    int below = 1, thickness = 1;
    OUTLINETEXTMETRICW outline = {};
    outline.otmSize = sizeof outline;
    if (::GetOutlineTextMetricsW(dc, sizeof outline, &outline)) {
        below = std::max(1, -outline.otmsUnderscorePosition);
        thickness = std::max<int>(1, outline.otmsUnderscoreSize);
    }
    const int width = std::min(maxWidth, TextInkWidth(dc, text));
    const int y = top + metrics.tmAscent + below;
    RECT line = {left, y, left + width, y + thickness};
    GdiObject<HBRUSH> brush(::CreateSolidBrush(color));
    ::FillRect(dc, &line, brush.Get());
}

} // namespace corvinade::gui
