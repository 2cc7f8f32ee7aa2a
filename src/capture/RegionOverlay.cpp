// The region overlay and its capture; see RegionOverlay.h.
#include "capture/RegionOverlay.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "capture/CaptureWindow.h"
#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"
#include "gui/WindowClass.h"

namespace corvinade {

namespace {

constexpr wchar_t kOverlayClass[] = L"CorvinadeRegion";
constexpr char kName[] = "Capture region: drag to select an area, Esc to cancel";
// Rows composed at a time: the strip is the only other copy of pixels.
constexpr int kBandRows = 64;
// The dimming: black at this alpha over the frozen screen (about 60% of
// its brightness stays).
constexpr BYTE kDimAlpha = 100;
// The frame around the area and the label's padding, in design pixels.
constexpr int kFrameWidth = 2, kLabelPadding = 4;

// Black blended over `r` of the strip, from a black band of the strip's
// size: AlphaBlend (msimg32, loaded the first time an overlay paints)
// without stretching, several times faster than from one stretched pixel.
void DimRect(HDC target, const RECT& r, HDC black) {
    using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    static const auto alphaBlend = gui::SystemFunction<AlphaBlendFunction>("msimg32.dll", "AlphaBlend");
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    const BLENDFUNCTION dim = {AC_SRC_OVER, 0, kDimAlpha, 0};
    const int width = r.right - r.left, height = r.bottom - r.top;
    alphaBlend(target, r.left, r.top, width, height, black, 0, 0, width, height, dim);
}

HFONT LabelFont(int dpi) {
    return gui::Font({.height = 12, .style = gui::FontBold}, dpi);
}

// The rectangles of a window's update region.
std::vector<RECT> UpdateRects(HWND window) {
    std::vector<RECT> rects;
    gui::GdiObject<HRGN> update(::CreateRectRgn(0, 0, 0, 0));
    if (!update || ::GetUpdateRgn(window, update.Get(), FALSE) <= NULLREGION)
        return rects;
    const DWORD size = ::GetRegionData(update.Get(), 0, nullptr);
    std::vector<char> data(size);
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    if (size < sizeof(RGNDATAHEADER) || ::GetRegionData(update.Get(), size, region) != size)
        return rects;
    const auto* first = reinterpret_cast<const RECT*>(region->Buffer);
    rects.assign(first, first + region->rdh.nCount);
    return rects;
}

} // namespace

RegionOverlay::RegionOverlay(gui::Bitmap32 frozen, AreaPicker::Desktop desktop)
    : frozen_(std::move(frozen)), screen_(desktop.screen), monitors_(desktop.monitors),
      picker_(std::move(desktop)), strip_(std::max(1, screen_.Width()), kBandRows),
      black_(std::max(1, screen_.Width()), kBandRows) { // a new DIB section is all zeros
    gui::RegisterWindowClass({.name = kOverlayClass,
                              .proc = ClassProcedure,
                              .cursor = ::LoadCursorW(nullptr, ResourceId(IDC_CROSS))});
    HWND window =
        ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kOverlayClass, L"Capture region", WS_POPUP,
                          screen_.left, screen_.top, screen_.Width(), screen_.Height(), gui::App().Handle(),
                          nullptr, ::GetModuleHandleW(nullptr), static_cast<gui::Window*>(this));
    if (!window)
        throw Error("Cannot create the region window");
    accessible_ =
        std::make_unique<gui::AccessibleWindow>(window, static_cast<gui::AccessibleContent&>(*this));
    shown_ = picker_.Shown();
    label_ = LabelFor(shown_);
}

RegionOverlay::~RegionOverlay() {
    ending_ = true;
    if (HWND window = window_) {
        Forget();
        ::DestroyWindow(window);
    }
}

void RegionOverlay::Show() {
    if (!window_)
        return;
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
    ::SetFocus(window_);
}

IntPoint RegionOverlay::ScreenPoint(LPARAM lParam) const {
    return {GET_X_LPARAM(lParam) + screen_.left, GET_Y_LPARAM(lParam) + screen_.top};
}

RECT RegionOverlay::ClientRect(const IntRect& r) const {
    return {r.left - screen_.left, r.top - screen_.top, r.right - screen_.left, r.bottom - screen_.top};
}

int RegionOverlay::AreaDpi(const IntRect& area) const {
    return monitors_.empty() ? gui::ScreenDpi() : monitors_[MonitorOfRect(monitors_, area)].dpi;
}

// As wide on every monitor as on the one of the highest dpi: the bands a
// step repaints hold it wherever the area goes.
int RegionOverlay::FrameWidth() const {
    int dpi = gui::DesignDpi;
    for (const MonitorArea& m : monitors_)
        dpi = std::max(dpi, m.dpi);
    return ::MulDiv(kFrameWidth, dpi, gui::DesignDpi);
}

std::optional<IntRect> RegionOverlay::LabelFor(const std::optional<IntRect>& area) const {
    if (!area)
        return std::nullopt;
    const int dpi = AreaDpi(*area);
    const std::wstring text = Wide(AreaSizeText(*area));
    gui::WindowDC screen(nullptr);
    gui::ScopedSelect font(screen.Get(), LabelFont(dpi));
    SIZE extent = {};
    ::GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    const int padding = ::MulDiv(kLabelPadding, dpi, gui::DesignDpi);
    const IntRect monitor = monitors_.empty()
                                ? screen_
                                : Intersection(monitors_[MonitorOfRect(monitors_, *area)].bounds, screen_);
    return SizeLabelPlace(*area, {extent.cx + 2 * padding, extent.cy + padding}, FrameWidth() + padding,
                          monitor);
}

void RegionOverlay::Follow(AreaPicker::Outcome outcome) {
    if (outcome != AreaPicker::Outcome::Going) {
        End(outcome);
        return;
    }
    const std::optional<IntRect> shown = picker_.Shown();
    if (shown == shown_)
        return;
    auto invalidate = [this](const IntRect& r) {
        const RECT client = ClientRect(r);
        ::InvalidateRect(window_, &client, FALSE);
    };
    for (const IntRect& band : ChangedBands(shown_, shown, FrameWidth()))
        invalidate(band);
    const std::optional<IntRect> label = LabelFor(shown);
    if (label != label_) {
        for (const auto& r : {label_, label})
            if (r)
                invalidate(*r);
    }
    shown_ = shown;
    label_ = label;
    accessible_->ValueChanged();
}

// The window goes first, then the frozen screen; the capture window opens
// with nothing of the overlay left on the screen.
void RegionOverlay::End(AreaPicker::Outcome outcome) {
    if (ending_ || !window_)
        return;
    ending_ = true;
    std::optional<gui::Bitmap32> pixels;
    const IntRect area = picker_.Taken();
    if (outcome == AreaPicker::Outcome::Taken) {
        pixels.emplace(area.Width(), area.Height());
        if (!::BitBlt(pixels->DC(), 0, 0, area.Width(), area.Height(), frozen_.DC(), area.left - screen_.left,
                      area.top - screen_.top, SRCCOPY))
            pixels.reset();
    }
    if (::GetCapture() == window_)
        ::ReleaseCapture();
    ::DestroyWindow(window_); // forgets it: WM_NCDESTROY
    accessible_.reset();
    frozen_ = gui::Bitmap32();
    strip_ = gui::Bitmap32();
    if (pixels && OnTaken)
        OnTaken(area, std::move(*pixels));
}

void RegionOverlay::Arrow(int dx, int dy) {
    const int step = ::GetKeyState(VK_SHIFT) < 0 ? 10 : 1;
    const IntPoint from = picker_.Pointer();
    const IntPoint to = {std::clamp(from.x + dx * step, screen_.left, screen_.right - 1),
                         std::clamp(from.y + dy * step, screen_.top, screen_.bottom - 1)};
    ::SetCursorPos(to.x, to.y);
    picker_.Move(to, ::GetKeyState(VK_CONTROL) < 0);
    Follow(AreaPicker::Outcome::Going);
}

void RegionOverlay::Paint() {
    std::vector<RECT> rects = UpdateRects(window_);
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window_, &ps);
    if (rects.empty())
        rects.push_back(ps.rcPaint);
    if (!frozen_.Empty() && !strip_.Empty())
        for (const RECT& r : rects)
            for (int top = r.top; top < r.bottom; top += kBandRows)
                PaintBand(dc, {r.left, top, r.right, std::min<LONG>(r.bottom, top + kBandRows)});
    ::EndPaint(window_, &ps);
}

// The band's rows of the frozen screen, dimmed but for the area, the frame
// and the label drawn on them, composed in the strip and then shown.
void RegionOverlay::PaintBand(HDC target, const RECT& band) {
    const int width = band.right - band.left, height = band.bottom - band.top;
    if (width <= 0 || height <= 0)
        return;
    HDC dc = strip_.DC();
    ::SetWindowOrgEx(dc, band.left, band.top, nullptr); // client coordinates from here
    ::BitBlt(dc, band.left, band.top, width, height, frozen_.DC(), band.left, band.top, SRCCOPY);
    if (!shown_) {
        DimRect(dc, band, black_.DC());
    } else {
        const RECT c = ClientRect(*shown_);
        const LONG top = std::max(band.top, c.top), bottom = std::min(band.bottom, c.bottom);
        DimRect(dc, {band.left, band.top, band.right, std::min(band.bottom, c.top)}, black_.DC());
        DimRect(dc, {band.left, std::max(band.top, c.bottom), band.right, band.bottom}, black_.DC());
        DimRect(dc, {band.left, top, std::min(band.right, c.left), bottom}, black_.DC());
        DimRect(dc, {std::max(band.left, c.right), top, band.right, bottom}, black_.DC());
        const int f = FrameWidth();
        HBRUSH frame = ::GetSysColorBrush(COLOR_HIGHLIGHT);
        const RECT edges[] = {{c.left - f, c.top - f, c.right + f, c.top},
                              {c.left - f, c.bottom, c.right + f, c.bottom + f},
                              {c.left - f, c.top, c.left, c.bottom},
                              {c.right, c.top, c.right + f, c.bottom}};
        for (const RECT& e : edges)
            ::FillRect(dc, &e, frame);
    }
    if (label_) {
        RECT l = ClientRect(*label_);
        ::FillRect(dc, &l, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        gui::ScopedSelect font(dc, LabelFont(AreaDpi(*shown_)));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::DrawTextW(dc, Wide(AreaSizeText(*shown_)).c_str(), -1, &l,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    ::BitBlt(target, band.left, band.top, width, height, dc, 0, 0, SRCCOPY);
}

LRESULT RegionOverlay::WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        picker_.Move(ScreenPoint(lParam), (wParam & MK_CONTROL) != 0);
        Follow(AreaPicker::Outcome::Going);
        return 0;
    case WM_LBUTTONDOWN:
        ::SetCapture(window_);
        picker_.Press(ScreenPoint(lParam));
        Follow(AreaPicker::Outcome::Going);
        return 0;
    case WM_LBUTTONUP:
        if (::GetCapture() == window_)
            ::ReleaseCapture();
        Follow(picker_.Release(ScreenPoint(lParam)));
        return 0;
    case WM_RBUTTONDOWN:
        return 0;
    case WM_RBUTTONUP: // on the release: the press would bring up a menu below
        End(AreaPicker::Outcome::Cancelled);
        return 0;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_ESCAPE:
            End(picker_.Cancel());
            return 0;
        case VK_RETURN:
            Follow(picker_.Enter());
            return 0;
        case VK_SPACE:
            Follow(picker_.Space());
            return 0;
        case VK_LEFT:
            Arrow(-1, 0);
            return 0;
        case VK_RIGHT:
            Arrow(1, 0);
            return 0;
        case VK_UP:
            Arrow(0, -1);
            return 0;
        case VK_DOWN:
            Arrow(0, 1);
            return 0;
        default:
            return 0;
        }
    case WM_ACTIVATE:
        // Another window in front (Alt+Tab, the Start menu): the picking
        // ends rather than stay on top of it.
        if (LOWORD(wParam) != WA_INACTIVE)
            active_ = true;
        else if (active_)
            End(AreaPicker::Outcome::Cancelled);
        return 0;
    case WM_DPICHANGED: // the window keeps covering every monitor
        return 0;
    case WM_GETOBJECT:
        if (LRESULT result = 0; accessible_ && accessible_->Answer(wParam, lParam, result))
            return result;
        break;
    default:
        break;
    }
    return DefaultHandling(msg, wParam, lParam);
}

std::optional<std::string> RegionOverlay::AccessibleName() const {
    return kName;
}

std::optional<std::string> RegionOverlay::AccessibleValue() const {
    return shown_ ? AreaSizeText(*shown_) : std::string();
}

RegionCapture::RegionCapture(CaptureWindowList& windows, const MonitorPort& monitors)
    : windows_(windows), monitors_(monitors) {}

RegionCapture::~RegionCapture() = default;

void RegionCapture::Start(const TCaptureOptions& options) {
    if (overlay_ && overlay_->Showing()) {
        overlay_->Show();
        return;
    }
    const std::vector<MonitorArea> monitors = monitors_.Monitors();
    const IntRect screen = VirtualScreen(monitors);
    if (options.SameArea && last_) {
        if (const IntRect area = Intersection(*last_, screen); !IsEmptyGrab(area)) {
            Open(area, GrabScreen(area, options.Cursor), monitors);
            return;
        }
    }
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    AreaPicker::Desktop desktop{screen,
                                monitors,
                                VisibleWindowFrames(monitors),
                                last_,
                                {cursor.x, cursor.y},
                                ::GetSystemMetrics(SM_CXDRAG)};
    overlay_.reset();
    overlay_ = std::make_unique<RegionOverlay>(GrabScreen(screen, options.Cursor), std::move(desktop));
    overlay_->OnTaken = [this, monitors](const IntRect& area, gui::Bitmap32 pixels) {
        Open(area, std::move(pixels), monitors);
    };
    overlay_->Show();
}

void RegionCapture::Open(const IntRect& area, gui::Bitmap32 pixels,
                         const std::vector<MonitorArea>& monitors) {
    last_ = area;
    windows_.Open(std::move(pixels), monitors[MonitorOfRect(monitors, area)]);
}

} // namespace corvinade
