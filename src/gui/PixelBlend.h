// Blending of one overlay pixel over one image pixel. Portable, so the
// arithmetic is tested natively.
#pragma once

#include <cstdint>

namespace corvinade::gui {

// image is 0x00RRGGBB; overlay is premultiplied ARGB. A channel comes out as
// overlay + image * (255 - alpha) / 255, rounded.
inline std::uint32_t BlendPixel(std::uint32_t image, std::uint32_t overlay) {
    const std::uint32_t a = overlay >> 24;
    if (a == 0)
        return (image & 0x00FFFFFFu) + (overlay & 0x00FFFFFFu);
    const std::uint32_t keep = 255 - a;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t c = ((image >> shift) & 0xFFu) * keep;
        const std::uint32_t v = ((overlay >> shift) & 0xFFu) + (c + 127) / 255;
        out |= (v > 255 ? 255 : v) << shift;
    }
    return out;
}

// A pixel (0x00RRGGBB) of a Windows colour value (0x00BBGGRR).
inline std::uint32_t PixelOfColorRef(std::uint32_t colorRef) {
    return (colorRef & 0xFFu) << 16 | (colorRef & 0xFF00u) | (colorRef >> 16 & 0xFFu);
}

// The premultiplied shade that lays `pixel` (0x00RRGGBB) at `alpha` over an image.
inline std::uint32_t ShadeOf(std::uint32_t pixel, std::uint32_t alpha) {
    std::uint32_t out = alpha << 24;
    for (int shift = 0; shift < 24; shift += 8)
        out |= (((pixel >> shift) & 0xFFu) * alpha + 127) / 255 << shift;
    return out;
}

// One shade colour blended over many pixels, as BlendPixel would, through
// a table per channel: the capture window shades large areas while painting.
class Shader {
public:
    explicit Shader(std::uint32_t shade) {
        const std::uint32_t keep = 255 - (shade >> 24);
        for (int channel = 0; channel < 3; ++channel)
            for (std::uint32_t c = 0; c < 256; ++c) {
                const std::uint32_t v = ((shade >> (8 * channel)) & 0xFFu) + (c * keep + 127) / 255;
                table_[channel][c] = v > 255 ? 255 : v;
            }
    }

    std::uint32_t operator()(std::uint32_t pixel) const {
        return table_[0][pixel & 0xFFu] | table_[1][(pixel >> 8) & 0xFFu] << 8 |
               table_[2][(pixel >> 16) & 0xFFu] << 16;
    }

    // Shades the pixels of one row that lie outside the image columns
    // [clearLeft, clearRight); row[0] is image column x0. With
    // clearLeft >= clearRight the whole row is shaded.
    void ShadeOutside(std::uint32_t* row, int x0, int count, int clearLeft, int clearRight) const {
        if (clearLeft >= clearRight)
            clearLeft = clearRight = x0 + count;
        const int clearStart = clearLeft - x0 < 0 ? 0 : (clearLeft - x0 > count ? count : clearLeft - x0);
        const int clearEnd =
            clearRight - x0 < clearStart ? clearStart : (clearRight - x0 > count ? count : clearRight - x0);
        for (int i = 0; i < clearStart; ++i)
            row[i] = (*this)(row[i]);
        for (int i = clearEnd; i < count; ++i)
            row[i] = (*this)(row[i]);
    }

private:
    std::uint32_t table_[3][256];
};

} // namespace corvinade::gui
