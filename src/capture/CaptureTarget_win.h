// CaptureScreen on the system's desktop: the monitors it has, the grab of
// the active window or of a monitor, and the capture window on the monitor
// the grab came from.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "capture/CaptureTarget.h"
#include "core/RegistrationStatus.h"
#include "gui/ImageView.h"

namespace corvinade {

class CaptureWindowList;
class CaptureWindow;

// EnumDisplayMonitors and GetMonitorInfo, with each monitor's dpi.
const MonitorPort& SystemMonitors();

// The frame of a top-level window as the system tells it (GetWindowRect,
// DWM's extended frame bounds where dwmapi answers, IsZoomed); none for a
// window that is gone.
std::optional<WindowFrame> FrameOf(HWND window);

// The visible frames of the top-level windows a user can see, top first:
// what "Capture region" takes on a click.
std::vector<IntRect> VisibleWindowFrames(const std::vector<MonitorArea>& monitors);

// The balloon an empty grab shows instead of a window.
inline constexpr char EmptyGrabTitle[] = "Nothing to capture";
inline constexpr char EmptyGrabText[] = "The active window has no area on any screen.";

// Grabs the active window or, with activeWindowOnly false, the monitor of
// the foreground window, and opens a capture window for it at the work-area
// origin and dpi of the grabbed monitor. The grab comes first, so the
// capture window is never part of its own image. A grab without area opens
// no window and says so in the tray's balloon. Returns the window opened,
// or null.
// With withPointer, the mouse pointer is drawn into the grab.
CaptureWindow* CaptureScreen(bool activeWindowOnly, CaptureWindowList& windows, TrayBalloonPort* tray,
                             const MonitorPort& monitors = SystemMonitors(), bool withPointer = false);

// The pixels of a rectangle of the virtual screen, from the desktop window's
// whole-window device context; with withPointer, the mouse pointer drawn in
// at its place and at the size the user set (PointerDrawSize).
gui::Bitmap32 GrabScreen(const IntRect& rect, bool withPointer = false);

} // namespace corvinade
