// Windowless controls and their layer; see Windowless.h.
#include "gui/Windowless.h"

#include <algorithm>

#include "gui/Dpi.h"

namespace corvinade::gui {

namespace {

bool Contains(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

int WindowlessHost::HostDpi() const {
    return WindowDpi(HostWindow());
}

WindowlessControl::WindowlessControl(WindowlessHost& host) : host_(host) {}

WindowlessControl::~WindowlessControl() {
    if (layer_)
        layer_->Remove(*this);
}

RECT WindowlessControl::Area() const {
    RECT r = {left_, top_, left_ + width_, top_ + height_};
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

POINT WindowlessControl::ShownOrigin() const {
    return host_.HostToClient({left_, top_});
}

SIZE WindowlessControl::ShownSize() const {
    const POINT origin = ShownOrigin(), end = host_.HostToClient({left_ + width_, top_ + height_});
    return {end.x - origin.x, end.y - origin.y};
}

RECT WindowlessControl::ShownArea() const {
    const POINT origin = ShownOrigin();
    const SIZE size = ShownSize();
    RECT r = {origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

void WindowlessControl::Invalidate() {
    if (visible_)
        host_.InvalidateHostRect(Area());
}

void WindowlessControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
    BoundsChanged();
}

void WindowlessControl::SetVisible(bool visible) {
    if (visible == visible_)
        return;
    if (visible_)
        Invalidate();
    visible_ = visible;
    Invalidate();
}

void WindowlessControl::SetCursor(HCURSOR cursor) {
    cursor_ = cursor;
    POINT p;
    HWND window = host_.HostWindow();
    if (!::GetCursorPos(&p) || ::WindowFromPoint(p) != window)
        return;
    if (layer_ && (layer_->Captured() == this || layer_->Captured() == nullptr))
        ::SetCursor(cursor);
}

WindowlessLayer::~WindowlessLayer() {
    for (WindowlessControl* control : controls_)
        control->layer_ = nullptr;
}

void WindowlessLayer::Add(WindowlessControl& control) {
    controls_.push_back(&control);
    control.layer_ = this;
    control.Invalidate();
}

void WindowlessLayer::Remove(WindowlessControl& control) {
    std::erase(controls_, &control);
    control.layer_ = nullptr;
    if (captured_ == &control)
        captured_ = nullptr;
    if (hot_ == &control)
        hot_ = nullptr;
}

void WindowlessLayer::Paint(HDC dc, const RECT& area, int originX, int originY) {
    for (WindowlessControl* control : controls_) {
        if (!control->Visible())
            continue;
        RECT clip;
        RECT bounds = control->ShownArea();
        if (!::IntersectRect(&clip, &bounds, &area))
            continue;
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, clip.left - originX, clip.top - originY, clip.right - originX,
                            clip.bottom - originY);
        const POINT shown = control->ShownOrigin();
        ::SetViewportOrgEx(dc, shown.x - originX, shown.y - originY, nullptr);
        control->Paint(dc);
        ::RestoreDC(dc, saved);
    }
}

WindowlessControl* WindowlessLayer::ControlAt(int x, int y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if ((*it)->Visible() && Contains((*it)->ShownArea(), x, y))
            return *it;
    return nullptr;
}

void WindowlessLayer::TrackHot(int x, int y) {
    WindowlessControl* under = ControlAt(x, y);
    if (under == hot_)
        return;
    WindowlessControl* left = hot_;
    hot_ = under;
    if (left)
        left->MouseLeave();
    if (under)
        under->MouseEnter();
}

bool WindowlessLayer::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
    TrackHot(x, y);
    WindowlessControl* target = captured_ ? captured_ : ControlAt(x, y);
    if (!target)
        return false;
    captured_ = target;
    ::SetCapture(host_.HostWindow());
    const POINT shown = target->ShownOrigin();
    target->MouseDown(button, shift, x - shown.x, y - shown.y);
    return true;
}

bool WindowlessLayer::MouseMove(ShiftState shift, int x, int y) {
    TrackHot(x, y);
    WindowlessControl* target = captured_ ? captured_ : ControlAt(x, y);
    if (!target)
        return false;
    if (!captured_ && target->Cursor())
        ::SetCursor(target->Cursor());
    const POINT shown = target->ShownOrigin();
    target->MouseMove(shift, x - shown.x, y - shown.y);
    return true;
}

bool WindowlessLayer::MouseUp(MouseButton button, ShiftState shift, int x, int y) {
    WindowlessControl* target = captured_ ? captured_ : ControlAt(x, y);
    if (!target)
        return false;
    // The capture ends with the last button held.
    if ((shift & (ssLeft | ssRight | ssMiddle)) == 0) {
        captured_ = nullptr;
        if (::GetCapture() == host_.HostWindow())
            ::ReleaseCapture();
    }
    const POINT shown = target->ShownOrigin();
    target->MouseUp(button, shift, x - shown.x, y - shown.y);
    TrackHot(x, y);
    return true;
}

void WindowlessLayer::MouseLeftHost() {
    if (WindowlessControl* left = hot_) {
        hot_ = nullptr;
        left->MouseLeave();
    }
}

HCURSOR WindowlessLayer::CursorAt(int x, int y) const {
    WindowlessControl* target = captured_ ? captured_ : ControlAt(x, y);
    return target ? target->Cursor() : nullptr;
}

ShiftState ShiftFromKeys(WPARAM keys) {
    ShiftState s = 0;
    if (keys & MK_SHIFT)
        s |= ssShift;
    if (keys & MK_CONTROL)
        s |= ssCtrl;
    if (::GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    if (keys & MK_LBUTTON)
        s |= ssLeft;
    if (keys & MK_RBUTTON)
        s |= ssRight;
    if (keys & MK_MBUTTON)
        s |= ssMiddle;
    return s;
}

void HostMouse::Moved(HWND host) {
    if (trackingLeave_)
        return;
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, host, 0};
    trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
}

bool HostMouse::HandleMessage(HWND host, WindowlessLayer& layer, UINT msg, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        layer.MouseLeftHost();
        result = 0;
        return true;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != host)
            layer.CaptureLost();
        return false;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(host, &p);
            if (HCURSOR cursor = layer.CursorAt(p.x, p.y)) {
                ::SetCursor(cursor);
                result = TRUE;
                return true;
            }
        }
        return false;
    }
    return false;
}

} // namespace corvinade::gui
