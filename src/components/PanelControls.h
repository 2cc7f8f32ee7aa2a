// Two small windowless controls of the tray overview panel: PanelBorder, a
// rectangle with a border (and its mouse enter and leave), and PanelButton,
// a flat button with a caption.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "components/PanelLabels.h"
#include "gui/Dpi.h"

namespace corvinade {

class PanelBorder : public gui::WindowlessControl {
public:
    PanelBorder(gui::WindowlessHost& host, gui::WindowlessLayer& layer);

    // Transparent fill; the border colour.
    COLORREF PenColor = ::GetSysColor(COLOR_3DDKSHADOW);
    std::function<void()> OnMouseEnter, OnMouseLeave;

protected:
    void Paint(HDC dc) override;
    void MouseEnter() override;
    void MouseLeave() override;
};

class PanelButton : public gui::WindowlessControl {
public:
    PanelButton(gui::WindowlessHost& host, gui::WindowlessLayer& layer, const LabelArgs& args);

    // Font face and style of the caption.
    void SetFont(const std::string& face, int designHeight, TFontStyles style);
    // The host now shows at another dpi: placed again.
    void DpiChanged();
    std::function<void()> OnClick;

protected:
    void Paint(HDC dc) override;
    void MouseDown(gui::MouseButton, gui::ShiftState, int x, int y) override;
    void MouseUp(gui::MouseButton, gui::ShiftState, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    std::string caption_;
    LabelArgs design_;
    gui::FontDesign font_;
    bool hot_ = false;
    bool down_ = false;
};

} // namespace corvinade
