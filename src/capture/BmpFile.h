// Image files of the capture window that need no library: the uncompressed
// Windows bitmap file, and the 32-bit image the window keeps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvinade {

// Pixels as 0x00RRGGBB (the byte order of a 32-bit DIB: B, G, R, x), rows
// top-down; the fourth byte plays no part in any output.
struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// A 24-bit uncompressed BMP file (BI_RGB, rows bottom-up, padded to 4 bytes).
std::string EncodeBmp(const PixelImage& image);

// The same pixels as 24-bit RGB scan lines, top-down, as libjpeg takes them.
std::vector<unsigned char> ToRgb24(const PixelImage& image);

} // namespace corvinade
