// JPEG files of the capture window, encoded with libjpeg-turbo: the
// library's defaults, quality 90 with baseline tables, the same bytes as
// 24-bit RGB scan lines give.
#pragma once

#include <string>

#include "capture/BmpFile.h"

namespace corvinade {

// The whole JPEG file in memory. Throws Error when libjpeg fails.
std::string EncodeJpeg(const PixelImage& image);

} // namespace corvinade
