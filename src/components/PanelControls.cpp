// The panel.s border and flat button; see PanelControls.h.
#include "components/PanelControls.h"

#include "core/Wide_win.h"

#include "gui/Dpi.h"

namespace corvinade {

PanelBorder::PanelBorder(gui::WindowlessHost& host, gui::WindowlessLayer& layer) : WindowlessControl(host) {
    layer.Add(*this);
}

void PanelBorder::Paint(HDC dc) {
    gui::GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, PenColor));
    gui::ScopedSelect selectPen(dc, pen.Get());
    gui::ScopedSelect selectBrush(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, 0, 0, Width(), Height());
}

void PanelBorder::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter();
}

void PanelBorder::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave();
}

PanelButton::PanelButton(gui::WindowlessHost& host, gui::WindowlessLayer& layer, const LabelArgs& args)
    : WindowlessControl(host), caption_(args.caption), design_(args) {
    DpiChanged();
    layer.Add(*this);
}

void PanelButton::DpiChanged() {
    const int dpi = Host().HostDpi();
    SetBounds(gui::Scale(design_.left, dpi), gui::Scale(design_.top, dpi), gui::Scale(design_.width, dpi),
              gui::Scale(design_.height, dpi));
    Invalidate();
}

void PanelButton::SetFont(const std::string& face, int designHeight, TFontStyles style) {
    font_ = {face, designHeight, style};
    Invalidate();
}

void PanelButton::Paint(HDC dc) {
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

void PanelButton::MouseDown(gui::MouseButton button, gui::ShiftState, int, int) {
    if (button == gui::MouseButton::Left) {
        down_ = true;
        Invalidate();
    }
}

void PanelButton::MouseUp(gui::MouseButton button, gui::ShiftState, int x, int y) {
    if (button != gui::MouseButton::Left || !down_)
        return;
    down_ = false;
    Invalidate();
    if (x >= 0 && y >= 0 && x < Width() && y < Height() && OnClick)
        OnClick();
}

void PanelButton::MouseEnter() {
    hot_ = true;
    Invalidate();
}

void PanelButton::MouseLeave() {
    hot_ = false;
    Invalidate();
}

} // namespace corvinade
