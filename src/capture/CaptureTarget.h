// What a grab takes from a desktop of one or more monitors, and on which
// monitor its capture window opens. Coordinates are physical pixels of the
// virtual screen: (0, 0) is the primary monitor's top-left corner, and
// monitors left of or above it have negative ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "capture/SelectionControlGeometry.h"

namespace corvinade {

struct MonitorArea {
    IntRect bounds; // the whole monitor
    IntRect work;   // without the taskbar and docked bars on it
    int dpi = 96;
    bool primary = false;
    bool operator==(const MonitorArea&) const = default;
};

// The desktop's monitors (EnumDisplayMonitors, GetMonitorInfo).
class MonitorPort {
public:
    virtual ~MonitorPort() = default;
    // At least one: without an answer from the system, the primary screen.
    virtual std::vector<MonitorArea> Monitors() const = 0;
};

// The rectangle around every monitor: a grab never reaches past it.
IntRect VirtualScreen(const std::vector<MonitorArea>& monitors);

// The monitor holding the largest share of `r`; when none holds any of it,
// the nearest (MonitorFromRect with MONITOR_DEFAULTTONEAREST). `monitors`
// is not empty.
std::size_t MonitorOfRect(const std::vector<MonitorArea>& monitors, const IntRect& r);

// What the system tells of a top-level window's frame. On Windows 10 and 11
// GetWindowRect takes in the invisible resize borders (7 px at 96 dpi left,
// right and below), and a maximized window reaches past its monitor by
// those borders on every side; DWM's extended frame bounds are what shows.
struct WindowFrame {
    IntRect window;                 // GetWindowRect
    std::optional<IntRect> visible; // DWMWA_EXTENDED_FRAME_BOUNDS; none where DWM gives no answer
    bool maximized = false;
};

// The part of a window the user sees: a maximized window is its monitor's
// work area; else DWM's bounds, unless it gave none or ones that do not lie
// within the window (Wine, DWM off, an answer in other units), where the
// window's rectangle stands.
IntRect VisibleFrame(const WindowFrame& frame, const std::vector<MonitorArea>& monitors);

struct CaptureTarget {
    IntRect grab;
    MonitorArea monitor; // the grab's monitor: its capture window opens there
};

// "Capture active window" (activeWindowOnly) grabs the foreground window
// (its VisibleFrame), each edge outside the work area of its monitor moved to that monitor's
// edge; an edge reaching onto another monitor stays, so a window across two
// is grabbed whole. A window past the work area on all four sides
// (maximized) is its whole monitor. "Capture screen" grabs the monitor of
// the foreground window. Without a foreground window both take the primary
// monitor.
CaptureTarget ChooseCaptureTarget(bool activeWindowOnly, std::optional<IntRect> foregroundWindow,
                                  const std::vector<MonitorArea>& monitors);

// The mouse pointer drawn into a grab, as large as the user sees it: the
// base size of Windows' pointer-size setting (CursorBaseSize, 32 to 256
// pixels at 96 dpi; 32 without it) at the dpi of the monitor under it.
int PointerDrawSize(std::optional<std::uint32_t> baseSize, int dpi);
// Where the pointer's image goes in a grab taken from `grabOrigin`: its
// hotspot (in the image's own pixels, `imageSize` square), scaled to the
// drawn size, on the pointer's position.
IntPoint PointerDrawOrigin(IntPoint position, IntPoint hotspot, int imageSize, int drawSize,
                           IntPoint grabOrigin);

// A grab without area opens no window.
bool IsEmptyGrab(const IntRect& grab);

// The capture window's outer size, in screen pixels, on a work area of
// `room`: large enough for the image at 1:1 beside the window's own parts
// (`chrome`, the outer size less the image's) and for `minimum`; where the
// room is too small for 1:1, sized to the image fitted into it, without a
// band beside it. The form keeps it within the room and centres it there,
// as it does any form (gui::Form::CenterOnWorkArea).
IntPoint CaptureWindowSize(IntPoint room, int imageWidth, int imageHeight, IntPoint chrome, IntPoint minimum);

} // namespace corvinade
