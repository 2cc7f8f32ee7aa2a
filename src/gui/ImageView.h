// The image view: a child window that shows a 32-bit bitmap on black (in
// high contrast on the system's colour): fitted to the window (never above
// 1:1) until the user zooms, centred while smaller than the window, with
// scroll bars while larger. It shades all but one rectangle of it while
// painting, hosts windowless controls placed in image pixels, reports the
// mouse in image pixels, and gives screen readers the name its owner makes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/Accessible.h"
#include "gui/Handles.h"
#include "gui/MouseTypes.h"
#include "gui/PixelBlend.h"
#include "gui/Window.h"
#include "gui/Windowless.h"
#include "gui/ZoomGeometry.h"

namespace corvinade::gui {

// A 32-bit top-down DIB section selected into a memory DC of its own: a
// drawing surface whose pixels (0x00RRGGBB) are also directly at hand.
class Bitmap32 {
public:
    Bitmap32() = default;
    // Throws Error when the system has no memory for it.
    Bitmap32(int width, int height);
    Bitmap32(Bitmap32&& other) noexcept;
    Bitmap32& operator=(Bitmap32&& other) noexcept;
    Bitmap32(const Bitmap32&) = delete;
    Bitmap32& operator=(const Bitmap32&) = delete;
    ~Bitmap32();

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    HDC DC() const { return dc_.Get(); }
    HBITMAP Handle() const { return bitmap_.Get(); }
    std::uint32_t* Row(int y) const { return pixels_ + static_cast<std::size_t>(y) * width_; }

private:
    void Unselect();

    int width_ = 0, height_ = 0;
    std::uint32_t* pixels_ = nullptr;
    GdiObject<HBITMAP> bitmap_;
    MemoryDC dc_;
    HGDIOBJ previous_ = nullptr;
};

class ImageView : public Window, private WindowlessHost, private AccessibleContent {
public:
    // A child of `parent` at these client pixels (not design pixels: the
    // image has pixels of its own).
    ImageView(HWND parent, int left, int top, int width, int height);
    ImageView(const ImageView&) = delete;
    ImageView& operator=(const ImageView&) = delete;
    ~ImageView();

    void Place(int left, int top, int width, int height);

    // Takes the bitmap as its image, fitted to the view; the scroll range
    // follows it.
    void SetImage(Bitmap32 image);
    const Bitmap32& Image() const { return image_; }
    int ImageWidth() const { return image_.Width(); }
    int ImageHeight() const { return image_.Height(); }

    // A shade (premultiplied ARGB) blended over the image outside `clear`
    // (image pixels) while painting: no second image is kept for it.
    void SetShade(std::uint32_t shade, const RECT& clear);
    void RemoveShade();
    bool HasShade() const { return shade_.has_value(); }

    // The layer of windowless controls placed on the image.
    WindowlessLayer& Controls() { return layer_; }
    WindowlessHost& Host() { return *this; }

    // The zoom: fitted to the view, following its size, until another one
    // is set. A zoom keeps the image point under `anchor` (a client point)
    // where it is; StepZoom goes one step in or out.
    void ZoomToFit();
    void SetZoom(const Zoom& zoom, POINT anchor);
    void StepZoom(bool in, POINT anchor);
    const Zoom& CurrentZoom() const { return zoom_; }
    bool Fitting() const { return fitting_; }
    // After every change of the zoom.
    std::function<void()> OnZoomChange;

    // Where an image point shows in the client area, and the image pixel
    // shown at a client point (outside the image too).
    POINT ImageToClient(POINT image) const;
    POINT ClientToImage(POINT client) const;
    // View pixels of the zoomed image scrolled off the top-left corner.
    POINT ScrollPosition() const { return scroll_; }
    void ScrollTo(int x, int y);

    // What a screen reader reads for the image, a picture: asked each time
    // it does.
    std::function<std::string()> ScreenReaderName;
    // Tells screen readers when ScreenReaderName no longer gives the name
    // they last got. Setting the image checks too.
    void CheckScreenReaderName();

    // Mouse on the image (image pixels), not on a control. A press counts
    // only on the image; after it the view keeps the mouse until release.
    std::function<void(MouseButton, ShiftState, int x, int y)> OnMouseDown, OnMouseUp;
    std::function<void(ShiftState, int x, int y)> OnMouseMove;
    // Whether a press at an image pixel goes to the owner even where a
    // control lies on top (the owner's own things drawn on the image).
    std::function<bool(int x, int y)> OwnerTakesPress;
    // The cursor over an image pixel; null leaves it to the controls and the view.
    std::function<HCURSOR(int x, int y)> CursorAt;

    // Paints over the image's pixels of one band before they are shaded:
    // `first` is client pixel (area.left, area.top) of the band, rows
    // `stride` pixels apart; `area` is the part of the band the image shows.
    std::function<void(std::uint32_t* first, std::ptrdiff_t stride, const RECT& area)> OnPaintImage;

    // While taking keys the view wants every key and character with the
    // focus (the owner's text input): they go to OnKey (WM_KEYDOWN) and
    // OnCharacter (WM_CHAR, UTF-16 units).
    void TakeKeys(bool take) { takingKeys_ = take; }
    bool TakingKeys() const { return takingKeys_; }
    std::function<void(WPARAM key)> OnKey;
    std::function<void(wchar_t unit)> OnCharacter;

    // Repaints what shows of an area of the image (image pixels).
    void InvalidateImage(const RECT& area) { InvalidateHostRect(area); }

    // Takes the bitmap as its image, as SetImage does, and gives back the one it held.
    Bitmap32 ExchangeImage(Bitmap32 image);

private:
    LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    HWND HostWindow() const override { return window_; }
    void InvalidateHostRect(const RECT& area) override;
    POINT HostToClient(POINT p) const override { return ImageToClient(p); }
    POINT ClientToHost(POINT p) const override { return ClientToImage(p); }

    ZoomAxis Axis(bool horizontal) const;
    SIZE ClientSize() const;
    // The client size without scroll bars: the room a fitted image has.
    SIZE RoomWithoutBars() const;
    void Paint();
    void PrepareColumns(const RECT& area);
    void ComposeBand(const RECT& band);
    void ComposeRow(int y, const RECT& band, std::uint32_t* out);
    // The image's columns [left, right) of a composed row (relative to the band).
    void ImagePart(const RECT& band, int& left, int& right) const;
    void ShadeRow(int y, const RECT& band, std::uint32_t* out) const;
    void UpdateScrollBars();
    // OnZoomChange, when the zoom differs from the one last announced.
    void AnnounceZoom();
    void Scroll(int bar, WORD request);
    void Wheel(WPARAM wParam, LPARAM lParam);
    void Mouse(UINT msg, WPARAM wParam, LPARAM lParam);
    std::optional<std::string> AccessibleName() const override;
    std::optional<long> AccessibleRole() const override;

    Bitmap32 image_;
    Bitmap32 strip_; // a few rows of the client area, composed before they go to the screen
    struct Shade {
        Shader shader;
        RECT clear;
    };
    std::optional<Shade> shade_;
    WindowlessLayer layer_;
    Zoom zoom_;
    bool fitting_ = true;
    Zoom announcedZoom_;
    bool announcedFitting_ = true;
    bool updatingBars_ = false;
    int wheelDelta_ = 0; // of a wheel that turns in smaller steps
    POINT scroll_ = {0, 0};
    // While painting: the image columns [first, end) each client column of
    // the painted area shows (empty beside the image), and one row's sums.
    std::vector<int> columnFirst_, columnEnd_;
    std::vector<std::uint32_t> sums_;
    bool mouseOnImage_ = false; // a button went down on the image itself
    bool takingKeys_ = false;
    HostMouse hostMouse_;
    std::unique_ptr<AccessibleWindow> accessible_;
    std::string announcedName_;
};

} // namespace corvinade::gui
