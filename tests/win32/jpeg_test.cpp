// libjpeg-turbo, built for the target from Debian's sources, encodes and
// decodes a small image inside a Windows process.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <vector>

#include <jpeglib.h>

#include "capture/JpegFile.h"
#include "core/Errors.h"

namespace {

constexpr int Width = 40;
constexpr int Height = 24;

// Left half red, right half blue, as 24-bit RGB scan lines.
std::vector<unsigned char> TwoColourImage() {
    std::vector<unsigned char> pixels(Width * Height * 3);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            unsigned char* p = &pixels[(y * Width + x) * 3];
            p[0] = x < Width / 2 ? 220 : 10;
            p[1] = 20;
            p[2] = x < Width / 2 ? 30 : 200;
        }
    return pixels;
}

std::vector<unsigned char> Encode(const std::vector<unsigned char>& rgb) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = Width;
    cinfo.image_height = Height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(&rgb[cinfo.next_scanline * Width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

std::vector<unsigned char> Decode(const std::vector<unsigned char>& file, int& width, int& height) {
    jpeg_decompress_struct dinfo{};
    jpeg_error_mgr jerr{};
    dinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&dinfo);
    jpeg_mem_src(&dinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&dinfo, TRUE);
    dinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&dinfo);
    width = static_cast<int>(dinfo.output_width);
    height = static_cast<int>(dinfo.output_height);
    std::vector<unsigned char> rgb(width * height * 3);
    while (dinfo.output_scanline < dinfo.output_height) {
        JSAMPROW row = &rgb[dinfo.output_scanline * width * 3];
        jpeg_read_scanlines(&dinfo, &row, 1);
    }
    jpeg_finish_decompress(&dinfo);
    jpeg_destroy_decompress(&dinfo);
    return rgb;
}

} // namespace

TEST(Jpeg, EncodesAnImageThatDecodesToTheSamePixels) {
    const std::vector<unsigned char> original = TwoColourImage();
    const std::vector<unsigned char> file = Encode(original);
    ASSERT_GT(file.size(), 4u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8); // start of image
    EXPECT_EQ(file[file.size() - 2], 0xFF);
    EXPECT_EQ(file[file.size() - 1], 0xD9); // end of image

    int width = 0, height = 0;
    const std::vector<unsigned char> decoded = Decode(file, width, height);
    ASSERT_EQ(width, Width);
    ASSERT_EQ(height, Height);
    // Away from the colour edge, quality 90 keeps each channel close.
    for (int y = 0; y < Height; ++y)
        for (int x : {2, 8, Width - 9, Width - 3})
            for (int c = 0; c < 3; ++c) {
                const int i = (y * Width + x) * 3 + c;
                EXPECT_NEAR(decoded[i], original[i], 12) << "x=" << x << " y=" << y << " c=" << c;
            }
}

// The program hands its pixels to the encoder as they are in memory; the
// file must be the one 24-bit RGB scan lines of the same colours give, byte
// for byte, over an image of every kind of colour.
TEST(Jpeg, ProgramEncoderWritesTheBytesOfRgbInput) {
    corvinade::PixelImage image{Width, Height, {}};
    std::vector<unsigned char> rgb;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const unsigned r = (x * 37 + y * 11) & 0xFF, g = (x * 5 + y * 53) & 0xFF, b = (x * y * 7) & 0xFF;
            image.pixels.push_back((r << 16) | (g << 8) | b);
            rgb.insert(rgb.end(), {static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                                   static_cast<unsigned char>(b)});
        }
    const std::string file = corvinade::EncodeJpeg(image);
    const std::vector<unsigned char> expected = Encode(rgb);
    EXPECT_EQ(std::vector<unsigned char>(file.begin(), file.end()), expected);
}

// The output block through a recording allocator that refuses its Nth
// request: every block it gave is freed exactly once, whether the encoder
// ends with the file or with the error, also when the refusal comes after
// the block has grown.
namespace tracked {
std::set<void*> live;
int refuseAt = 0, requests = 0, strayFrees = 0;
void* Reallocate(void* block, std::size_t size) {
    if (++requests == refuseAt)
        return nullptr;
    void* grown = std::realloc(block, size);
    if (grown) {
        live.erase(block);
        live.insert(grown);
    }
    return grown;
}
void Release(void* block) {
    if (block && live.erase(block) == 0)
        ++strayFrees;
    if (block)
        std::free(block);
}
} // namespace tracked

TEST(Jpeg, OutputBlockIsFreedOnceOnEveryPath) {
    // Noise compresses badly: the file outgrows the first block.
    corvinade::PixelImage image{400, 400, {}};
    unsigned seed = 1;
    for (int i = 0; i < 400 * 400; ++i)
        image.pixels.push_back((seed = seed * 1103515245u + 12345u) >> 8);
    const corvinade::JpegMemory memory{tracked::Reallocate, tracked::Release};
    for (int refuseAt : {0, 1, 2, 3}) {
        SCOPED_TRACE(refuseAt);
        tracked::refuseAt = refuseAt;
        tracked::requests = tracked::strayFrees = 0;
        if (refuseAt == 0) {
            const std::string file = corvinade::EncodeJpeg(image, memory);
            EXPECT_EQ(file, corvinade::EncodeJpeg(image));
            EXPECT_GE(tracked::requests, 3) << "the block never grew";
        } else {
            EXPECT_THROW(corvinade::EncodeJpeg(image, memory), corvinade::Error);
        }
        EXPECT_TRUE(tracked::live.empty());
        EXPECT_EQ(tracked::strayFrees, 0);
    }
}
