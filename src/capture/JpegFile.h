// JPEG files of the capture window, encoded with libjpeg-turbo: the
// library's defaults, quality 90 with baseline tables, the same bytes as
// 24-bit RGB scan lines give.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <string>

#include "capture/BmpFile.h"

namespace corvinade {

// Where the compressed bytes grow: realloc and free, or a test's own.
struct JpegMemory {
    void* (*reallocate)(void* block, std::size_t size);
    void (*release)(void* block);
};

// The whole JPEG file in memory. Throws Error when libjpeg fails, also when
// the output cannot grow.
std::string EncodeJpeg(const PixelImage& image, JpegMemory memory = {std::realloc, std::free});

} // namespace corvinade
