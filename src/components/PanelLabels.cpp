// Labels and link labels; see PanelLabels.h.
#include "components/PanelLabels.h"

#include "core/Wide_win.h"

#include <shellapi.h>

#include "gui/Dpi.h"
#include "gui/TextInk.h"

namespace corvinade {

namespace {

// A caption as drawn with its "&" marks taken as mnemonics.
std::wstring PlainText(const std::wstring& text) {
    std::wstring plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

} // namespace

PanelLabel::PanelLabel(gui::WindowlessHost& host, gui::WindowlessLayer& layer, const LabelArgs& args)
    : WindowlessControl(host), layer_(layer), caption_(args.caption) {
    Place(args.left, args.top, args.width, args.height);
    layer_.Add(*this);
}

PanelLabel::~PanelLabel() = default;

void PanelLabel::Place(int left, int top, int width, int height) {
    design_ = {left, top, width, height};
    const int dpi = Host().HostDpi();
    SetBounds(gui::Scale(left, dpi), gui::Scale(top, dpi), gui::Scale(width, dpi), gui::Scale(height, dpi));
    AdjustSize();
}

void PanelLabel::DpiChanged() {
    Place(design_.left, design_.top, design_.right, design_.bottom);
    Invalidate();
}

void PanelLabel::SetShowAccelChar(bool show) {
    showAccelChar_ = show;
    AdjustSize();
    Invalidate();
}

void PanelLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    AdjustSize();
    Invalidate();
}

void PanelLabel::SetFontStyle(TFontStyles style) {
    fontStyle_ = style;
    AdjustSize();
    Invalidate();
}

void PanelLabel::SetFontFace(const std::string& face, int designHeight) {
    fontFace_ = face;
    fontHeight_ = designHeight;
    AdjustSize();
    Invalidate();
}

void PanelLabel::SetFontColor(COLORREF color) {
    fontColor_ = color;
    Invalidate();
}

void PanelLabel::SetColor(COLORREF color) {
    color_ = color;
    Invalidate();
}

void PanelLabel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void PanelLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void PanelLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustSize();
}

void PanelLabel::SetWordWrap(bool wordWrap) {
    wordWrap_ = wordWrap;
    AdjustSize();
    Invalidate();
}

void PanelLabel::SetEndEllipsis(bool endEllipsis) {
    endEllipsis_ = endEllipsis;
    Invalidate();
}

HFONT PanelLabel::FontWithStyle(TFontStyles style) const {
    return gui::Font({fontFace_, fontHeight_, style}, Host().HostDpi());
}

void PanelLabel::AdjustSize() {
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

int PanelLabel::DesignTextWidth() const {
    gui::WindowDC screen(nullptr);
    gui::ScopedSelect font(screen.Get(), FontWithStyle(fontStyle_));
    RECT r = {0, 0, 0, 0};
    ::DrawTextW(screen.Get(), Wide(caption_).c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | PrefixFormat());
    const int dpi = Host().HostDpi();
    return (static_cast<int>(r.right - r.left) * gui::DesignDpi + dpi - 1) / dpi;
}

// An underline is drawn under the plain text, as long as its ink (see
// gui/TextInk.h), where DrawText puts the text.
void PanelLabel::DrawCaption(HDC dc, RECT area, UINT format, COLORREF color, TFontStyles style) {
    gui::ScopedSelect font(dc, FontWithStyle(static_cast<TFontStyles>(style & ~fsUnderline)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    const std::wstring text = Wide(caption_);
    ::DrawTextW(dc, text.c_str(), -1, &area, format);
    if (!(style & fsUnderline) || (format & DT_WORDBREAK))
        return;
    RECT shown = area;
    ::DrawTextW(dc, text.c_str(), -1, &shown, (format & ~(DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) | DT_CALCRECT);
    const int width = shown.right - shown.left, height = shown.bottom - shown.top;
    int left = area.left, top = area.top;
    if (format & DT_RIGHT)
        left = area.right - width;
    else if (format & DT_CENTER)
        left = area.left + (area.right - area.left - width) / 2;
    if (format & DT_BOTTOM)
        top = area.bottom - height;
    else if (format & DT_VCENTER)
        top = area.top + (area.bottom - area.top - height) / 2;
    gui::DrawUnderline(dc, std::max<int>(left, area.left), top,
                       (format & DT_NOPREFIX) ? text : PlainText(text), color,
                       static_cast<int>(area.right - std::max<int>(left, area.left)));
}

void PanelLabel::Paint(HDC dc) {
    RECT area = {0, 0, Width(), Height()};
    if (!transparent_) {
        gui::GdiObject<HBRUSH> brush(::CreateSolidBrush(color_));
        ::FillRect(dc, &area, brush.Get());
    }
    UINT format = PrefixFormat() | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    if (endEllipsis_ && !wordWrap_)
        format |= DT_END_ELLIPSIS;
    if (alignment_ == TAlignment::taRightJustify)
        format |= DT_RIGHT;
    else if (alignment_ == TAlignment::taCenter)
        format |= DT_CENTER;
    DrawCaption(dc, area, format, fontColor_, fontStyle_);
}

void PanelLabel::MouseDown(gui::MouseButton button, gui::ShiftState shift, int x, int y) {
    leftDown_ = button == gui::MouseButton::Left;
    if (OnMouseDown)
        OnMouseDown(button, shift, x, y);
}

void PanelLabel::MouseUp(gui::MouseButton button, gui::ShiftState, int x, int y) {
    const bool click =
        leftDown_ && button == gui::MouseButton::Left && x >= 0 && y >= 0 && x < Width() && y < Height();
    if (button == gui::MouseButton::Left)
        leftDown_ = false;
    if (click && OnClick)
        OnClick();
}

void PanelLabel::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter();
}

void PanelLabel::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave();
}

// --- PanelLink -------------------------------------------------------------

namespace {

// The link's look changes show at once, not at the host's next paint.
void RepaintNow(gui::WindowlessControl& control) {
    control.Invalidate();
    if (HWND host = control.Host().HostWindow())
        ::UpdateWindow(host);
}

} // namespace

void PanelLink::SetFitInRect(bool fit) {
    if (fit != fitInRect_) {
        fitInRect_ = fit;
        RepaintNow(*this);
    }
}

void PanelLink::SetFitType(TFitType type) {
    if (type != fitType_) {
        fitType_ = type;
        RepaintNow(*this);
    }
}

void PanelLink::SetAlignVert(TVertAlign align) {
    if (align != alignVert_) {
        alignVert_ = align;
        RepaintNow(*this);
    }
}

void PanelLink::SetMargin(std::uint8_t margin) {
    if (margin != margin_) {
        margin_ = margin;
        RepaintNow(*this);
    }
}

UINT PanelLink::DrawFormat() const {
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

void PanelLink::Paint(HDC dc) {
    RECT area = {0, 0, Width(), Height()};
    // Always opaque.
    gui::GdiObject<HBRUSH> brush(::CreateSolidBrush(hovering_ && UseHoverBGColor ? HoverBGColor : Color()));
    ::FillRect(dc, &area, brush.Get());
    ::InflateRect(&area, -margin_, -margin_);
    DrawCaption(dc, area, DrawFormat(), hovering_ ? HoverColor : FontColor(),
                hovering_ ? HoverStyle : FontStyle());
}

void PanelLink::MouseDown(gui::MouseButton button, gui::ShiftState shift, int x, int y) {
    PanelLabel::MouseDown(button, shift, x, y);
    // On the press, before the click of the release.
    if (!Execute.empty() && button == gui::MouseButton::Left && ExecuteFile)
        ::ShellExecuteW(nullptr, L"open", Wide(Execute).c_str(), nullptr, nullptr, SW_SHOW);
}

void PanelLink::MouseEnter() {
    PanelLabel::MouseEnter();
    if (!hovering_ && Hover) {
        hovering_ = true;
        RepaintNow(*this);
    }
}

void PanelLink::MouseLeave() {
    PanelLabel::MouseLeave();
    if (hovering_) {
        hovering_ = false;
        RepaintNow(*this);
    }
}

} // namespace corvinade
