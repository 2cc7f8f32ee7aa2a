// The image view; see ImageView.h.
#include "gui/ImageView.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Contrast.h"
#include "gui/Guarded.h"
#include "gui/PixelBlend.h"
#include "gui/WindowClass.h"

namespace corvinade::gui {

namespace {

constexpr wchar_t kImageViewClass[] = L"CorvinadeImageView";
constexpr int kWheelStep = 60;
constexpr int kLineStep = 20;
// Rows composed at a time while painting.
constexpr int kStripRows = 32;

void RegisterImageViewClass(WNDPROC proc) {
    RegisterWindowClass({.name = kImageViewClass,
                         .proc = proc,
                         .cursor = ::LoadCursorW(nullptr, ResourceId(IDC_CROSS)),
                         .background = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))});
}

// Around the image: black, or in high contrast the system's colour for the
// area around a document.
std::uint32_t BackgroundPixel() {
    return PixelOfColorRef(ContrastColor(RGB(0, 0, 0), COLOR_APPWORKSPACE));
}

} // namespace

Bitmap32::Bitmap32(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    dc_.Reset(::CreateCompatibleDC(nullptr));
    if (!bitmap_ || !dc_ || !bits)
        throw Error("Out of system resources");
    pixels_ = static_cast<std::uint32_t*>(bits);
    previous_ = ::SelectObject(dc_.Get(), bitmap_.Get());
}

Bitmap32::Bitmap32(Bitmap32&& other) noexcept
    : width_(std::exchange(other.width_, 0)), height_(std::exchange(other.height_, 0)),
      pixels_(std::exchange(other.pixels_, nullptr)), bitmap_(std::move(other.bitmap_)),
      dc_(std::move(other.dc_)), previous_(std::exchange(other.previous_, nullptr)) {}

Bitmap32& Bitmap32::operator=(Bitmap32&& other) noexcept {
    if (this != &other) {
        Unselect();
        dc_ = std::move(other.dc_);
        bitmap_ = std::move(other.bitmap_);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        pixels_ = std::exchange(other.pixels_, nullptr);
        previous_ = std::exchange(other.previous_, nullptr);
    }
    return *this;
}

Bitmap32::~Bitmap32() {
    Unselect();
}

void Bitmap32::Unselect() {
    if (dc_ && previous_)
        ::SelectObject(dc_.Get(), previous_);
    previous_ = nullptr;
}

ImageView::ImageView(HWND parent, int left, int top, int width, int height) : layer_(*this) {
    RegisterImageViewClass(ClassProcedure);
    HWND window =
        ::CreateWindowExW(WS_EX_STATICEDGE | WS_EX_NOPARENTNOTIFY, kImageViewClass, L"",
                          WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_CLIPSIBLINGS, left, top, width,
                          height, parent, nullptr, ::GetModuleHandleW(nullptr), static_cast<Window*>(this));
    if (!window)
        throw Error("Cannot create the image view");
    accessible_ = std::make_unique<AccessibleWindow>(window, static_cast<AccessibleContent&>(*this));
    UpdateScrollBars();
}

ImageView::~ImageView() {
    if (HWND window = window_) {
        Forget();
        ::DestroyWindow(window);
    }
}

void ImageView::Place(int left, int top, int width, int height) {
    ::SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ImageView::SetImage(Bitmap32 image) {
    image_ = std::move(image);
    shade_.reset();
    scroll_ = {0, 0};
    UpdateScrollBars();
    ::InvalidateRect(window_, nullptr, FALSE);
    CheckScreenReaderName();
}

void ImageView::CheckScreenReaderName() {
    std::string name = ScreenReaderName ? ScreenReaderName() : std::string();
    if (name == announcedName_)
        return;
    announcedName_ = std::move(name);
    accessible_->NameChanged();
}

std::optional<std::string> ImageView::AccessibleName() const {
    if (!ScreenReaderName)
        return std::nullopt;
    return ScreenReaderName();
}

std::optional<long> ImageView::AccessibleRole() const {
    return ROLE_SYSTEM_GRAPHIC;
}

void ImageView::SetShade(std::uint32_t shade, const RECT& clear) {
    shade_ = Shade{Shader(shade), clear};
    ::InvalidateRect(window_, nullptr, FALSE);
}

void ImageView::RemoveShade() {
    if (!shade_)
        return;
    shade_.reset();
    ::InvalidateRect(window_, nullptr, FALSE);
}

void ImageView::InvalidateHostRect(const RECT& area) {
    RECT r = area;
    ::OffsetRect(&r, -scroll_.x, -scroll_.y);
    ::InvalidateRect(window_, &r, FALSE);
}

void ImageView::ScrollTo(int x, int y) {
    RECT client;
    ::GetClientRect(window_, &client);
    x = std::clamp(x, 0, std::max<int>(0, image_.Width() - client.right));
    y = std::clamp(y, 0, std::max<int>(0, image_.Height() - client.bottom));
    if (x == scroll_.x && y == scroll_.y)
        return;
    ::ScrollWindowEx(window_, scroll_.x - x, scroll_.y - y, nullptr, nullptr, nullptr, nullptr,
                     SW_INVALIDATE);
    scroll_ = {x, y};
    UpdateScrollBars();
}

void ImageView::UpdateScrollBars() {
    RECT client;
    ::GetClientRect(window_, &client);
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
    si.nMax = std::max(0, image_.Width() - 1);
    si.nPage = static_cast<UINT>(client.right);
    si.nPos = scroll_.x;
    ::SetScrollInfo(window_, SB_HORZ, &si, TRUE);
    si.nMax = std::max(0, image_.Height() - 1);
    si.nPage = static_cast<UINT>(client.bottom);
    si.nPos = scroll_.y;
    ::SetScrollInfo(window_, SB_VERT, &si, TRUE);
}

void ImageView::Scroll(int bar, WORD request) {
    SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(window_, bar, &si);
    int pos = si.nPos;
    switch (request) {
    case SB_LINEUP:
        pos -= kLineStep;
        break;
    case SB_LINEDOWN:
        pos += kLineStep;
        break;
    case SB_PAGEUP:
        pos -= static_cast<int>(si.nPage);
        break;
    case SB_PAGEDOWN:
        pos += static_cast<int>(si.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = si.nTrackPos;
        break;
    case SB_TOP:
        pos = 0;
        break;
    case SB_BOTTOM:
        pos = si.nMax;
        break;
    default:
        return;
    }
    if (bar == SB_HORZ)
        ScrollTo(pos, scroll_.y);
    else
        ScrollTo(scroll_.x, pos);
}

// Image and shade of the client rectangle `band` into the strip, whose
// top-left pixel it fills.
void ImageView::ComposeBand(const RECT& band) {
    const int width = image_.Width(), height = image_.Height();
    const std::uint32_t background = BackgroundPixel();
    for (int y = band.top; y < band.bottom; ++y) {
        std::uint32_t* out = strip_.Row(y - band.top) - band.left; // indexed by client x
        const int iy = y + scroll_.y;
        int x = band.left;
        if (iy >= 0 && iy < height) {
            const int ix0 = band.left + scroll_.x;
            const int count = std::max(0, std::min<int>(band.right + scroll_.x, width) - ix0);
            if (count > 0) {
                std::memcpy(out + x, image_.Row(iy) + ix0, static_cast<std::size_t>(count) * 4);
                if (shade_) {
                    const RECT& c = shade_->clear;
                    const bool rowClear = iy >= c.top && iy < c.bottom;
                    shade_->shader.ShadeOutside(out + x, ix0, count, rowClear ? c.left : 0,
                                                rowClear ? c.right : 0);
                }
                x += count;
            }
        }
        std::fill(out + x, out + band.right, background); // outside the image
    }
}

// The invalid area goes to the screen in bands of a few rows, each composed
// in a strip of the client's width with the controls on top: no copy of the
// whole client area is kept beside the image.
void ImageView::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window_, &ps);
    RECT client;
    ::GetClientRect(window_, &client);
    RECT area;
    if (::IntersectRect(&area, &ps.rcPaint, &client)) {
        if (strip_.Width() < client.right)
            strip_ = Bitmap32(client.right, kStripRows);
        for (int top = area.top; top < area.bottom; top += kStripRows) {
            const RECT band = {area.left, top, area.right, std::min<int>(top + kStripRows, area.bottom)};
            ComposeBand(band);
            RECT imageArea = band;
            ::OffsetRect(&imageArea, scroll_.x, scroll_.y);
            layer_.Paint(strip_.DC(), imageArea, imageArea.left, imageArea.top);
            ::BitBlt(dc, band.left, band.top, band.right - band.left, band.bottom - band.top, strip_.DC(), 0,
                     0, SRCCOPY);
        }
    }
    ::EndPaint(window_, &ps);
}

void ImageView::Mouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam) + scroll_.x, y = GET_Y_LPARAM(lParam) + scroll_.y;
    const ShiftState shift = ShiftFromKeys(wParam);
    const bool onImage = x >= 0 && y >= 0 && x < image_.Width() && y < image_.Height();
    MouseButton button = MouseButton::Left;
    if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP)
        button = MouseButton::Right;
    else if (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP)
        button = MouseButton::Middle;
    const bool buttonsHeld = (shift & (ssLeft | ssRight | ssMiddle)) != 0;

    switch (msg) {
    case WM_MOUSEMOVE:
        hostMouse_.Moved(window_);
        if (!mouseOnImage_ && layer_.MouseMove(shift, x, y))
            return;
        if ((mouseOnImage_ || onImage) && OnMouseMove)
            OnMouseMove(shift, x, y);
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (!mouseOnImage_ && layer_.MouseDown(button, shift, x, y))
            return;
        if (!mouseOnImage_ && !onImage)
            return;
        mouseOnImage_ = true;
        ::SetCapture(window_);
        if (OnMouseDown)
            OnMouseDown(button, shift, x, y);
        return;
    default: // the button releases
        if (!mouseOnImage_) {
            layer_.MouseUp(button, shift, x, y);
            return;
        }
        if (!buttonsHeld) {
            mouseOnImage_ = false;
            if (::GetCapture() == window_)
                ::ReleaseCapture();
        }
        if (OnMouseUp)
            OnMouseUp(button, shift, x, y);
        return;
    }
}

LRESULT ImageView::WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_SIZE:
        UpdateScrollBars();
        ScrollTo(scroll_.x, scroll_.y);
        return 0;
    case WM_HSCROLL:
        Scroll(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        Scroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        ScrollTo(scroll_.x, scroll_.y - GET_WHEEL_DELTA_WPARAM(wParam) * kWheelStep / WHEEL_DELTA);
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        Mouse(msg, wParam, lParam);
        return 0;
    case WM_GETOBJECT:
        if (LRESULT answer = 0; accessible_ && accessible_->Answer(wParam, lParam, answer))
            return answer;
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window)
            mouseOnImage_ = false;
        break;
    }
    if (LRESULT result = 0; hostMouse_.HandleMessage(window, layer_, msg, lParam, scroll_, result))
        return result;
    return ::DefWindowProcW(window, msg, wParam, lParam);
}

} // namespace corvinade::gui
