// A pin: a capture (its selection, marks included) shown on top of every
// window at 100 %, without a frame or taskbar button, titled "Pinned
// capture". Drag it to move it, turn the wheel to zoom it, double-click it
// or press Esc to close it; its menu (right click, the menu key) copies,
// saves or closes it. It holds only its own pixels; its owner is the
// program's list of capture windows, so it outlives the window it came from.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "capture/BmpFile.h"
#include "capture/ImageOutput.h"
#include "gui/FileDialog.h"
#include "gui/Form.h"
#include "gui/ImageView.h"
#include "gui/ZoomGeometry.h"

namespace corvinade {

class PinWindow : public gui::Form {
public:
    // Its top-left corner at `at` (screen pixels), kept within the work
    // area of the monitor there; save choices shared with the capture windows.
    PinWindow(const PixelImage& image, POINT at, SaveChoices& choices);
    ~PinWindow() override;

    const gui::Zoom& CurrentZoom() const { return zoom_; }
    // The pixels it holds, as they were pinned.
    PixelImage Pixels() const;

    // Runs when the object is deleted, so whoever lists it can forget it.
    std::function<void(PinWindow*)> OnFreed;
    // After a save, with the file's name.
    std::function<void(const std::string& file)> OnSaved;

    void Copy();
    void Save();
    void ZoomBy(bool in, POINT screenAnchor);

private:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool ShortcutKey(WPARAM key);
    void Paint();
    void ShowMenu(POINT screen);
    // The window sized for the zoom, `anchor` (screen) kept over the same image point.
    void Fit(POINT anchor, const gui::Zoom& before);

    gui::Bitmap32 image_;
    gui::Zoom zoom_;
    SaveChoices& choices_;
    gui::SaveDialog dialog_;
    bool dragging_ = false;
    POINT dragFrom_ = {0, 0}; // the pointer's offset from the window's corner
    int wheel_ = 0;
};

} // namespace corvinade
