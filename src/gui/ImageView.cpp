// The image view; see ImageView.h.
#include "gui/ImageView.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

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
    ExchangeImage(std::move(image));
}

Bitmap32 ImageView::ExchangeImage(Bitmap32 image) {
    Bitmap32 previous = std::exchange(image_, std::move(image));
    shade_.reset();
    fitting_ = true;
    scroll_ = {0, 0};
    UpdateScrollBars();
    ::InvalidateRect(window_, nullptr, FALSE);
    AnnounceZoom();
    CheckScreenReaderName();
    return previous;
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

SIZE ImageView::ClientSize() const {
    RECT client;
    ::GetClientRect(window_, &client);
    return {client.right, client.bottom};
}

SIZE ImageView::RoomWithoutBars() const {
    SIZE room = ClientSize();
    const LONG style = ::GetWindowLongW(window_, GWL_STYLE);
    if (style & WS_VSCROLL)
        room.cx += ::GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL)
        room.cy += ::GetSystemMetrics(SM_CYHSCROLL);
    return room;
}

ZoomAxis ImageView::Axis(bool horizontal) const {
    const SIZE client = ClientSize();
    return horizontal
               ? ZoomAxis{image_.Width(), static_cast<int>(client.cx), static_cast<int>(scroll_.x), zoom_}
               : ZoomAxis{image_.Height(), static_cast<int>(client.cy), static_cast<int>(scroll_.y), zoom_};
}

POINT ImageView::ImageToClient(POINT image) const {
    return {Axis(true).ToClient(image.x), Axis(false).ToClient(image.y)};
}

POINT ImageView::ClientToImage(POINT client) const {
    return {static_cast<LONG>(Axis(true).ToImage(client.x)),
            static_cast<LONG>(Axis(false).ToImage(client.y))};
}

// The controls' areas in image pixels, a pixel wider all round: the edges of
// a shrunk image pixel round either way.
void ImageView::InvalidateHostRect(const RECT& area) {
    const POINT topLeft = ImageToClient({area.left, area.top});
    const POINT bottomRight = ImageToClient({area.right, area.bottom});
    RECT r = {topLeft.x - 1, topLeft.y - 1, bottomRight.x + 1, bottomRight.y + 1};
    ::InvalidateRect(window_, &r, FALSE);
}

void ImageView::ZoomToFit() {
    fitting_ = true;
    scroll_ = {0, 0};
    UpdateScrollBars();
    ::InvalidateRect(window_, nullptr, FALSE);
    AnnounceZoom();
}

// Scroll bars that come or go leave the client's top-left corner, which the
// anchor is measured from, where it is.
void ImageView::SetZoom(const Zoom& zoom, POINT anchor) {
    scroll_ = {ScrollKeeping(Axis(true), zoom, anchor.x), ScrollKeeping(Axis(false), zoom, anchor.y)};
    zoom_ = zoom;
    fitting_ = false;
    UpdateScrollBars();
    ::InvalidateRect(window_, nullptr, FALSE);
    AnnounceZoom();
}

void ImageView::StepZoom(bool in, POINT anchor) {
    const Zoom next = NextZoom(zoom_, in);
    if (!(next == zoom_))
        SetZoom(next, anchor);
}

void ImageView::AnnounceZoom() {
    if (announcedZoom_ == zoom_ && announcedFitting_ == fitting_)
        return;
    announcedZoom_ = zoom_;
    announcedFitting_ = fitting_;
    if (OnZoomChange)
        OnZoomChange();
}

void ImageView::ScrollTo(int x, int y) {
    x = std::clamp(x, 0, Axis(true).MaxScroll());
    y = std::clamp(y, 0, Axis(false).MaxScroll());
    if (x == scroll_.x && y == scroll_.y)
        return;
    ::ScrollWindowEx(window_, scroll_.x - x, scroll_.y - y, nullptr, nullptr, nullptr, nullptr,
                     SW_INVALIDATE);
    scroll_ = {x, y};
    UpdateScrollBars();
}

// A fitted image takes the room without scroll bars, which then go; at
// another zoom the bars come where the zoomed image is larger than the
// client area. Showing or hiding a bar changes the client area (a WM_SIZE
// in between): a few passes settle it.
void ImageView::UpdateScrollBars() {
    if (updatingBars_)
        return;
    updatingBars_ = true;
    const Zoom before = zoom_;
    for (int pass = 0; pass < 3; ++pass) {
        const SIZE client = ClientSize(), room = RoomWithoutBars();
        if (fitting_)
            zoom_ = FitZoom(image_.Width(), image_.Height(), room.cx, room.cy);
        const ZoomAxis x = Axis(true), y = Axis(false);
        scroll_ = {std::clamp<LONG>(scroll_.x, 0, x.MaxScroll()),
                   std::clamp<LONG>(scroll_.y, 0, y.MaxScroll())};
        // A page as long as the image hides a bar: both go when the image
        // fits the room they would leave.
        const bool fits = x.Content() <= room.cx && y.Content() <= room.cy;
        SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        si.nMax = std::max(0, x.Content() - 1);
        si.nPage = static_cast<UINT>(fits || x.Content() <= x.view ? x.Content() : x.view);
        si.nPos = scroll_.x;
        ::SetScrollInfo(window_, SB_HORZ, &si, TRUE);
        si.nMax = std::max(0, y.Content() - 1);
        si.nPage = static_cast<UINT>(fits || y.Content() <= y.view ? y.Content() : y.view);
        si.nPos = scroll_.y;
        ::SetScrollInfo(window_, SB_VERT, &si, TRUE);
        const SIZE after = ClientSize();
        if (after.cx == client.cx && after.cy == client.cy)
            break;
    }
    updatingBars_ = false;
    if (!(before == zoom_))
        ::InvalidateRect(window_, nullptr, FALSE);
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

// The wheel scrolls (with Shift across); with Ctrl it zooms by steps about
// the pointer.
void ImageView::Wheel(WPARAM wParam, LPARAM lParam) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    if (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) {
        wheelDelta_ += delta;
        POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(window_, &at);
        while (std::abs(wheelDelta_) >= WHEEL_DELTA) {
            const bool in = wheelDelta_ > 0;
            wheelDelta_ -= in ? WHEEL_DELTA : -WHEEL_DELTA;
            StepZoom(in, at);
        }
        return;
    }
    wheelDelta_ = 0;
    const int step = delta * kWheelStep / WHEEL_DELTA;
    if (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT)
        ScrollTo(scroll_.x - step, scroll_.y);
    else
        ScrollTo(scroll_.x, scroll_.y - step);
}

// For the painted client columns, the image columns each one shows.
void ImageView::PrepareColumns(const RECT& area) {
    const ZoomAxis x = Axis(true);
    const int origin = x.Origin(), content = x.Content();
    const std::size_t count = static_cast<std::size_t>(area.right - area.left);
    columnFirst_.resize(count);
    columnEnd_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int view = area.left + static_cast<int>(i) - origin;
        if (view < 0 || view >= content) {
            columnFirst_[i] = columnEnd_[i] = 0;
            continue;
        }
        const ImageSpan span = ImageSpanAt(view, zoom_);
        columnFirst_[i] = static_cast<int>(std::clamp<std::int64_t>(span.first, 0, image_.Width() - 1));
        columnEnd_[i] =
            static_cast<int>(std::clamp<std::int64_t>(span.end, columnFirst_[i] + 1, image_.Width()));
    }
}

// One client row of the band, from client column band.left on: the image
// pixels it shows (averaged where the image is shrunk), the background
// beside the image, the shade outside the clear rectangle.
void ImageView::ComposeRow(int y, const RECT& band, std::uint32_t* out) {
    const std::uint32_t background = BackgroundPixel();
    const int width = band.right - band.left;
    const ZoomAxis rows = Axis(false);
    const int view = y - rows.Origin();
    if (view < 0 || view >= rows.Content() || image_.Empty()) {
        std::fill(out, out + width, background);
        return;
    }
    const ImageSpan span = ImageSpanAt(view, zoom_);
    const int firstRow = static_cast<int>(std::clamp<std::int64_t>(span.first, 0, image_.Height() - 1));
    const int endRow = static_cast<int>(std::clamp<std::int64_t>(span.end, firstRow + 1, image_.Height()));
    const int* first = columnFirst_.data(); // the band spans the painted columns
    const int* end = columnEnd_.data();
    int left = 0, right = 0; // the image part of the row
    ImagePart(band, left, right);
    std::fill(out, out + left, background);
    std::fill(out + right, out + width, background);
    if (left == right)
        return;
    if (zoom_.num == zoom_.den) {
        std::memcpy(out + left, image_.Row(firstRow) + first[left],
                    static_cast<std::size_t>(right - left) * 4);
    } else if (zoom_.num > zoom_.den) {
        const std::uint32_t* source = image_.Row(firstRow);
        for (int x = left; x < right; ++x)
            out[x] = source[first[x]];
    } else {
        // Shrunk: each pixel the average of the image pixels it stands for.
        sums_.assign(static_cast<std::size_t>(right - left) * 3, 0);
        for (int r = firstRow; r < endRow; ++r) {
            const std::uint32_t* source = image_.Row(r);
            std::uint32_t* sum = sums_.data();
            for (int x = left; x < right; ++x, sum += 3)
                for (int c = first[x]; c < end[x]; ++c) {
                    const std::uint32_t p = source[c];
                    sum[0] += p & 0xFFu;
                    sum[1] += (p >> 8) & 0xFFu;
                    sum[2] += (p >> 16) & 0xFFu;
                }
        }
        const std::uint32_t rowsCount = static_cast<std::uint32_t>(endRow - firstRow);
        const std::uint32_t* sum = sums_.data();
        for (int x = left; x < right; ++x, sum += 3) {
            const std::uint32_t count = rowsCount * static_cast<std::uint32_t>(end[x] - first[x]);
            out[x] = (sum[0] + count / 2) / count | ((sum[1] + count / 2) / count) << 8 |
                     ((sum[2] + count / 2) / count) << 16;
        }
    }
}

void ImageView::ImagePart(const RECT& band, int& left, int& right) const {
    const int width = band.right - band.left;
    const int* first = columnFirst_.data(); // the band spans the painted columns
    const int* end = columnEnd_.data();
    left = 0;
    while (left < width && first[left] == end[left])
        ++left;
    right = width;
    while (right > left && first[right - 1] == end[right - 1])
        --right;
}

void ImageView::ShadeRow(int y, const RECT& band, std::uint32_t* out) const {
    const ZoomAxis rows = Axis(false);
    const int view = y - rows.Origin();
    if (!shade_ || view < 0 || view >= rows.Content() || image_.Empty())
        return;
    int left = 0, right = 0;
    ImagePart(band, left, right);
    const RECT& c = shade_->clear;
    const POINT clearTopLeft = ImageToClient({c.left, c.top});
    const POINT clearBottomRight = ImageToClient({c.right, c.bottom});
    const bool rowClear = y >= clearTopLeft.y && y < clearBottomRight.y;
    shade_->shader.ShadeOutside(out + left, band.left + left, right - left, rowClear ? clearTopLeft.x : 0,
                                rowClear ? clearBottomRight.x : 0);
}

// Image, the owner's paint and the shade of the client rectangle `band`
// into the strip, whose top-left pixel it fills.
void ImageView::ComposeBand(const RECT& band) {
    for (int y = band.top; y < band.bottom; ++y)
        ComposeRow(y, band, strip_.Row(y - band.top));
    if (OnPaintImage && !image_.Empty()) {
        const POINT topLeft = ImageToClient({0, 0});
        const POINT bottomRight = ImageToClient({image_.Width(), image_.Height()});
        const RECT shown = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
        RECT area;
        if (::IntersectRect(&area, &shown, &band))
            OnPaintImage(strip_.Row(area.top - band.top) + (area.left - band.left), strip_.Width(), area);
    }
    if (shade_)
        for (int y = band.top; y < band.bottom; ++y)
            ShadeRow(y, band, strip_.Row(y - band.top));
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
        PrepareColumns(area);
        for (int top = area.top; top < area.bottom; top += kStripRows) {
            const RECT band = {area.left, top, area.right, std::min<int>(top + kStripRows, area.bottom)};
            ComposeBand(band);
            layer_.Paint(strip_.DC(), band, band.left, band.top);
            ::BitBlt(dc, band.left, band.top, band.right - band.left, band.bottom - band.top, strip_.DC(), 0,
                     0, SRCCOPY);
        }
    }
    ::EndPaint(window_, &ps);
}

// The controls take the mouse at client points, the owner at image pixels.
void ImageView::Mouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    const int cx = GET_X_LPARAM(lParam), cy = GET_Y_LPARAM(lParam);
    const POINT image = ClientToImage({cx, cy});
    const int x = image.x, y = image.y;
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
        if (!mouseOnImage_ && !(onImage && OwnerTakesPress && !layer_.Captured() && OwnerTakesPress(x, y)) &&
            layer_.MouseMove(shift, cx, cy))
            return;
        if ((mouseOnImage_ || onImage) && OnMouseMove)
            OnMouseMove(shift, x, y);
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (!mouseOnImage_ && !layer_.Captured() && onImage && OwnerTakesPress && OwnerTakesPress(x, y)) {
            mouseOnImage_ = true;
            ::SetCapture(window_);
            if (OnMouseDown)
                OnMouseDown(button, shift, x, y);
            return;
        }
        if (!mouseOnImage_ && layer_.MouseDown(button, shift, cx, cy))
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
            layer_.MouseUp(button, shift, cx, cy);
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
    case WM_SIZE: // a centred or fitted image moves
        UpdateScrollBars();
        ::InvalidateRect(window, nullptr, FALSE);
        AnnounceZoom();
        return 0;
    case WM_HSCROLL:
        Scroll(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        Scroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        Wheel(wParam, lParam);
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
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && CursorAt && !layer_.Captured()) {
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(window, &p);
            const POINT at = ClientToImage(p);
            if (HCURSOR cursor = CursorAt(at.x, at.y)) {
                ::SetCursor(cursor);
                return TRUE;
            }
        }
        break;
    case WM_GETDLGCODE:
        if (takingKeys_)
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTTAB;
        break;
    case WM_KEYDOWN:
        if (takingKeys_ && OnKey) {
            OnKey(wParam);
            return 0;
        }
        break;
    case WM_CHAR:
        if (takingKeys_ && OnCharacter) {
            OnCharacter(static_cast<wchar_t>(wParam));
            return 0;
        }
        break;
    }
    if (LRESULT result = 0; hostMouse_.HandleMessage(window, layer_, msg, lParam, result))
        return result;
    return ::DefWindowProcW(window, msg, wParam, lParam);
}

} // namespace corvinade::gui
