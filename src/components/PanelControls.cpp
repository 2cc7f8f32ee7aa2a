// The panel's shape and flat button; see PanelControls.h.
#include "components/PanelControls.h"

#include "core/Wide_win.h"

#include "gui/Dpi.h"

namespace corvinade {

TShape::TShape(gui::WindowlessHost& host, gui::WindowlessLayer& layer) : WindowlessControl(host) {
    layer.Add(*this);
}

void TShape::Paint(HDC dc) {
    gui::GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, PenColor));
    gui::ScopedSelect selectPen(dc, pen.Get());
    gui::ScopedSelect selectBrush(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, 0, 0, Width(), Height());
}

void TShape::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter();
}

void TShape::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave();
}

TSpeedButton::TSpeedButton(gui::WindowlessHost& host, gui::WindowlessLayer& layer, const LabelArgs& args)
    : WindowlessControl(host), caption_(args.caption), design_(args) {
    DpiChanged();
    layer.Add(*this);
}

void TSpeedButton::DpiChanged() {
    const int dpi = Host().HostDpi();
    SetBounds(gui::Scale(design_.left, dpi), gui::Scale(design_.top, dpi), gui::Scale(design_.width, dpi),
              gui::Scale(design_.height, dpi));
    Invalidate();
}

void TSpeedButton::SetFont(const std::string& face, int designHeight, TFontStyles style) {
    font_ = {face, designHeight, style};
    Invalidate();
}

void TSpeedButton::Paint(HDC dc) {
    RECT r = {0, 0, Width(), Height()};
    // Flat: an edge only under the mouse, sunken while pressed.
    if (hot_)
        ::DrawEdge(dc, &r, down_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    if (down_)
        ::OffsetRect(&r, 1, 1);
    gui::ScopedSelect font(dc, gui::Font(font_, Host().HostDpi()));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT)); // the panel's text colour: it stands on its background
    ::DrawTextW(dc, Wide(caption_).c_str(), -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

void TSpeedButton::MouseDown(gui::MouseButton button, gui::ShiftState, int, int) {
    if (button == gui::MouseButton::Left) {
        down_ = true;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(gui::MouseButton button, gui::ShiftState, int x, int y) {
    if (button != gui::MouseButton::Left || !down_)
        return;
    down_ = false;
    Invalidate();
    if (x >= 0 && y >= 0 && x < Width() && y < Height() && OnClick)
        OnClick();
}

void TSpeedButton::MouseEnter() {
    hot_ = true;
    Invalidate();
}

void TSpeedButton::MouseLeave() {
    hot_ = false;
    Invalidate();
}

} // namespace corvinade
