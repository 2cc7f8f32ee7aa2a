// Text labels of our windowless controls: PanelLabel (caption, font style and
// colour, alignment, automatic sizing, word wrap, click) and PanelLink, a label
// that behaves like a web link: it redraws in a hover colour and style while
// the mouse is over it and can open a document or address on a left press.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "gui/Handles.h"
#include "gui/Windowless.h"

namespace corvinade {

// Font styles, as bits.
using TFontStyles = std::uint8_t;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TFitType { ftNormal, ftFilename };
enum class TVertAlign { vaTop, vaCenter, vaBottom };

// Layout in design pixels (96 dpi); the label scales it.
struct LabelArgs {
    int left = 0, top = 0, width = 0, height = 0;
    std::string caption{};
};

class PanelLabel : public gui::WindowlessControl {
public:
    // Placed on the host's layer at once.
    PanelLabel(gui::WindowlessHost& host, gui::WindowlessLayer& layer, const LabelArgs& args);
    ~PanelLabel() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    TFontStyles FontStyle() const { return fontStyle_; }
    void SetFontStyle(TFontStyles style);
    // Font face and character height in design pixels; Tahoma 11 by default.
    void SetFontFace(const std::string& face, int designHeight);
    COLORREF FontColor() const { return fontColor_; }
    void SetFontColor(COLORREF color);
    // Background; unused while Transparent.
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    void SetTransparent(bool transparent);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    // Sizing to the caption keeps the left edge (the right edge when
    // right-justified).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    void SetWordWrap(bool wordWrap);
    // A single line too long for the label ends in "...".
    void SetEndEllipsis(bool endEllipsis);
    // False for a data text: a "&" in it is drawn, not taken as a mnemonic.
    void SetShowAccelChar(bool show);
    // Design-pixel bounds, scaled by the host's dpi.
    void Place(int left, int top, int width, int height);
    // The caption's width on one line in its font, in design pixels.
    int DesignTextWidth() const;
    // The host now shows at another dpi: placed and sized again.
    void DpiChanged();

    // Left press and release on the label.
    std::function<void()> OnClick;
    std::function<void()> OnMouseEnter, OnMouseLeave;
    std::function<void(gui::MouseButton, gui::ShiftState, int x, int y)> OnMouseDown;

protected:
    void Paint(HDC dc) override;
    void MouseDown(gui::MouseButton, gui::ShiftState, int x, int y) override;
    void MouseUp(gui::MouseButton, gui::ShiftState, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

    // A font of the label's face and size with this style, at the host's dpi.
    HFONT FontWithStyle(TFontStyles style) const;
    // DT_NOPREFIX for a data text.
    UINT PrefixFormat() const { return showAccelChar_ ? 0 : DT_NOPREFIX; }
    void AdjustSize();
    void DrawCaption(HDC dc, RECT area, UINT format, COLORREF color, TFontStyles style);

private:
    gui::WindowlessLayer& layer_;
    std::string caption_;
    std::string fontFace_ = "Tahoma";
    int fontHeight_ = 11;
    TFontStyles fontStyle_ = 0;
    COLORREF fontColor_ = ::GetSysColor(COLOR_WINDOWTEXT);
    COLORREF color_ = ::GetSysColor(COLOR_BTNFACE);
    bool transparent_ = false;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool autoSize_ = false;
    bool wordWrap_ = false;
    bool endEllipsis_ = false;
    bool showAccelChar_ = true;
    bool leftDown_ = false;
    RECT design_ = {};
};

class PanelLink : public PanelLabel {
public:
    using PanelLabel::PanelLabel;

    bool FitInRect() const { return fitInRect_; }
    void SetFitInRect(bool fit);
    void SetFitType(TFitType type);
    void SetAlignVert(TVertAlign align);
    void SetMargin(std::uint8_t margin);

    // Stored only: the new look shows at the next paint.
    bool Hover = true;
    TFontStyles HoverStyle = fsUnderline;
    COLORREF HoverColor = RGB(255, 0, 0);
    COLORREF HoverBGColor = ::GetSysColor(COLOR_BTNFACE);
    bool UseHoverBGColor = false;
    std::string Execute;
    bool ExecuteFile = false;

    bool Hovering() const { return hovering_; }
    // The flags DrawTextW gets for the caption.
    UINT DrawFormat() const;

protected:
    void Paint(HDC dc) override;
    void MouseDown(gui::MouseButton, gui::ShiftState, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool fitInRect_ = true;
    TFitType fitType_ = TFitType::ftNormal;
    TVertAlign alignVert_ = TVertAlign::vaTop;
    std::uint8_t margin_ = 0;
    bool hovering_ = false;
};

} // namespace corvinade
