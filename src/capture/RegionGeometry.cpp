// The area of "Capture region"; see RegionGeometry.h.
#include "capture/RegionGeometry.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace corvinade {

IntRect AreaBetween(IntPoint press, IntPoint pointer) {
    return {std::min(press.x, pointer.x), std::min(press.y, pointer.y), std::max(press.x, pointer.x),
            std::max(press.y, pointer.y)};
}

IntRect Intersection(const IntRect& a, const IntRect& b) {
    const IntRect r = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                       std::min(a.bottom, b.bottom)};
    return r.left < r.right && r.top < r.bottom ? r : IntRect{};
}

bool Contains(const IntRect& r, IntPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

IntRect AreaUnderPointer(const std::vector<IntRect>& windowsTopFirst,
                         const std::vector<MonitorArea>& monitors, const IntRect& screen, IntPoint p) {
    for (const IntRect& w : windowsTopFirst)
        if (Contains(w, p))
            if (const IntRect r = Intersection(w, screen); !IsEmptyGrab(r))
                return r;
    if (monitors.empty())
        return screen;
    return Intersection(monitors[MonitorOfRect(monitors, {p.x, p.y, p.x + 1, p.y + 1})].bounds, screen);
}

std::string AreaSizeText(const IntRect& area) {
    return std::to_string(area.Width()) + " x " + std::to_string(area.Height());
}

AreaPicker::AreaPicker(Desktop desktop) : desktop_(std::move(desktop)), pointer_(desktop_.pointer) {}

void AreaPicker::Move(IntPoint p, bool moveArea) {
    if (dragging_ && moveArea) {
        press_.x += p.x - pointer_.x;
        press_.y += p.y - pointer_.y;
    }
    pointer_ = p;
    if (dragging_ && !dragged_)
        dragged_ = keyboard_ ? pointer_ != press_
                             : std::abs(pointer_.x - press_.x) >= desktop_.dragThreshold ||
                                   std::abs(pointer_.y - press_.y) >= desktop_.dragThreshold;
}

void AreaPicker::Press(IntPoint p) {
    pointer_ = press_ = p;
    dragging_ = true;
    dragged_ = keyboard_ = false;
}

AreaPicker::Outcome AreaPicker::Release(IntPoint p) {
    if (!dragging_)
        return Outcome::Going;
    Move(p, false);
    return TakeDrag();
}

AreaPicker::Outcome AreaPicker::Enter() {
    if (dragging_)
        return TakeDrag();
    if (desktop_.lastArea && Take(*desktop_.lastArea) == Outcome::Taken)
        return Outcome::Taken;
    return Take(AreaUnderPointer(desktop_.windows, desktop_.monitors, desktop_.screen, pointer_));
}

AreaPicker::Outcome AreaPicker::Space() {
    if (dragging_)
        return TakeDrag();
    Press(pointer_);
    keyboard_ = true;
    return Outcome::Going;
}

AreaPicker::Outcome AreaPicker::Cancel() {
    dragging_ = false;
    return Outcome::Cancelled;
}

std::optional<IntRect> AreaPicker::Shown() const {
    if (!dragging_ || !dragged_)
        return AreaUnderPointer(desktop_.windows, desktop_.monitors, desktop_.screen,
                                dragging_ ? press_ : pointer_);
    const IntRect area = Intersection(AreaBetween(press_, pointer_), desktop_.screen);
    return IsEmptyGrab(area) ? std::nullopt : std::optional<IntRect>(area);
}

AreaPicker::Outcome AreaPicker::Take(const IntRect& area) {
    const IntRect r = Intersection(area, desktop_.screen);
    if (IsEmptyGrab(r))
        return Outcome::Going;
    taken_ = r;
    dragging_ = false;
    return Outcome::Taken;
}

// A drag of no area (a line) ends without taking anything.
AreaPicker::Outcome AreaPicker::TakeDrag() {
    const std::optional<IntRect> shown = Shown();
    dragging_ = false;
    return shown ? Take(*shown) : Outcome::Going;
}

std::vector<IntRect> ChangedBands(const std::optional<IntRect>& before, const std::optional<IntRect>& after,
                                  int margin) {
    auto grown = [margin](const IntRect& r) {
        return IntRect{r.left - margin, r.top - margin, r.right + margin, r.bottom + margin};
    };
    if (!before || !after) {
        std::vector<IntRect> whole;
        for (const auto& r : {before, after})
            if (r)
                whole.push_back(grown(*r));
        return whole;
    }
    const IntRect& b = *before;
    const IntRect& a = *after;
    if (IsEmptyGrab(Intersection(grown(a), grown(b))))
        return {grown(b), grown(a)};
    // A pixel inside one area and outside the other lies beyond an edge
    // that moved, within both areas' span along it: in that edge's band.
    const int top = std::min(a.top, b.top) - margin, bottom = std::max(a.bottom, b.bottom) + margin;
    const int left = std::min(a.left, b.left) - margin, right = std::max(a.right, b.right) + margin;
    std::vector<IntRect> bands;
    auto across = [&](int from, int to) {
        bands.push_back({std::min(from, to) - margin, top, std::max(from, to) + margin, bottom});
    };
    auto along = [&](int from, int to) {
        bands.push_back({left, std::min(from, to) - margin, right, std::max(from, to) + margin});
    };
    if (a.left != b.left)
        across(a.left, b.left);
    if (a.right != b.right)
        across(a.right, b.right);
    if (a.top != b.top)
        along(a.top, b.top);
    if (a.bottom != b.bottom)
        along(a.bottom, b.bottom);
    return bands;
}

IntRect SizeLabelPlace(const IntRect& area, IntPoint size, int gap, const IntRect& monitor) {
    int top = area.bottom + gap;
    if (top + size.y > monitor.bottom)
        top = area.top - gap - size.y >= monitor.top ? area.top - gap - size.y : area.top + gap;
    const int left = std::clamp(area.left, monitor.left, std::max(monitor.left, monitor.right - size.x));
    top = std::clamp(top, monitor.top, std::max(monitor.top, monitor.bottom - size.y));
    return {left, top, left + size.x, top + size.y};
}

} // namespace corvinade
