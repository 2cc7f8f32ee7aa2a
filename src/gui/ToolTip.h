// A tooltip control (TOOLTIPS_CLASS) with one tool: an area of a window that
// shows a text while the mouse rests on it. The control watches the window's
// mouse itself (TTF_SUBCLASS), so the window needs no code for it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/Handles.h"

namespace corvinade::gui {

class ToolTip {
public:
    // `area` in the window's client pixels.
    ToolTip(HWND window, const RECT& area, const std::string& text);
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;
    ~ToolTip();

    HWND Handle() const { return tip_.Get(); }
    void SetArea(const RECT& area);
    void SetText(const std::string& text);

private:
    HWND window_;
    UniqueWindow tip_;
};

// One tooltip control for many windows (the buttons of a toolbar): each
// shows its own text while the mouse rests on it.
class ToolTips {
public:
    // Owned by `owner`'s top-level window.
    explicit ToolTips(HWND owner);
    ToolTips(const ToolTips&) = delete;
    ToolTips& operator=(const ToolTips&) = delete;
    ~ToolTips();

    void Add(HWND window, const std::string& text);
    HWND Handle() const { return tip_.Get(); }

private:
    std::vector<HWND> windows_;
    UniqueWindow tip_;
};

} // namespace corvinade::gui
