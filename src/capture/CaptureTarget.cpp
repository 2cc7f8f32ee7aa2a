// The grab on a desktop of several monitors; see CaptureTarget.h.
#include "capture/CaptureTarget.h"

#include <algorithm>
#include <cstdint>

#include "gui/ZoomGeometry.h"

namespace corvinade {

namespace {

std::int64_t SharedArea(const IntRect& a, const IntRect& b) {
    const std::int64_t width = std::int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
    const std::int64_t height = std::int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

std::int64_t SquaredDistance(const IntRect& a, const IntRect& b) {
    const std::int64_t dx =
        std::max<std::int64_t>({0, std::int64_t{b.left} - a.right, std::int64_t{a.left} - b.right});
    const std::int64_t dy =
        std::max<std::int64_t>({0, std::int64_t{b.top} - a.bottom, std::int64_t{a.top} - b.bottom});
    return dx * dx + dy * dy;
}

const MonitorArea& Primary(const std::vector<MonitorArea>& monitors) {
    const auto primary =
        std::find_if(monitors.begin(), monitors.end(), [](const MonitorArea& m) { return m.primary; });
    return primary != monitors.end() ? *primary : monitors.front();
}

// Whether the part of a window beyond one edge of its monitor shows on another.
bool OnAnotherMonitor(const IntRect& beyond, const MonitorArea& own,
                      const std::vector<MonitorArea>& monitors) {
    return std::any_of(monitors.begin(), monitors.end(),
                       [&](const MonitorArea& m) { return &m != &own && SharedArea(beyond, m.bounds) > 0; });
}

// An edge outside the work area goes to the monitor's edge (past the taskbar
// or off the desktop), unless the window goes on there on another monitor.
IntRect WindowGrab(const IntRect& w, const MonitorArea& m, const std::vector<MonitorArea>& monitors) {
    const IntRect& work = m.work;
    const IntRect& b = m.bounds;
    if (w.left < work.left && w.top < work.top && w.right > work.right && w.bottom > work.bottom)
        return b;
    const IntRect screen = VirtualScreen(monitors);
    IntRect r = w;
    if (w.left < work.left)
        r.left = OnAnotherMonitor({w.left, w.top, std::min(w.right, b.left), w.bottom}, m, monitors)
                     ? std::max(w.left, screen.left)
                     : b.left;
    if (w.top < work.top)
        r.top = OnAnotherMonitor({w.left, w.top, w.right, std::min(w.bottom, b.top)}, m, monitors)
                    ? std::max(w.top, screen.top)
                    : b.top;
    if (w.right > work.right)
        r.right = OnAnotherMonitor({std::max(w.left, b.right), w.top, w.right, w.bottom}, m, monitors)
                      ? std::min(w.right, screen.right)
                      : b.right;
    if (w.bottom > work.bottom)
        r.bottom = OnAnotherMonitor({w.left, std::max(w.top, b.bottom), w.right, w.bottom}, m, monitors)
                       ? std::min(w.bottom, screen.bottom)
                       : b.bottom;
    return r;
}

} // namespace

IntRect VirtualScreen(const std::vector<MonitorArea>& monitors) {
    if (monitors.empty())
        return {};
    IntRect r = monitors.front().bounds;
    for (const MonitorArea& m : monitors) {
        r.left = std::min(r.left, m.bounds.left);
        r.top = std::min(r.top, m.bounds.top);
        r.right = std::max(r.right, m.bounds.right);
        r.bottom = std::max(r.bottom, m.bounds.bottom);
    }
    return r;
}

std::size_t MonitorOfRect(const std::vector<MonitorArea>& monitors, const IntRect& r) {
    std::size_t best = 0;
    std::int64_t bestArea = -1;
    for (std::size_t i = 0; i < monitors.size(); ++i)
        if (const std::int64_t area = SharedArea(r, monitors[i].bounds); area > bestArea) {
            best = i;
            bestArea = area;
        }
    if (bestArea > 0)
        return best;
    std::int64_t bestDistance = -1;
    for (std::size_t i = 0; i < monitors.size(); ++i)
        if (const std::int64_t d = SquaredDistance(r, monitors[i].bounds);
            bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    return best;
}

IntRect VisibleFrame(const WindowFrame& frame, const std::vector<MonitorArea>& monitors) {
    if (frame.maximized && !monitors.empty())
        return monitors[MonitorOfRect(monitors, frame.window)].work;
    if (!frame.visible)
        return frame.window;
    const IntRect& v = *frame.visible;
    const IntRect& w = frame.window;
    const bool within = v.left >= w.left && v.top >= w.top && v.right <= w.right && v.bottom <= w.bottom;
    return within && v.Width() > 0 && v.Height() > 0 ? v : w;
}

CaptureTarget ChooseCaptureTarget(bool activeWindowOnly, std::optional<IntRect> foregroundWindow,
                                  const std::vector<MonitorArea>& monitors) {
    if (monitors.empty())
        return {};
    if (!foregroundWindow) {
        const MonitorArea& primary = Primary(monitors);
        return {primary.bounds, primary};
    }
    const MonitorArea& m = monitors[MonitorOfRect(monitors, *foregroundWindow)];
    if (!activeWindowOnly)
        return {m.bounds, m};
    return {WindowGrab(*foregroundWindow, m, monitors), m};
}

int PointerDrawSize(std::optional<std::uint32_t> baseSize, int dpi) {
    constexpr std::uint32_t Standard = 32, Largest = 256;
    const std::uint32_t base = std::clamp(baseSize.value_or(Standard), Standard, Largest);
    return static_cast<int>((std::int64_t{base} * std::max(dpi, 1) + 48) / 96);
}

IntPoint PointerDrawOrigin(IntPoint position, IntPoint hotspot, int imageSize, int drawSize,
                           IntPoint grabOrigin) {
    const std::int64_t image = std::max(imageSize, 1);
    auto scaled = [&](int v) { return static_cast<int>(std::int64_t{v} * drawSize / image); };
    return {position.x - grabOrigin.x - scaled(hotspot.x), position.y - grabOrigin.y - scaled(hotspot.y)};
}

bool IsEmptyGrab(const IntRect& grab) {
    return grab.right <= grab.left || grab.bottom <= grab.top;
}

IntPoint CaptureWindowSize(IntPoint room, int imageWidth, int imageHeight, IntPoint chrome,
                           IntPoint minimum) {
    // The image as large as the room lets it be: 1:1, or fitted, without a
    // band of nothing along two of its sides.
    const gui::Zoom zoom =
        gui::FitZoom(imageWidth, imageHeight, std::max(1, room.x - chrome.x), std::max(1, room.y - chrome.y));
    const int shownWidth = static_cast<int>(gui::ImageToView(imageWidth, zoom));
    const int shownHeight = static_cast<int>(gui::ImageToView(imageHeight, zoom));
    return {std::max({1, minimum.x, shownWidth + chrome.x}),
            std::max({1, minimum.y, shownHeight + chrome.y})};
}

} // namespace corvinade
