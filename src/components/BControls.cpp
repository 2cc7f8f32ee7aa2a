// Labels and link labels; see BControls.h.
#include "components/BControls.h"

#include "core/Wide_win.h"

#include <shellapi.h>

#include "gui/Dpi.h"

namespace corvinade {

TLabel::TLabel(gui::WindowlessHost& host, gui::WindowlessLayer& layer, const LabelArgs& args)
    : WindowlessControl(host), layer_(layer), caption_(args.caption) {
    Place(args.left, args.top, args.width, args.height);
    layer_.Add(*this);
}

TLabel::~TLabel() = default;

void TLabel::Place(int left, int top, int width, int height) {
    design_ = {left, top, width, height};
    const int dpi = Host().HostDpi();
    SetBounds(gui::Scale(left, dpi), gui::Scale(top, dpi), gui::Scale(width, dpi), gui::Scale(height, dpi));
    AdjustSize();
}

void TLabel::DpiChanged() {
    Place(design_.left, design_.top, design_.right, design_.bottom);
    Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
    showAccelChar_ = show;
    AdjustSize();
    Invalidate();
}

void TLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    AdjustSize();
    Invalidate();
}

void TLabel::SetFontStyle(TFontStyles style) {
    fontStyle_ = style;
    AdjustSize();
    Invalidate();
}

void TLabel::SetFontFace(const std::string& face, int designHeight) {
    fontFace_ = face;
    fontHeight_ = designHeight;
    AdjustSize();
    Invalidate();
}

void TLabel::SetFontColor(COLORREF color) {
    fontColor_ = color;
    Invalidate();
}

void TLabel::SetColor(COLORREF color) {
    color_ = color;
    Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustSize();
}

void TLabel::SetWordWrap(bool wordWrap) {
    wordWrap_ = wordWrap;
    AdjustSize();
    Invalidate();
}

HFONT TLabel::FontWithStyle(TFontStyles style) const {
    return gui::Font({fontFace_, fontHeight_, style}, Host().HostDpi());
}

void TLabel::AdjustSize() {
    if (!autoSize_)
        return;
    gui::WindowDC screen(nullptr);
    gui::ScopedSelect font(screen.Get(), FontWithStyle(fontStyle_));
    RECT r = {0, 0, wordWrap_ ? Width() : 0, 0};
    const std::string text = caption_.empty() ? " " : caption_;
    ::DrawTextW(screen.Get(), Wide(text).c_str(), -1, &r,
                DT_CALCRECT | PrefixFormat() | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE));
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int left = alignment_ == TAlignment::taRightJustify ? Left() + Width() - width : Left();
    SetBounds(left, Top(), width, height);
}

void TLabel::DrawCaption(HDC dc, RECT area, UINT format, COLORREF color, TFontStyles style) {
    gui::ScopedSelect font(dc, FontWithStyle(style));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    ::DrawTextW(dc, Wide(caption_).c_str(), -1, &area, format);
}

void TLabel::Paint(HDC dc) {
    RECT area = {0, 0, Width(), Height()};
    if (!transparent_) {
        gui::GdiObject<HBRUSH> brush(::CreateSolidBrush(color_));
        ::FillRect(dc, &area, brush.Get());
    }
    UINT format = PrefixFormat() | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    if (alignment_ == TAlignment::taRightJustify)
        format |= DT_RIGHT;
    else if (alignment_ == TAlignment::taCenter)
        format |= DT_CENTER;
    DrawCaption(dc, area, format, fontColor_, fontStyle_);
}

void TLabel::MouseDown(gui::MouseButton button, gui::ShiftState shift, int x, int y) {
    leftDown_ = button == gui::MouseButton::Left;
    if (OnMouseDown)
        OnMouseDown(button, shift, x, y);
}

void TLabel::MouseUp(gui::MouseButton button, gui::ShiftState, int x, int y) {
    const bool click =
        leftDown_ && button == gui::MouseButton::Left && x >= 0 && y >= 0 && x < Width() && y < Height();
    if (button == gui::MouseButton::Left)
        leftDown_ = false;
    if (click && OnClick)
        OnClick();
}

void TLabel::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter();
}

void TLabel::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave();
}

// --- TBLabel -------------------------------------------------------------

namespace {

// The link's look changes show at once, not at the host's next paint.
void RepaintNow(gui::WindowlessControl& control) {
    control.Invalidate();
    if (HWND host = control.Host().HostWindow())
        ::UpdateWindow(host);
}

} // namespace

void TBLabel::SetFitInRect(bool fit) {
    if (fit != fitInRect_) {
        fitInRect_ = fit;
        RepaintNow(*this);
    }
}

void TBLabel::SetFitType(TFitType type) {
    if (type != fitType_) {
        fitType_ = type;
        RepaintNow(*this);
    }
}

void TBLabel::SetAlignVert(TVertAlign align) {
    if (align != alignVert_) {
        alignVert_ = align;
        RepaintNow(*this);
    }
}

void TBLabel::SetMargin(std::uint8_t margin) {
    if (margin != margin_) {
        margin_ = margin;
        RepaintNow(*this);
    }
}

UINT TBLabel::DrawFormat() const {
    UINT format = DT_SINGLELINE;
    if (!fitInRect_ || AutoSize())
        return format;
    format |= fitType_ == TFitType::ftFilename ? DT_PATH_ELLIPSIS : DT_END_ELLIPSIS;
    if (Alignment() == TAlignment::taCenter)
        format |= DT_CENTER;
    else if (Alignment() == TAlignment::taRightJustify)
        format |= DT_RIGHT;
    if (alignVert_ == TVertAlign::vaCenter)
        format |= DT_VCENTER;
    else if (alignVert_ == TVertAlign::vaBottom)
        format |= DT_BOTTOM;
    return format;
}

void TBLabel::Paint(HDC dc) {
    RECT area = {0, 0, Width(), Height()};
    // Always opaque.
    gui::GdiObject<HBRUSH> brush(::CreateSolidBrush(hovering_ && UseHoverBGColor ? HoverBGColor : Color()));
    ::FillRect(dc, &area, brush.Get());
    ::InflateRect(&area, -margin_, -margin_);
    DrawCaption(dc, area, DrawFormat(), hovering_ ? HoverColor : FontColor(),
                hovering_ ? HoverStyle : FontStyle());
}

void TBLabel::MouseDown(gui::MouseButton button, gui::ShiftState shift, int x, int y) {
    TLabel::MouseDown(button, shift, x, y);
    // On the press, before the click of the release.
    if (!Execute.empty() && button == gui::MouseButton::Left && ExecuteFile)
        ::ShellExecuteW(nullptr, L"open", Wide(Execute).c_str(), nullptr, nullptr, SW_SHOW);
}

void TBLabel::MouseEnter() {
    TLabel::MouseEnter();
    if (!hovering_ && Hover) {
        hovering_ = true;
        RepaintNow(*this);
    }
}

void TBLabel::MouseLeave() {
    TLabel::MouseLeave();
    if (hovering_) {
        hovering_ = false;
        RepaintNow(*this);
    }
}

} // namespace corvinade
