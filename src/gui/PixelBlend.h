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

} // namespace corvinade::gui
