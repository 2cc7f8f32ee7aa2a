// The image view: a child window that shows a 32-bit bitmap 1:1 from its
// top-left corner on black (in high contrast on the system's colour),
// scrolls when the bitmap is larger than the window, shades all but one
// rectangle of it while painting, hosts windowless controls placed in image
// coordinates, reports the mouse in image pixels, and gives screen readers
// the name its owner makes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gui/Accessible.h"
#include "gui/Handles.h"
#include "gui/MouseTypes.h"
#include "gui/PixelBlend.h"
#include "gui/Window.h"
#include "gui/Windowless.h"

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
    // image is never scaled).
    ImageView(HWND parent, int left, int top, int width, int height);
    ImageView(const ImageView&) = delete;
    ImageView& operator=(const ImageView&) = delete;
    ~ImageView();

    void Place(int left, int top, int width, int height);

    // Takes the bitmap as its image; the view's scroll range follows it.
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

    // Top-left image pixel shown at the window's top-left corner.
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

private:
    LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    HWND HostWindow() const override { return window_; }
    void InvalidateHostRect(const RECT& area) override;

    void Paint();
    void ComposeBand(const RECT& band);
    void UpdateScrollBars();
    void Scroll(int bar, WORD request);
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
    POINT scroll_ = {0, 0};
    bool mouseOnImage_ = false; // a button went down on the image itself
    HostMouse hostMouse_;
    std::unique_ptr<AccessibleWindow> accessible_;
    std::string announcedName_;
};

} // namespace corvinade::gui
