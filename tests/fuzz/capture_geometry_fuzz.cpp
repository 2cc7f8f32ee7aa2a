// The capture window's geometry: grab, the region capture's area and what
// a step of it repaints, selection, render rectangle, dimming
// overlay, the selection control's zones, boxes, info text and centre
// marks, and the image view's zoom (view and image pixels both ways, the
// centred or scrolled axis, where a window opens). Coordinates stay within what a screen and a mouse give (a
// few million pixels either way), images within a small size so each run is quick. No overflow or undefined
// behaviour; what is rendered, copied or saved lies inside the image.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "capture/BmpFile.h"
#include "capture/CaptureTarget.h"
#include "capture/RegionGeometry.h"
#include "capture/SelectionControlGeometry.h"
#include "capture/SelectionGeometry.h"
#include "gui/ZoomGeometry.h"

namespace {

using namespace corvinade;

constexpr int Far = 1 << 22;

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "capture geometry: %s\n", what);
    std::abort();
}

bool Inside(const IntRect& r, int width, int height) {
    return 0 <= r.left && r.left < r.right && r.right <= width && 0 <= r.top && r.top < r.bottom &&
           r.bottom <= height;
}

// What save and copy do with the render rectangle: copy its pixels out.
PixelImage Crop(const PixelImage& image, const IntRect& r) {
    PixelImage out{r.Width(), r.Height(), {}};
    out.pixels.reserve(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            out.pixels.push_back(image.pixels.at(static_cast<std::size_t>(y) * image.width + x));
    return out;
}

void CheckSelection(fuzz::FuzzInput& in) {
    const int width = in.Int(0, 32), height = in.Int(0, 32);
    const bool visible = in.Bool();
    const Bounds selection{in.Int(-Far, Far), in.Int(-Far, Far), in.Int(-Far, Far), in.Int(-Far, Far)};

    const Bounds n = NormalizeSelection(selection);
    if (n.width < 0 || n.height < 0 ||
        n.left + n.width != std::max(selection.left, selection.left + selection.width) ||
        n.top + n.height != std::max(selection.top, selection.top + selection.height))
        Finding("a normalized selection is not the same rectangle");

    const IntRect s = SelectionRect(visible, selection, width, height);
    if (s.right > s.left && s.bottom > s.top && !Inside(s, width, height))
        Finding("the selection rectangle leaves the image");
    const IntRect r = RenderRect(visible, selection, width, height);
    if (width > 0 && height > 0 && !Inside(r, width, height))
        Finding("the render rectangle leaves the image");

    PixelImage image{width, height,
                     std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, 0x123456u)};
    if (width > 0 && height > 0) {
        const PixelImage part = Crop(image, r);
        const std::string bmp = EncodeBmp(part);
        const std::size_t row = (static_cast<std::size_t>(part.width) * 3 + 3) / 4 * 4;
        if (bmp.size() != 54 + row * static_cast<std::size_t>(part.height))
            Finding("the saved bitmap's size");
        if (ToRgb24(part).size() != static_cast<std::size_t>(part.width) * part.height * 3)
            Finding("the JPEG rows' size");
    }

    // One row part of the image, shaded outside the selection's columns.
    if (visible && width > 0) {
        const int x0 = in.Int(-32, 32);
        std::vector<std::uint32_t> row(static_cast<std::size_t>(width), 0x00FFFFFFu);
        gui::Shader(DimColour).ShadeOutside(row.data(), x0, width, s.left, s.right);
        for (int i = 0; i < width; ++i) {
            const bool clear = x0 + i >= s.left && x0 + i < s.right;
            if (row[static_cast<std::size_t>(i)] != (clear ? 0x00FFFFFFu : 0x00696969u))
                Finding("the shade dims the wrong pixel");
        }
    }
}

IntRect RandomRect(fuzz::FuzzInput& in) {
    return {in.Int(-Far, Far), in.Int(-Far, Far), in.Int(-Far, Far), in.Int(-Far, Far)};
}

// One to four monitors as the system gives them: not empty, the work area
// inside; `desktop` becomes the rectangle around them.
std::vector<MonitorArea> RandomMonitors(fuzz::FuzzInput& in, IntRect& desktop) {
    std::vector<MonitorArea> monitors(static_cast<std::size_t>(in.Int(1, 4)));
    desktop = {Far, Far, -Far, -Far};
    for (MonitorArea& m : monitors) {
        // As the system gives them: not empty, the work area inside.
        const int left = in.Int(-Far, Far), top = in.Int(-Far, Far);
        m.bounds = {left, top, left + in.Int(1, 1 << 15), top + in.Int(1, 1 << 15)};
        m.work = {in.Int(m.bounds.left, m.bounds.right), in.Int(m.bounds.top, m.bounds.bottom), 0, 0};
        m.work.right = in.Int(m.work.left, m.bounds.right);
        m.work.bottom = in.Int(m.work.top, m.bounds.bottom);
        m.dpi = in.Int(96, 480);
        m.primary = in.Bool();
        desktop = {std::min(desktop.left, m.bounds.left), std::min(desktop.top, m.bounds.top),
                   std::max(desktop.right, m.bounds.right), std::max(desktop.bottom, m.bounds.bottom)};
    }
    return monitors;
}

// A screen grab is a whole monitor; a window's grab stays within the
// rectangle around the monitors.
void CheckGrab(fuzz::FuzzInput& in) {
    IntRect desktop;
    const std::vector<MonitorArea> monitors = RandomMonitors(in, desktop);
    std::optional<IntRect> window;
    if (in.Bool())
        window = RandomRect(in);
    const bool activeWindowOnly = in.Bool();
    const CaptureTarget target = ChooseCaptureTarget(activeWindowOnly, window, monitors);
    if (std::find(monitors.begin(), monitors.end(), target.monitor) == monitors.end())
        Finding("a grab on no monitor of the desktop");
    if (!activeWindowOnly && target.grab != target.monitor.bounds)
        Finding("a screen grab is not its monitor");
    const IntRect& g = target.grab;
    if (!IsEmptyGrab(g) && (g.left < desktop.left || g.top < desktop.top || g.right > desktop.right ||
                            g.bottom > desktop.bottom))
        Finding("a grab leaves the desktop");
}

void CheckSelectionControl(fuzz::FuzzInput& in, std::string_view text) {
    const int boxSize = in.Int(0, 64);
    const Bounds current{in.Int(-Far, Far), in.Int(-Far, Far), in.Int(0, Far), in.Int(0, Far)};
    const auto pos = static_cast<TDragBoxPos>(in.Int(0, 2));
    FrameRect(current.width, current.height, boxSize, pos);
    InnerOf(current, boxSize, pos);
    BoxRects(current.width, current.height, boxSize);

    const int x = in.Int(-Far, Far), y = in.Int(-Far, Far);
    const int zone = FindDragZone(x, y, current.width, current.height, boxSize);
    if (zone < -1 || zone > BodyZone)
        Finding("a drag zone out of range");
    ZoneCursor(zone, crDefault);
    const Bounds wanted =
        ZoneTarget(in.Int(0, BodyZone), current, x, y, {in.Int(-Far, Far), in.Int(-Far, Far)});
    const Bounds checked = CheckedBounds(current, wanted, boxSize);
    if ((checked.width != current.width && checked.width < 2 * boxSize) ||
        (checked.height != current.height && checked.height < 2 * boxSize))
        Finding("a checked resize below the minimum size");

    const InnerGeometry inner = InnerOf(checked, boxSize, pos);
    FormatInfoText(std::string(text.substr(0, 64)), inner);
    SplitLines(std::string(text.substr(0, 64)));
    InfoTextRect(current.width, current.height, boxSize, in.Int(0, 16), in.Int(0, Far), in.Int(0, Far),
                 in.Int(0, Far));
    const int radius = in.Int(0, 1 << 12);
    CenterMarkVisible(inner, radius);
    CenterMarkOf(static_cast<TCenterMark>(in.Int(0, 5)), current.width, current.height, boxSize, radius,
                 in.Int(0, 16), in.Int(0, 1 << 12), in.Int(0, 1 << 12));
}

// A view pixel shows an image pixel whose view pixels hold it, inside the
// span painted there; an axis maps its client pixels to the image and back;
// a capture window opens inside its work area.
void CheckZoom(fuzz::FuzzInput& in) {
    const gui::Zoom zoom = gui::MakeZoom(in.Int(1, 1 << 16), in.Int(1, 1 << 16));
    if (zoom.num <= 0 || zoom.den <= 0)
        Finding("a zoom that is not positive");
    const int view = in.Int(-Far, Far);
    const std::int64_t image = gui::ViewToImage(view, zoom);
    if (gui::ImageToView(image, zoom) > view || gui::ImageToView(image + 1, zoom) <= view)
        Finding("the image pixel at a view pixel does not cover it");
    const gui::ImageSpan span = gui::ImageSpanAt(view, zoom);
    if (span.first >= span.end || image < span.first || image >= span.end)
        Finding("the painted span leaves out the pixel the mouse is on");
    if (span.end - span.first > zoom.den / zoom.num + 1)
        Finding("a painted span wider than the zoom");

    gui::ZoomAxis axis{in.Int(1, 1 << 14), in.Int(1, 1 << 14), in.Int(-Far, Far), gui::Zoom{}};
    axis.zoom = gui::NextZoom(gui::FitZoom(axis.image, 1, axis.view, 1), in.Bool());
    const int client = in.Int(-(1 << 16), 1 << 16);
    if (axis.ToClient(axis.ToImage(client)) > client)
        Finding("a client pixel maps to an image pixel shown after it");
    gui::ZoomAxis after = axis;
    after.zoom = gui::NextZoom(axis.zoom, in.Bool());
    const int kept = gui::ScrollKeeping(axis, after.zoom, client);
    if (kept < 0 || kept > after.MaxScroll())
        Finding("a zoom's scroll out of its range");

    const IntPoint room{in.Int(1, 1 << 14), in.Int(1, 1 << 14)};
    const IntPoint chrome{in.Int(0, 200), in.Int(0, 200)}, minimum{in.Int(0, 1000), in.Int(0, 1000)};
    const IntPoint size = CaptureWindowSize(room, in.Int(1, 1 << 14), in.Int(1, 1 << 14), chrome, minimum);
    // Larger than the room only for the window's least size or its own parts.
    if (size.x <= 0 || size.y <= 0 || size.x > std::max({room.x, minimum.x, chrome.x + 1}) ||
        size.y > std::max({room.y, minimum.y, chrome.y + 1}))
        Finding("a capture window larger than its work area");
}

} // namespace

bool Within(const IntRect& inner, const IntRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// 0 dimmed, 1 inside the area, 2 on its frame.
int Look(const std::optional<IntRect>& area, int margin, IntPoint p) {
    if (!area)
        return 0;
    if (Contains(*area, p))
        return 1;
    const IntRect& a = *area;
    return Contains({a.left - margin, a.top - margin, a.right + margin, a.bottom + margin}, p) ? 2 : 0;
}

// Picking an area over any desktop: what shows and what is taken stays on
// the screen and is never empty, and the bands a step repaints hold every
// pixel whose look changed (tried at the areas' corners and edges, where a
// wrong band would miss).
void CheckRegion(fuzz::FuzzInput& in) {
    IntRect screen;
    const std::vector<MonitorArea> monitors = RandomMonitors(in, screen);
    auto point = [&] {
        return IntPoint{in.Int(screen.left - 64, screen.right + 64),
                        in.Int(screen.top - 64, screen.bottom + 64)};
    };
    AreaPicker::Desktop desktop{screen, monitors, {}, std::nullopt, point(), in.Int(0, 8)};
    for (int i = in.Int(0, 4); i > 0; --i)
        desktop.windows.push_back(RandomRect(in));
    if (in.Bool())
        desktop.lastArea = RandomRect(in);
    AreaPicker picker(desktop);
    const int margin = in.Int(0, 6);
    std::optional<IntRect> before = picker.Shown();
    for (int step = in.Int(1, 12); step > 0; --step) {
        AreaPicker::Outcome outcome = AreaPicker::Outcome::Going;
        switch (in.Int(0, 5)) {
        case 0:
            picker.Move(point(), in.Bool());
            break;
        case 1:
            picker.Press(point());
            break;
        case 2:
            outcome = picker.Release(point());
            break;
        case 3:
            outcome = picker.Enter();
            break;
        case 4:
            outcome = picker.Space();
            break;
        default:
            outcome = picker.Cancel();
            break;
        }
        if (outcome == AreaPicker::Outcome::Taken &&
            (IsEmptyGrab(picker.Taken()) || !Within(picker.Taken(), screen)))
            Finding("a region taken off the screen or empty");
        const std::optional<IntRect> after = picker.Shown();
        if (after && (IsEmptyGrab(*after) || !Within(*after, screen)))
            Finding("a region shown off the screen or empty");
        const std::vector<IntRect> bands = ChangedBands(before, after, margin);
        for (const auto& area : {before, after}) {
            if (!area)
                continue;
            const IntRect& a = *area;
            for (int x : {a.left - margin - 1, a.left - margin, a.left, a.right - 1, a.right,
                          a.right + margin - 1, a.right + margin})
                for (int y : {a.top - margin - 1, a.top - margin, a.top, a.bottom - 1, a.bottom,
                              a.bottom + margin - 1, a.bottom + margin}) {
                    const IntPoint p = {x, y};
                    if (Look(before, margin, p) != Look(after, margin, p) &&
                        std::none_of(bands.begin(), bands.end(),
                                     [&](const IntRect& b) { return Contains(b, p); }))
                        Finding("a changed pixel outside every repainted band");
                }
        }
        if (after) {
            const IntRect monitor = monitors[MonitorOfRect(monitors, *after)].bounds;
            const IntPoint size = {in.Int(1, 200), in.Int(1, 60)};
            if (size.x <= monitor.Width() && size.y <= monitor.Height() &&
                !Within(SizeLabelPlace(*after, size, in.Int(0, 12), monitor), monitor))
                Finding("the size's label leaves its monitor");
        }
        before = after;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    CheckSelection(in);
    CheckGrab(in);
    CheckRegion(in);
    CheckZoom(in);
    CheckSelectionControl(in, in.Rest());
    return 0;
}
