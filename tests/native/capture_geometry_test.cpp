// The capture window's portable rules: selection rectangle, normalizing,
// the double release with a given clock, the format chosen by the file name,
// and the dimming overlay.
#include "capture/BmpFile.h"
#include "capture/SelectionGeometry.h"

#include <gmock/gmock.h>

#include <cstring>

namespace corvinade {
namespace {

TEST(CaptureGeometry, NormalizeMakesTheSizePositive) {
    // Dragged from (200, 150) to (120, 100): the release point becomes the top-left corner.
    EXPECT_EQ(NormalizeSelection({200, 150, -80, -50}), (Bounds{120, 100, 80, 50}));
    EXPECT_EQ(NormalizeSelection({200, 150, 80, -50}), (Bounds{200, 100, 80, 50}));
    EXPECT_EQ(NormalizeSelection({200, 150, -80, 50}), (Bounds{120, 150, 80, 50}));
    EXPECT_EQ(NormalizeSelection({1, 2, 0, 0}), (Bounds{1, 2, 0, 0}));
}

TEST(CaptureGeometry, SelectionRectIsOrderedAndClippedToTheImage) {
    struct Case {
        bool visible;
        Bounds selection;
        IntRect rect;
    };
    const Case cases[] = {
        {false, {10, 10, 20, 20}, {0, 0, 640, 480}},
        {true, {10, 20, 30, 40}, {10, 20, 40, 60}},
        {true, {40, 60, -30, -40}, {10, 20, 40, 60}},
        {true, {-20, -10, 100, 50}, {0, 0, 80, 40}},
        {true, {600, 450, 100, 100}, {600, 450, 640, 480}},
        {true, {700, 500, 50, 50}, {700, 500, 640, 480}}, // wholly off: empty after clipping
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectionRect(c.visible, c.selection, 640, 480), c.rect);
    // What save, copy and crop use: an empty clipped selection means the whole image.
    EXPECT_EQ(RenderRect(true, {700, 500, 50, 50}, 640, 480), (IntRect{0, 0, 640, 480}));
    EXPECT_EQ(RenderRect(true, {-20, -10, 100, 50}, 640, 480), (IntRect{0, 0, 80, 40}));
    EXPECT_EQ(RenderRect(false, {1, 1, 5, 5}, 640, 480), (IntRect{0, 0, 640, 480}));
}

TEST(CaptureGeometry, OnlyTheLeftButtonAloneDrawsASelection) {
    using namespace gui;
    EXPECT_TRUE(IsLeftButtonAlone(ssLeft));
    for (ShiftState s : {ShiftState{0}, ssLeft | ssShift, ssLeft | ssCtrl, ssLeft | ssAlt, ssLeft | ssRight,
                         ssLeft | ssMiddle, ssRight})
        EXPECT_FALSE(IsLeftButtonAlone(s)) << s;
}

TEST(CaptureGeometry, TwoReleasesWithin250MsCrop) {
    struct Step {
        std::uint32_t now;
        bool crops;
        std::uint32_t stored;
    };
    // The stored tick starts at 0; a crop does not store the tick.
    const Step steps[] = {
        {1000, false, 1000}, {1249, true, 1000},  {1250, false, 1250}, {1499, true, 1250},
        {1400, true, 1250},  {1600, false, 1600}, {1849, true, 1600},  {1850, false, 1850},
    };
    SelectionReleaseClock clock;
    EXPECT_EQ(clock.LastSelectionClickTick(), 0u);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.now);
        EXPECT_EQ(clock.Release(s.now), s.crops);
        EXPECT_EQ(clock.LastSelectionClickTick(), s.stored);
    }
    // The tick count wraps after 49.7 days; the difference is taken unsigned.
    SelectionReleaseClock wrap;
    EXPECT_FALSE(wrap.Release(0xFFFFFFF0u));
    EXPECT_TRUE(wrap.Release(0x00000010u));
    EXPECT_FALSE(wrap.Release(0x00000200u));
    // Right after the system starts, the first release already counts as a second one.
    SelectionReleaseClock early;
    EXPECT_TRUE(early.Release(100));
}

TEST(CaptureGeometry, FormatFollowsTheFileNameAlone) {
    struct Case {
        const char* name;
        const char* extension;
        ImageFormat format;
    };
    const Case cases[] = {
        {"C:\\shots\\a.jpg", ".jpg", ImageFormat::Jpeg},    {"C:\\shots\\a.JPEG", ".JPEG", ImageFormat::Jpeg},
        {"C:\\shots\\a.Jpg", ".Jpg", ImageFormat::Jpeg},    {"C:\\shots\\a.bmp", ".bmp", ImageFormat::Bmp},
        {"C:\\shots\\a.PNG", ".PNG", ImageFormat::Png},     {"C:\\shots\\a", "", ImageFormat::Bmp},
        {"C:\\shots.jpg\\a", "", ImageFormat::Bmp},         {"C:\\shots.d/a", "", ImageFormat::Bmp},
        {"C:\\shots\\a.jpg.bmp", ".bmp", ImageFormat::Bmp}, {"C:\\shots\\a.", ".", ImageFormat::Bmp},
        {"C:\\shots\\a.jpeg ", ".jpeg ", ImageFormat::Bmp}, {"a.jpe", ".jpe", ImageFormat::Bmp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileExtension(c.name), c.extension);
        EXPECT_EQ(FormatForFileName(c.name), c.format);
    }
}

TEST(CaptureGeometry, TypeChangeReplacesTheExtension) {
    EXPECT_EQ(DefaultExtensionForFilter(1), "jpg");
    EXPECT_EQ(DefaultExtensionForFilter(2), "bmp");
    EXPECT_EQ(DefaultExtensionForFilter(3), "png");
    EXPECT_EQ(DefaultExtensionForFilter(0), "bmp");
    EXPECT_EQ(ChangeFileExtension("C:\\a\\shot.jpg", ".bmp"), "C:\\a\\shot.bmp");
    EXPECT_EQ(ChangeFileExtension("C:\\a\\shot", ".jpg"), "C:\\a\\shot.jpg");
    EXPECT_EQ(ChangeFileExtension("C:\\a.b\\shot", ".jpg"), "C:\\a.b\\shot.jpg");
    EXPECT_EQ(ChangeFileExtension("C:\\a\\x.tar.gz", ".bmp"), "C:\\a\\x.tar.bmp");
}

TEST(CaptureGeometry, ShadingLeavesTheClearColumnsOfTheRowAlone) {
    const std::uint32_t W = 0x00FFFFFFu, D = 0x00696969u; // white, and white dimmed
    const gui::Shader dim(DimColour);
    std::vector<std::uint32_t> row(6, W);
    // The part of an image row from column 2 on, clear columns 3 and 4.
    dim.ShadeOutside(row.data(), 2, 6, 3, 5);
    EXPECT_THAT(row, ::testing::ElementsAre(D, W, W, D, D, D));
    row.assign(3, W);
    dim.ShadeOutside(row.data(), 0, 3, 0, 0); // a row outside the clear rectangle
    EXPECT_THAT(row, ::testing::Each(D));
    row.assign(3, W);
    dim.ShadeOutside(row.data(), 10, 3, -5, 20); // all inside
    EXPECT_THAT(row, ::testing::Each(W));
    for (std::uint32_t c : {0x00000000u, 0x00FF8000u, 0x00123456u, 0x007F80FFu})
        EXPECT_EQ(dim(c), BlendPixel(c, DimColour)) << std::hex << c;
    EXPECT_EQ(gui::Shader(0xFF0000FFu)(0x00123456u), 0x000000FFu);
}

TEST(CaptureGeometry, DimmedPixelsKeep105Of255) {
    EXPECT_EQ(BlendPixel(0x00FFFFFFu, DimColour), 0x00696969u); // 255 * 105 / 255 = 105
    EXPECT_EQ(BlendPixel(0x00FF8000u, DimColour), 0x00693500u); // 128 * 105 / 255 = 52.7
    EXPECT_EQ(BlendPixel(0x00123456u, 0u), 0x00123456u);
    EXPECT_EQ(BlendPixel(0x00123456u, 0xFF0000FFu), 0x000000FFu);
}

std::uint32_t Le32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, s.data() + at, 4);
    return v;
}

TEST(BmpFile, Uncompressed24BitBottomUpWithPaddedRows) {
    PixelImage image{3, 2, {0x00112233u, 0x00445566u, 0xFF778899u, 0x00AABBCCu, 0x00DDEEFFu, 0x00010203u}};
    const std::string bmp = EncodeBmp(image);
    const std::size_t stride = 12; // 9 bytes padded to 12
    ASSERT_EQ(bmp.size(), 54 + stride * 2);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Le32(bmp, 2), bmp.size());
    EXPECT_EQ(Le32(bmp, 10), 54u);
    EXPECT_EQ(Le32(bmp, 14), 40u);
    EXPECT_EQ(static_cast<int>(Le32(bmp, 18)), 3);
    EXPECT_EQ(static_cast<int>(Le32(bmp, 22)), 2);
    EXPECT_EQ(Le32(bmp, 26), 1u | (24u << 16));
    EXPECT_EQ(Le32(bmp, 30), 0u); // BI_RGB
    const unsigned char expected[] = {
        0xCC, 0xBB, 0xAA, 0xFF, 0xEE, 0xDD, 0x03, 0x02, 0x01, 0, 0, 0, // bottom row first
        0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0, 0, 0,
    };
    EXPECT_EQ(bmp.substr(54), std::string(reinterpret_cast<const char*>(expected), sizeof expected));
    EXPECT_THAT(ToRgb24(image), ::testing::ElementsAre(0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99,
                                                       0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x01, 0x02, 0x03));
}

} // namespace
} // namespace corvinade
