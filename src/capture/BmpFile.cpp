// The uncompressed BMP writer and the RGB conversion; see BmpFile.h.
#include "capture/BmpFile.h"

namespace corvinade {

namespace {

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

std::string EncodeBmp(const PixelImage& image) {
    constexpr std::uint32_t FileHeaderSize = 14, InfoHeaderSize = 40;
    const std::uint32_t width = static_cast<std::uint32_t>(image.width);
    const std::uint32_t height = static_cast<std::uint32_t>(image.height);
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    const std::uint32_t dataSize = stride * height;
    std::string out;
    out.reserve(FileHeaderSize + InfoHeaderSize + dataSize);
    out += "BM";
    Put32(out, FileHeaderSize + InfoHeaderSize + dataSize);
    Put32(out, 0);
    Put32(out, FileHeaderSize + InfoHeaderSize);
    Put32(out, InfoHeaderSize);
    Put32(out, width);
    Put32(out, height); // positive: bottom-up
    Put16(out, 1);      // planes
    Put16(out, 24);     // bits per pixel
    Put32(out, 0);      // BI_RGB
    Put32(out, dataSize);
    Put32(out, 3780); // 96 dpi in pixels per metre
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    const std::size_t headerEnd = out.size();
    out.resize(headerEnd + dataSize, '\0');
    for (std::uint32_t y = 0; y < height; ++y) {
        char* row = out.data() + headerEnd + static_cast<std::size_t>(height - 1 - y) * stride;
        const std::uint32_t* src = image.pixels.data() + static_cast<std::size_t>(y) * width;
        for (std::uint32_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<char>(src[x] & 0xFF);
            row[3 * x + 1] = static_cast<char>((src[x] >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<char>((src[x] >> 16) & 0xFF);
        }
    }
    return out;
}

std::vector<unsigned char> ToRgb24(const PixelImage& image) {
    std::vector<unsigned char> rgb(image.pixels.size() * 3);
    unsigned char* out = rgb.data();
    for (std::uint32_t p : image.pixels) {
        *out++ = static_cast<unsigned char>((p >> 16) & 0xFF);
        *out++ = static_cast<unsigned char>((p >> 8) & 0xFF);
        *out++ = static_cast<unsigned char>(p & 0xFF);
    }
    return rgb;
}

} // namespace corvinade
