// The image list; see ImageList.h.
#include "gui/ImageList.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace corvinade::gui {

namespace {

// Top-down 32-bit pixels of a bitmap, 0xAARRGGBB.
std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC screen = ::GetDC(nullptr);
    const int rows =
        ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != height)
        pixels.clear();
    return pixels;
}

// The icon's colours with their alpha: its own, or, for an icon without
// one, opaque where its mask is clear.
std::vector<std::uint32_t> IconPixels(HICON icon, int size) {
    ICONINFO parts = {};
    if (!::GetIconInfo(icon, &parts))
        return {};
    const GdiObject<HBITMAP> colour(parts.hbmColor), mask(parts.hbmMask);
    if (!colour)
        return {};
    std::vector<std::uint32_t> pixels = BitmapPixels(colour.Get(), size, size);
    const std::vector<std::uint32_t> masked = BitmapPixels(mask.Get(), size, size);
    const bool hasAlpha = std::ranges::any_of(pixels, [](std::uint32_t p) { return (p >> 24) != 0; });
    if (!hasAlpha && masked.size() == pixels.size())
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = (pixels[i] & 0xFFFFFFu) | ((masked[i] & 0xFFFFFFu) ? 0u : 0xFF000000u);
    return pixels;
}

// Grey at three fifths of its opacity, so that the mark stands out.
void GreyAndFade(std::vector<std::uint32_t>& pixels) {
    for (std::uint32_t& p : pixels) {
        const std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        const std::uint32_t grey = (r * 30 + g * 59 + b * 11) / 100;
        const std::uint32_t alpha = (p >> 24) * 3 / 5;
        p = (alpha << 24) | (grey << 16) | (grey << 8) | grey;
    }
}

// Two dark bars on a white square in the lower right corner.
void DrawPauseMark(std::vector<std::uint32_t>& pixels, int size) {
    const int unit = std::max(1, size / 16);
    auto fill = [&](int left, int top, int right, int bottom, std::uint32_t colour) {
        for (int y = std::max(0, top); y < std::min(size, bottom); ++y)
            for (int x = std::max(0, left); x < std::min(size, right); ++x)
                pixels[static_cast<std::size_t>(y * size + x)] = colour;
    };
    const int left = size - 9 * unit, top = size - 9 * unit;
    fill(left, top, size, size, 0xFFFFFFFFu);
    fill(left + 2 * unit, top + 2 * unit, left + 4 * unit, size - unit, 0xFF202020u);
    fill(left + 5 * unit, top + 2 * unit, left + 7 * unit, size - unit, 0xFF202020u);
}

} // namespace

bool ImageList::AddIcon(HICON icon) {
    UniqueIcon copy(static_cast<HICON>(::CopyImage(icon, IMAGE_ICON, width_, height_, 0)));
    if (!copy)
        return false;
    icons_.push_back(std::move(copy));
    return true;
}

bool ImageList::AddPausedCopy(int index) {
    if (index < 0 || index >= Count() || width_ != height_)
        return false;
    const int size = width_;
    std::vector<std::uint32_t> pixels = IconPixels(icons_[static_cast<std::size_t>(index)].Get(), size);
    if (pixels.empty())
        return false;
    GreyAndFade(pixels);
    DrawPauseMark(pixels, size);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const GdiObject<HBITMAP> colour(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    // All clear: the alpha of the colours decides.
    const std::vector<BYTE> zeros(static_cast<std::size_t>((size + 15) / 16 * 2 * size), 0);
    const GdiObject<HBITMAP> mask(::CreateBitmap(size, size, 1, 1, zeros.data()));
    if (!colour || !mask || !bits)
        return false;
    std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
    ICONINFO parts = {};
    parts.fIcon = TRUE;
    parts.hbmColor = colour.Get();
    parts.hbmMask = mask.Get();
    UniqueIcon paused(::CreateIconIndirect(&parts));
    if (!paused)
        return false;
    icons_.push_back(std::move(paused));
    return true;
}

HICON ImageList::CopyIcon(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return ::CopyIcon(icons_[static_cast<std::size_t>(index)].Get());
}

} // namespace corvinade::gui
