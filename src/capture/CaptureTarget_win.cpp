// The grab on the system's monitors; see CaptureTarget_win.h.
#include "capture/CaptureTarget_win.h"

#include <optional>
#include <string_view>
#include <vector>

#include "capture/CaptureWindow.h"
#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"
#include "gui/Registry.h"
#include "gui/SystemLibrary.h"

namespace corvinade {

namespace {

IntRect ToIntRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// GetDpiForMonitor where the system has it (Windows 8.1 on), else the
// system's dpi, which is then every monitor's.
int MonitorDpi(HMONITOR monitor) {
    using GetDpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpi = gui::FindSystemFunction<GetDpiForMonitor>("shcore.dll", "GetDpiForMonitor");
    constexpr int EffectiveDpi = 0; // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    if (getDpi && SUCCEEDED(getDpi(monitor, EffectiveDpi, &x, &y)) && y > 0)
        return static_cast<int>(y);
    return gui::ScreenDpi();
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    try {
        reinterpret_cast<std::vector<HMONITOR>*>(list)->push_back(monitor);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

class Win32Monitors : public MonitorPort {
public:
    std::vector<MonitorArea> Monitors() const override {
        std::vector<HMONITOR> handles;
        ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&handles));
        std::vector<MonitorArea> monitors;
        for (HMONITOR handle : handles) {
            MONITORINFO info = {};
            info.cbSize = sizeof info;
            if (::GetMonitorInfoW(handle, &info))
                monitors.push_back({ToIntRect(info.rcMonitor), ToIntRect(info.rcWork), MonitorDpi(handle),
                                    (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
        }
        if (monitors.empty())
            monitors.push_back(PrimaryScreen());
        return monitors;
    }

private:
    static MonitorArea PrimaryScreen() {
        const RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        RECT work = screen;
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        return {ToIntRect(screen), ToIntRect(work), gui::ScreenDpi(), true};
    }
};

// DwmGetWindowAttribute; dwmapi loads with the first capture of a window.
// False where it or DWM is missing, or the window has no such attribute.
bool DwmAttribute(HWND window, DWORD attribute, void* value, DWORD size) {
    using GetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
    static const auto getAttribute =
        gui::FindSystemFunction<GetWindowAttribute>("dwmapi.dll", "DwmGetWindowAttribute");
    return getAttribute && SUCCEEDED(getAttribute(window, attribute, value, size));
}

BOOL CALLBACK AddWindow(HWND window, LPARAM list) {
    try {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

// The shell's desktop behind the icons covers every monitor: a click there
// means the monitor, not all of them.
bool IsDesktopWindow(HWND window) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return std::wstring_view(name) == L"Progman" || std::wstring_view(name) == L"WorkerW";
}

// What the user sees of the foreground window (VisibleFrame).
std::optional<IntRect> ForegroundWindowRect(const std::vector<MonitorArea>& monitors) {
    const std::optional<WindowFrame> frame = FrameOf(::GetForegroundWindow());
    if (!frame)
        return std::nullopt;
    return VisibleFrame(*frame, monitors);
}

// The pointer as it shows now, unless it is hidden (a program hid it, or
// the system shows none on a touch screen).
void DrawPointer(gui::Bitmap32& grab, const IntRect& rect) {
    CURSORINFO pointer = {};
    pointer.cbSize = sizeof pointer;
    if (!::GetCursorInfo(&pointer) || !(pointer.flags & CURSOR_SHOWING) || !pointer.hCursor)
        return;
    HCURSOR cursor = pointer.hCursor;
    ICONINFO icon = {};
    if (!::GetIconInfo(cursor, &icon)) {
        // Wine keeps another program's pointer to that program: the
        // standard arrow stands for it there.
        cursor = ::LoadCursorW(nullptr, ResourceId(IDC_ARROW));
        if (!::GetIconInfo(cursor, &icon))
            return;
    }
    const gui::GdiObject<HBITMAP> mask(icon.hbmMask), colour(icon.hbmColor);
    BITMAP image = {};
    if (!mask || !::GetObjectW(mask.Get(), sizeof image, &image))
        return;
    const IntPoint at = {pointer.ptScreenPos.x, pointer.ptScreenPos.y};
    const std::vector<MonitorArea> monitors = SystemMonitors().Monitors();
    const int dpi = monitors[MonitorOfRect(monitors, {at.x, at.y, at.x + 1, at.y + 1})].dpi;
    const int size = PointerDrawSize(gui::ReadUserNumber("Control Panel\\Cursors", "CursorBaseSize"), dpi);
    const IntPoint origin =
        PointerDrawOrigin(at, {static_cast<int>(icon.xHotspot), static_cast<int>(icon.yHotspot)},
                          image.bmWidth, size, {rect.left, rect.top});
    ::DrawIconEx(grab.DC(), origin.x, origin.y, cursor, size, size, 0, nullptr, DI_NORMAL);
}

} // namespace

std::optional<WindowFrame> FrameOf(HWND window) {
    RECT r = {};
    if (!window || !::GetWindowRect(window, &r))
        return std::nullopt;
    WindowFrame frame{ToIntRect(r), std::nullopt, ::IsZoomed(window) != FALSE};
    constexpr DWORD ExtendedFrameBounds = 9; // DWMWA_EXTENDED_FRAME_BOUNDS
    RECT visible = {};
    if (DwmAttribute(window, ExtendedFrameBounds, &visible, sizeof visible))
        frame.visible = ToIntRect(visible);
    return frame;
}

std::vector<IntRect> VisibleWindowFrames(const std::vector<MonitorArea>& monitors) {
    std::vector<HWND> windows;
    ::EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&windows));
    std::vector<IntRect> frames;
    for (HWND window : windows) {
        constexpr DWORD Cloaked = 14; // DWMWA_CLOAKED: hidden by the system, yet "visible"
        DWORD cloaked = 0;
        if (!::IsWindowVisible(window) || ::IsIconic(window) ||
            (DwmAttribute(window, Cloaked, &cloaked, sizeof cloaked) && cloaked) || IsDesktopWindow(window))
            continue;
        if (const std::optional<WindowFrame> frame = FrameOf(window))
            if (const IntRect r = VisibleFrame(*frame, monitors); !IsEmptyGrab(r))
                frames.push_back(r);
    }
    return frames;
}

const MonitorPort& SystemMonitors() {
    static const Win32Monitors monitors;
    return monitors;
}

CaptureWindow* CaptureScreen(bool activeWindowOnly, CaptureWindowList& windows, TrayBalloonPort* tray,
                             const MonitorPort& monitors, bool withPointer) {
    const std::vector<MonitorArea> layout = monitors.Monitors();
    const CaptureTarget target = ChooseCaptureTarget(activeWindowOnly, ForegroundWindowRect(layout), layout);
    if (IsEmptyGrab(target.grab)) {
        if (tray)
            tray->ShowBalloon(EmptyGrabTitle, EmptyGrabText);
        return nullptr;
    }
    return &windows.Open(GrabScreen(target.grab, withPointer), target.monitor);
}

gui::Bitmap32 GrabScreen(const IntRect& rect, bool withPointer) {
    gui::Bitmap32 bitmap(rect.Width(), rect.Height());
    gui::WindowDC desktop = gui::WindowDC::WholeWindow(::GetDesktopWindow());
    if (!desktop || !::BitBlt(bitmap.DC(), 0, 0, rect.Width(), rect.Height(), desktop.Get(), rect.left,
                              rect.top, SRCCOPY))
        throw Error("Cannot copy the screen");
    if (withPointer)
        DrawPointer(bitmap, rect);
    return bitmap;
}

} // namespace corvinade
