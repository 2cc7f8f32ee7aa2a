// PNG files of the capture window, and the clipboard's "PNG": lossless,
// 24-bit colour, encoded by the system's own codecs (Windows Imaging
// Component), which are loaded the first time a PNG is made.
#pragma once

#include <string>

#include "capture/BmpFile.h"

namespace corvinade {

// The whole PNG file in memory. Throws Error when the system cannot encode it.
std::string EncodePng(const PixelImage& image);

} // namespace corvinade
