// A pin; see PinWindow.h.
#include "capture/PinWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

namespace corvinade {

namespace {

constexpr DWORD PinStyle = WS_POPUP | WS_BORDER;
constexpr DWORD PinExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
enum MenuItem : UINT { CopyItem = 1, SaveItem, CloseItem };

RECT OuterFor(int clientWidth, int clientHeight) {
    RECT r = {0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&r, PinStyle, FALSE, PinExStyle);
    return r;
}

} // namespace

PinWindow::PinWindow(const PixelImage& image, POINT at, SaveChoices& choices)
    : gui::Form({.caption = "Pinned capture", .style = PinStyle, .exStyle = PinExStyle}),
      image_(image.width, image.height), choices_(choices) {
    for (int y = 0; y < image.height; ++y)
        std::memcpy(image_.Row(y), image.pixels.data() + static_cast<std::size_t>(y) * image.width,
                    static_cast<std::size_t>(image.width) * 4);
    SetUpSaveDialog(dialog_);
    // Within the work area of the monitor at `at`, as far as its size allows.
    MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
    ::GetMonitorInfoW(::MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT outer = OuterFor(image.width, image.height);
    const RECT& work = monitor.rcWork;
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    const int left = std::max<int>(work.left, std::min<int>(at.x + outer.left, work.right - width));
    const int top = std::max<int>(work.top, std::min<int>(at.y + outer.top, work.bottom - height));
    SetBounds(left, top, width, height);
    OnShortcutKey = [this](WPARAM key) { return ShortcutKey(key); };
    OnClose = [this] { Release(); };
}

PinWindow::~PinWindow() {
    if (OnFreed)
        OnFreed(this);
}

PixelImage PinWindow::Pixels() const {
    PixelImage out{image_.Width(), image_.Height(), {}};
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
        std::memcpy(out.pixels.data() + static_cast<std::size_t>(y) * out.width, image_.Row(y),
                    static_cast<std::size_t>(out.width) * 4);
    return out;
}

void PinWindow::Copy() {
    CopyImageToClipboard(Pixels());
}

void PinWindow::Save() {
    const PixelImage pixels = Pixels();
    const std::optional<std::string> name = AskImageFileName(dialog_, choices_, Handle());
    if (!name)
        return;
    WriteImageFile(*name, pixels, choices_);
    if (OnSaved)
        OnSaved(*name);
}

// Esc closes; Ctrl+C copies and Ctrl+S saves, as in the capture window.
bool PinWindow::ShortcutKey(WPARAM key) {
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0;
    if (key == VK_ESCAPE && !ctrl)
        Close();
    else if (key == 'C' && ctrl)
        Copy();
    else if (key == 'S' && ctrl)
        Save();
    else
        return false;
    return true;
}

void PinWindow::Fit(POINT anchor, const gui::Zoom& before) {
    RECT r = {};
    ::GetWindowRect(Handle(), &r);
    POINT client = {0, 0};
    ::ClientToScreen(Handle(), &client);
    // The image point under the anchor stays under it.
    const std::int64_t imageX = gui::ViewToImage(anchor.x - client.x, before);
    const std::int64_t imageY = gui::ViewToImage(anchor.y - client.y, before);
    const int width = static_cast<int>(std::max<std::int64_t>(1, gui::ImageToView(image_.Width(), zoom_)));
    const int height = static_cast<int>(std::max<std::int64_t>(1, gui::ImageToView(image_.Height(), zoom_)));
    const RECT outer = OuterFor(width, height);
    const int left = anchor.x - static_cast<int>(gui::ImageToView(imageX, zoom_)) + outer.left;
    const int top = anchor.y - static_cast<int>(gui::ImageToView(imageY, zoom_)) + outer.top;
    SetBounds(left, top, outer.right - outer.left, outer.bottom - outer.top);
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void PinWindow::ZoomBy(bool in, POINT screenAnchor) {
    const gui::Zoom before = zoom_;
    zoom_ = gui::NextZoom(zoom_, in);
    if (!(zoom_ == before))
        Fit(screenAnchor, before);
}

void PinWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(Handle(), &ps);
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    if (zoom_.num == zoom_.den) {
        ::BitBlt(dc, 0, 0, image_.Width(), image_.Height(), image_.DC(), 0, 0, SRCCOPY);
    } else {
        // Shrunk: averaged, as the capture window shows it; enlarged: whole pixels.
        ::SetStretchBltMode(dc, zoom_.num < zoom_.den ? HALFTONE : COLORONCOLOR);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        ::StretchBlt(dc, 0, 0, client.right, client.bottom, image_.DC(), 0, 0, image_.Width(),
                     image_.Height(), SRCCOPY);
    }
    ::EndPaint(Handle(), &ps);
}

void PinWindow::ShowMenu(POINT screen) {
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return;
    ::AppendMenuW(menu, MF_STRING, CopyItem, L"&Copy");
    ::AppendMenuW(menu, MF_STRING, SaveItem, L"&Save...");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, CloseItem, L"C&lose");
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0, Handle(), nullptr));
    ::DestroyMenu(menu);
    switch (chosen) {
    case CopyItem:
        Copy();
        break;
    case SaveItem:
        Save();
        break;
    case CloseItem:
        Close();
        break;
    default:
        break;
    }
}

bool PinWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return true;
    case WM_ERASEBKGND:
        result = 1; // the image covers the client area
        return true;
    case WM_LBUTTONDOWN: {
        POINT pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ClientToScreen(Handle(), &pointer);
        const RECT r = Bounds();
        dragFrom_ = {pointer.x - r.left, pointer.y - r.top};
        dragging_ = true;
        ::SetCapture(Handle());
        return true;
    }
    case WM_MOUSEMOVE:
        if (dragging_ && (wParam & MK_LBUTTON)) {
            POINT pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ClientToScreen(Handle(), &pointer);
            ::SetWindowPos(Handle(), nullptr, pointer.x - dragFrom_.x, pointer.y - dragFrom_.y, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return true;
    case WM_LBUTTONUP:
        if (dragging_) {
            dragging_ = false;
            ::ReleaseCapture();
        }
        return true;
    case WM_CAPTURECHANGED:
        dragging_ = false;
        return false;
    case WM_LBUTTONDBLCLK:
        Close();
        return true;
    case WM_MOUSEWHEEL: {
        wheel_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        while (std::abs(wheel_) >= WHEEL_DELTA) {
            const bool in = wheel_ > 0;
            wheel_ -= in ? WHEEL_DELTA : -WHEEL_DELTA;
            ZoomBy(in, at);
        }
        return true;
    }
    case WM_DPICHANGED:
        return true; // 100 % is the image's own pixels on any screen
    case WM_CONTEXTMENU: {
        POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (at.x == -1 && at.y == -1) { // the menu key: at the window's corner
            at = {0, 0};
            ::ClientToScreen(Handle(), &at);
        }
        ShowMenu(at);
        return true;
    }
    }
    return false;
}

} // namespace corvinade
