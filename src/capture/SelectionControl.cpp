// SelectionControl: painting and mouse handling over the portable geometry.
#include "capture/SelectionControl.h"

#include <algorithm>
#include <cstdlib>

#include "core/Wide_win.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"

namespace corvinade {

namespace {

gui::GdiObject<HPEN> MakePen(const TPen& p) {
    return gui::GdiObject<HPEN>(::CreatePen(p.style, p.width, p.color));
}

gui::GdiObject<HBRUSH> MakeBrush(const TBrush& b) {
    return gui::GdiObject<HBRUSH>(b.clear ? nullptr : ::CreateSolidBrush(b.color));
}

HGDIOBJ BrushOrHollow(const gui::GdiObject<HBRUSH>& brush) {
    return brush ? static_cast<HGDIOBJ>(brush.Get()) : ::GetStockObject(NULL_BRUSH);
}

// From the program's font cache, at the dpi the selection is shown at.
HFONT FontOf(const TFont& f, int dpi) {
    return gui::Font({.face = f.name, .height = std::abs(f.height), .style = f.bold ? gui::FontBold : 0u},
                     dpi);
}

SIZE TextExtent(HDC dc, const std::string& text) {
    const std::wstring wide = Wide(text);
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

int TextWidth(HDC dc, const std::string& text) {
    return TextExtent(dc, text).cx;
}

int TextHeight(HDC dc, const std::string& text) {
    return TextExtent(dc, text).cy;
}

} // namespace

HCURSOR SystemCursor(TCursor cursor) {
    const char* id = IDC_ARROW;
    switch (cursor) {
    case crSizeNESW:
        id = IDC_SIZENESW;
        break;
    case crSizeNS:
        id = IDC_SIZENS;
        break;
    case crSizeNWSE:
        id = IDC_SIZENWSE;
        break;
    case crSizeWE:
        id = IDC_SIZEWE;
        break;
    case crSizeAll:
        id = IDC_SIZEALL;
        break;
    default:
        break;
    }
    return ::LoadCursorW(nullptr, ResourceId(id));
}

SelectionControl::SelectionControl(gui::WindowlessHost& host) : gui::WindowlessControl(host) {
    SetCursor(SystemCursor(defaultCursor_));
}

void SelectionControl::SetCustomCenterMark(HBITMAP picture) {
    customCenterMark_.Reset(
        picture ? static_cast<HBITMAP>(::CopyImage(picture, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
                : nullptr);
    Invalidate();
}

InnerGeometry SelectionControl::Inner() const {
    return InnerOf({Left(), Top(), Width(), Height()}, boxSize_, boxPos_);
}

void SelectionControl::SetBoundsChecked(int left, int top, int width, int height) {
    const Bounds now{Left(), Top(), Width(), Height()};
    SetBoundsOneByOne(now, CheckedBounds(now, {left, top, width, height}, HostBoxSize()));
}

// One bound at a time: each change repaints and fires OnResize.
void SelectionControl::SetBoundsOneByOne(const Bounds& now, const Bounds& next) {
    if (next.left != now.left)
        SetLeft(next.left);
    if (next.top != now.top)
        SetTop(next.top);
    if (next.width != now.width)
        SetWidth(next.width);
    if (next.height != now.height)
        SetHeight(next.height);
}

// Drawn at the size it is shown at: the frame and the boxes keep their
// pixels whatever the host's zoom.
void SelectionControl::Paint(HDC dc) {
    const SIZE shown = ShownSize();
    const bool active = hot_ && activeAnimation_;
    const TPen& pen = active ? activePen_ : normalPen_;
    const TBrush& brush = active ? activeBrush_ : normalBrush_;
    {
        auto framePen = MakePen(pen);
        auto frameBrush = MakeBrush(brush);
        gui::ScopedSelect selectPen(dc, framePen.Get());
        gui::ScopedSelect selectBrush(dc, BrushOrHollow(frameBrush));
        ::SetBkMode(dc, OPAQUE);
        ::SetBkColor(dc, pen.gapColor);
        DrawFrame(dc, FrameRect(shown.cx, shown.cy, boxSize_, boxPos_));
        DrawInfoText(dc, brush, pen.width);
        if (CenterMarkVisible(InnerOf({0, 0, shown.cx, shown.cy}, boxSize_, boxPos_), centerMarkRadius_))
            DrawCenterMark(dc, centerMark_);
    }
    const bool activeBoxes = hot_ && activeBoxAnimation_;
    if (!autoHideBoxes_ || hot_) {
        auto boxPen = MakePen(activeBoxes ? activeBoxPen_ : normalBoxPen_);
        auto boxBrush = MakeBrush(activeBoxes ? activeBoxBrush_ : normalBoxBrush_);
        gui::ScopedSelect selectPen(dc, boxPen.Get());
        gui::ScopedSelect selectBrush(dc, BrushOrHollow(boxBrush));
        DrawBoxes(dc);
    }
    if (OnPaint)
        OnPaint(*this);
}

void SelectionControl::DrawInfoText(HDC dc, const TBrush& frameBrush, int penWidth) {
    infoText_ = FormatInfoText(displayInfoFormat_, Inner());
    if (!displayInfo_)
        return;
    const TFont& settings = hot_ && activeAnimation_ ? activeFont_ : normalFont_;
    gui::ScopedSelect selectFont(dc, FontOf(settings, Host().HostDpi()));
    int maxWidth = 0;
    const auto lines = SplitLines(infoText_);
    for (const std::string& line : lines)
        maxWidth = std::max(maxWidth, TextWidth(dc, line));
    const int totalHeight = static_cast<int>(lines.size()) * TextHeight(dc, infoText_);
    const SIZE shown = ShownSize();
    const auto rect =
        InfoTextRect(shown.cx, shown.cy, boxSize_, penWidth, maxWidth, totalHeight, TextWidth(dc, infoText_));
    if (!rect)
        return;
    ::SetTextColor(dc, settings.color);
    ::SetBkMode(dc, frameBrush.clear ? TRANSPARENT : OPAQUE);
    ::SetBkColor(dc, frameBrush.color);
    RECT r = {rect->left, rect->top, rect->right, rect->bottom};
    const std::wstring text = Wide(infoText_);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, 0);
}

void SelectionControl::DrawFrame(HDC dc, const IntRect& r) {
    ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

void SelectionControl::DrawCenterMark(HDC dc, TCenterMark mark) {
    BITMAP picture = {};
    if (customCenterMark_)
        ::GetObjectW(customCenterMark_.Get(), sizeof picture, &picture);
    LOGPEN pen = {};
    ::GetObjectW(::GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen);
    const SIZE shown = ShownSize();
    const CenterMarkShape shape =
        CenterMarkOf(mark, shown.cx, shown.cy, boxSize_, centerMarkRadius_, std::max<int>(1, pen.lopnWidth.x),
                     picture.bmWidth, std::abs(picture.bmHeight));
    const IntRect& b = shape.box;
    switch (shape.kind) {
    case CenterMarkShape::Ellipse:
        ::Ellipse(dc, b.left, b.top, b.right, b.bottom);
        break;
    case CenterMarkShape::Rectangle:
        ::Rectangle(dc, b.left, b.top, b.right, b.bottom);
        break;
    case CenterMarkShape::Lines:
        for (int i = 0; i < 4; i += 2) {
            ::MoveToEx(dc, shape.lines[i].x, shape.lines[i].y, nullptr);
            ::LineTo(dc, shape.lines[i + 1].x, shape.lines[i + 1].y);
        }
        break;
    case CenterMarkShape::Picture: {
        // Transparent in the colour of its bottom-left pixel, as pictures are.
        gui::MemoryDC source(::CreateCompatibleDC(dc));
        gui::ScopedSelect select(source.Get(), customCenterMark_.Get());
        const int h = std::abs(picture.bmHeight);
        const COLORREF transparent = ::GetPixel(source.Get(), 0, h - 1);
        using Blt = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
        gui::SystemFunction<Blt>("msimg32.dll", "TransparentBlt")(dc, shape.at.x, shape.at.y, picture.bmWidth,
                                                                  h, source.Get(), 0, 0, picture.bmWidth, h,
                                                                  transparent);
        break;
    }
    case CenterMarkShape::None:
        break;
    }
}

void SelectionControl::DrawBoxes(HDC dc) {
    const SIZE shown = ShownSize();
    for (const IntRect& box : BoxRects(shown.cx, shown.cy, boxSize_))
        ::Rectangle(dc, box.left, box.top, box.right, box.bottom);
}

void SelectionControl::MouseEnter() {
    if (!dragging_ && !hot_) {
        hot_ = true;
        Invalidate();
    }
    if (OnMouseEnter)
        OnMouseEnter(*this);
}

void SelectionControl::MouseLeave() {
    if (!dragging_ && hot_) {
        hot_ = false;
        Invalidate();
    }
    if (OnMouseLeave)
        OnMouseLeave(*this);
}

IntPoint SelectionControl::HostOffset(int x, int y) const {
    const POINT shown = ShownOrigin();
    const POINT host = Host().ClientToHost({shown.x + x, shown.y + y});
    return {host.x - Left(), host.y - Top()};
}

int SelectionControl::HostBoxSize() const {
    const IntPoint box = HostOffset(boxSize_, boxSize_), origin = HostOffset(0, 0);
    return std::max({1, box.x - origin.x, box.y - origin.y});
}

void SelectionControl::MouseDown(gui::MouseButton button, gui::ShiftState shift, int x, int y) {
    dragStart_ = HostOffset(x, y);
    dragging_ = true;
    if (OnMouseDown)
        OnMouseDown(*this, button, shift, x, y);
}

void SelectionControl::MouseMove(gui::ShiftState shift, int x, int y) {
    if (!dragging_) {
        const SIZE shown = ShownSize();
        dragZone_ = FindDragZone(x, y, shown.cx, shown.cy, boxSize_);
    }
    if (HCURSOR cursor = SystemCursor(ZoneCursor(dragZone_, defaultCursor_)); cursor != Cursor())
        SetCursor(cursor);
    if (shift & gui::ssLeft)
        ApplyZone(x, y);
    if (OnMouseMove)
        OnMouseMove(*this, shift, x, y);
}

// The mouse's place on the host's coordinates moves the bounds.
void SelectionControl::ApplyZone(int x, int y) {
    const Bounds now{Left(), Top(), Width(), Height()};
    const IntPoint at = HostOffset(x, y);
    const Bounds target = ZoneTarget(dragZone_, now, at.x, at.y, dragStart_);
    if (dragZone_ != BodyZone) {
        const Bounds next = CheckedBounds(now, target, HostBoxSize());
        SetBoundsOneByOne(now, next);
        return;
    }
    // Moving has no limits.
    if (target.left != now.left)
        SetLeft(target.left);
    if (target.top != now.top)
        SetTop(target.top);
}

void SelectionControl::MouseUp(gui::MouseButton button, gui::ShiftState shift, int x, int y) {
    dragging_ = false;
    if (OnMouseUp)
        OnMouseUp(*this, button, shift, x, y);
}

void SelectionControl::BoundsChanged() {
    if (OnResize)
        OnResize(*this);
}

} // namespace corvinade
