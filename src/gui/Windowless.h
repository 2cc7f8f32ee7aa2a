// Windowless controls: controls without a window of their own that paint on
// their host window's surface after the host has painted (in creation order,
// later ones on top), take the mouse events that fall on their bounds, get
// enter and leave notifications, and keep getting the mouse while a button
// pressed on them is held. WindowlessLayer does this for a host window.
#pragma once

#include <windows.h>

#include <vector>

#include "gui/MouseTypes.h"

namespace corvinade::gui {

class WindowlessControl;

// The window a layer of windowless controls lives on.
class WindowlessHost {
public:
    virtual HWND HostWindow() const = 0;
    // Marks an area (host coordinates: the coordinates of the controls) for repainting.
    virtual void InvalidateHostRect(const RECT& area) = 0;
    // The dpi the host shows at: controls laid out in design pixels scale by it.
    virtual int HostDpi() const;
    // Where a point of the controls' coordinates shows in the host's client
    // area, and the point shown at a client pixel: the same point unless the
    // host zooms or scrolls what it shows (the image view).
    virtual POINT HostToClient(POINT p) const { return p; }
    virtual POINT ClientToHost(POINT p) const { return p; }

protected:
    ~WindowlessHost() = default;
};

class WindowlessControl {
public:
    // Width and height are 100 after creation, as for every control.
    explicit WindowlessControl(WindowlessHost& host);
    WindowlessControl(const WindowlessControl&) = delete;
    WindowlessControl& operator=(const WindowlessControl&) = delete;
    virtual ~WindowlessControl();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Any change repaints the old and the new area, then BoundsChanged runs.
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Repaints the control's area.
    void Invalidate();
    // The area the control paints and takes the mouse on: its bounds, made
    // positive while a width or height is negative.
    RECT Area() const;
    // The control as the host shows it, in client pixels: where its top-left
    // corner is, its size (negative as Width and Height are) and its area.
    POINT ShownOrigin() const;
    SIZE ShownSize() const;
    RECT ShownArea() const;

    HCURSOR Cursor() const { return cursor_; }
    // Shown at once when the mouse is over the control.
    void SetCursor(HCURSOR cursor);

    WindowlessHost& Host() const { return host_; }

protected:
    friend class WindowlessLayer;
    // Paints on `dc`, whose origin is the control's top-left corner as shown
    // and whose clipping is its shown area within what needs painting; it
    // paints ShownSize() client pixels.
    virtual void Paint(HDC dc) = 0;
    // Mouse events; x and y in client pixels from the shown top-left corner.
    virtual void MouseDown(MouseButton, ShiftState, int /*x*/, int /*y*/) {}
    virtual void MouseMove(ShiftState, int /*x*/, int /*y*/) {}
    virtual void MouseUp(MouseButton, ShiftState, int /*x*/, int /*y*/) {}
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void BoundsChanged() {}

private:
    WindowlessHost& host_;
    class WindowlessLayer* layer_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 100, height_ = 100;
    bool visible_ = true;
    HCURSOR cursor_ = nullptr;
};

// The windowless controls of one host window: painting, hit-testing, mouse
// routing with capture, enter and leave.
class WindowlessLayer {
public:
    explicit WindowlessLayer(WindowlessHost& host) : host_(host) {}
    WindowlessLayer(const WindowlessLayer&) = delete;
    WindowlessLayer& operator=(const WindowlessLayer&) = delete;
    ~WindowlessLayer();

    void Add(WindowlessControl& control);
    void Remove(WindowlessControl& control);

    // Paints the controls over `area` (client pixels) on `dc`, whose origin
    // is at client point (originX, originY).
    void Paint(HDC dc, const RECT& area, int originX, int originY);

    // The topmost visible control at a client point, or null.
    WindowlessControl* ControlAt(int x, int y) const;
    // The control that holds the mouse (a button went down on it), or null.
    WindowlessControl* Captured() const { return captured_; }

    // Mouse events at client point (x, y). Each returns true when a control
    // took the event (the host then does not handle it itself).
    bool MouseDown(MouseButton button, ShiftState shift, int x, int y);
    bool MouseMove(ShiftState shift, int x, int y);
    bool MouseUp(MouseButton button, ShiftState shift, int x, int y);
    // The mouse left the host window.
    void MouseLeftHost();
    // The host lost the mouse capture: whatever held it lets go.
    void CaptureLost() { captured_ = nullptr; }
    // The cursor for the client point, or null when no control claims it.
    HCURSOR CursorAt(int x, int y) const;

private:
    void TrackHot(int x, int y);

    WindowlessHost& host_;
    std::vector<WindowlessControl*> controls_;
    WindowlessControl* captured_ = nullptr;
    WindowlessControl* hot_ = nullptr;
};

// The mouse handling every window that hosts a windowless layer shares.
// The shift state of a mouse message's key flags.
ShiftState ShiftFromKeys(WPARAM keys);

class HostMouse {
public:
    // On WM_MOUSEMOVE: asks the system for WM_MOUSELEAVE, once per entry.
    void Moved(HWND host);
    // WM_MOUSELEAVE, WM_CAPTURECHANGED and WM_SETCURSOR for the layer. True
    // when handled; WM_SETCURSOR only when a control claims the cursor.
    bool HandleMessage(HWND host, WindowlessLayer& layer, UINT msg, LPARAM lParam, LRESULT& result);

private:
    bool trackingLeave_ = false;
};

} // namespace corvinade::gui
