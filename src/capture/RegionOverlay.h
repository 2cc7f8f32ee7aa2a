// "Capture region": the hotkey freezes every monitor in one grab of the
// virtual screen and covers them with one window showing it slightly
// dimmed, a cross-hair for the pointer. The area being dragged, or before a
// drag the window under the pointer, shows undimmed and framed, its size in
// physical pixels beside it (AreaPicker has the rules). Release takes the
// area into a capture window, as "Capture screen" opens the screen; Esc or
// a right click leaves nothing behind. The frozen grab is the only
// full-size copy of the pixels: the dimming is drawn over it in bands as
// they are painted, and a step repaints only what it changed.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "capture/CaptureTarget_win.h"
#include "capture/RegionGeometry.h"
#include "core/CaptureOptions.h"
#include "gui/Accessible.h"
#include "gui/ImageView.h"
#include "gui/Window.h"

namespace corvinade {

class CaptureWindowList;

class RegionOverlay : public gui::Window, private gui::AccessibleContent {
public:
    // `frozen` holds desktop.screen, its top-left pixel the screen's.
    RegionOverlay(gui::Bitmap32 frozen, AreaPicker::Desktop desktop);
    RegionOverlay(const RegionOverlay&) = delete;
    RegionOverlay& operator=(const RegionOverlay&) = delete;
    ~RegionOverlay() override;

    // Over every monitor, in front, with the keyboard.
    void Show();
    // Until an area is taken or the picking cancelled.
    bool Showing() const { return window_ != nullptr; }

    // The area taken and its pixels, once the overlay is gone.
    std::function<void(const IntRect& area, gui::Bitmap32 pixels)> OnTaken;

private:
    LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint();
    void PaintBand(HDC target, const RECT& band);
    // After each step: repaints what changed, or ends the picking.
    void Follow(AreaPicker::Outcome outcome);
    void End(AreaPicker::Outcome outcome);
    void Arrow(int dx, int dy);
    IntPoint ScreenPoint(LPARAM lParam) const;
    RECT ClientRect(const IntRect& screenRect) const;
    std::optional<IntRect> LabelFor(const std::optional<IntRect>& area) const;
    int AreaDpi(const IntRect& area) const;
    int FrameWidth() const;

    std::optional<std::string> AccessibleName() const override;
    std::optional<std::string> AccessibleValue() const override;

    gui::Bitmap32 frozen_;
    IntRect screen_;
    std::vector<MonitorArea> monitors_;
    AreaPicker picker_;
    // As painted: the undimmed area and its size's label, screen pixels.
    std::optional<IntRect> shown_, label_;
    gui::Bitmap32 strip_; // the rows being composed
    gui::Bitmap32 black_; // the dimming layer, as large as the strip
    std::unique_ptr<gui::AccessibleWindow> accessible_;
    bool active_ = false, ending_ = false;
};

// "Capture region" for the action runner: the overlay on the hotkey (or the
// last area at once, with sameArea), the area taken opened in a capture
// window on its monitor. The last area is kept for the program's run.
class RegionCapture {
public:
    explicit RegionCapture(CaptureWindowList& windows, const MonitorPort& monitors = SystemMonitors());
    RegionCapture(const RegionCapture&) = delete;
    RegionCapture& operator=(const RegionCapture&) = delete;
    ~RegionCapture();

    // The overlay, brought to the front if it shows already; with SameArea
    // and a last area on the screen, that area grabbed without asking. With
    // Cursor the pointer is in the grab.
    void Start(const TCaptureOptions& options);
    const std::optional<IntRect>& LastArea() const { return last_; }

private:
    void Open(const IntRect& area, gui::Bitmap32 pixels, const std::vector<MonitorArea>& monitors);

    CaptureWindowList& windows_;
    const MonitorPort& monitors_;
    std::optional<IntRect> last_;
    std::unique_ptr<RegionOverlay> overlay_; // the last one, kept until the next (nothing of it runs then)
};

} // namespace corvinade
