// The ink of the marks' texts and step numbers, drawn with the user's
// message font through GDI, smoothed, as coverage the painter blends in the
// mark's colour. Masks are kept for the texts in use.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "capture/MarkRender.h"
#include "gui/Handles.h"

namespace corvinade {

class GdiTextInk : public TextInkPort {
public:
    GdiTextInk();
    GdiTextInk(const GdiTextInk&) = delete;
    GdiTextInk& operator=(const GdiTextInk&) = delete;

    const AlphaMask& TextInk(const std::string& text, int height, bool bold) override;
    // The distance between two lines' tops at a font height.
    int LineHeight(int height);
    // The width of one line's ink.
    int LineWidth(const std::string& line, int height);

    // The character height, in pixels at `dpi`, of the user's message font.
    static int UserFontHeight(int dpi);

private:
    HFONT FontFor(int height, bool bold);

    std::wstring face_;
    std::map<std::tuple<std::string, int, bool>, AlphaMask> masks_;
    std::map<std::pair<int, bool>, gui::GdiObject<HFONT>> fonts_;
};

} // namespace corvinade
