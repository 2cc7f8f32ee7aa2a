// The JPEG encoder over libjpeg; see JpegFile.h.
#include "capture/JpegFile.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include <jerror.h>

#include "core/Errors.h"

namespace corvinade {

namespace {

// libjpeg reports a failure by calling error_exit, which must not return;
// no exception may pass through the C library, so we jump back over it.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->escape, 1);
}

// The compressed bytes, in a block of ours that doubles when full: the one
// pointer to it is ours on every path out, the failed ones included (the
// library's own memory destination frees a block the caller still names
// when it grows).
struct MemoryDestination {
    jpeg_destination_mgr base;
    JpegMemory memory;
    unsigned char* block;
    std::size_t capacity;

    static MemoryDestination& Of(j_compress_ptr cinfo) {
        return *reinterpret_cast<MemoryDestination*>(cinfo->dest);
    }

    void Grow(j_compress_ptr cinfo) {
        const std::size_t size = capacity == 0 ? 65536 : capacity * 2;
        auto* grown = static_cast<unsigned char*>(memory.reallocate(block, size));
        if (!grown)
            ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
        block = grown;
        base.next_output_byte = block + capacity;
        base.free_in_buffer = size - capacity;
        capacity = size;
    }
    std::size_t Written() const { return capacity - base.free_in_buffer; }

    static void Init(j_compress_ptr cinfo) { Of(cinfo).Grow(cinfo); }
    static boolean Empty(j_compress_ptr cinfo) {
        // The library calls this with the whole block full.
        Of(cinfo).base.free_in_buffer = 0;
        Of(cinfo).Grow(cinfo);
        return TRUE;
    }
    static void Term(j_compress_ptr) {}
};

// Everything between setjmp and the jump holds only plain data, so the jump
// skips no destructor. Returns false with `message` filled on failure.
// The pixels (0x00RRGGBB, so B, G, R, X in memory) go to libjpeg-turbo as
// they are: its BGRX input converts to the same YCbCr as RGB input would.
bool Compress(const PixelImage& image, JSAMPROW* rows, MemoryDestination& out, ErrorManager& errors) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    if (setjmp(errors.escape)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    cinfo.dest = &out.base;
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
        jpeg_write_scanlines(&cinfo, rows + cinfo.next_scanline, cinfo.image_height - cinfo.next_scanline);
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

std::string EncodeJpeg(const PixelImage& image, JpegMemory memory) {
    if (image.width <= 0 || image.height <= 0)
        throw Error("Cannot encode an empty image");
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(image.height));
    for (std::size_t y = 0; y < rows.size(); ++y)
        rows[y] = reinterpret_cast<JSAMPROW>(
            const_cast<std::uint32_t*>(image.pixels.data() + y * static_cast<std::size_t>(image.width)));
    ErrorManager errors{};
    MemoryDestination out{
        {nullptr, 0, MemoryDestination::Init, MemoryDestination::Empty, MemoryDestination::Term},
        memory,
        nullptr,
        0};
    const bool ok = Compress(image, rows.data(), out, errors);
    std::string file;
    if (ok)
        file.assign(reinterpret_cast<const char*>(out.block), out.Written());
    memory.release(out.block);
    if (!ok)
        throw Error(std::string("JPEG error: ") + errors.message);
    return file;
}

} // namespace corvinade
