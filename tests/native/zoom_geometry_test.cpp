// The image view's zoom: the fitting zoom and the steps, the mapping between
// view and image pixels that the painting, the mouse and the selection's
// frame share, one axis of a centred or scrolled view, and where a capture
// window opens.
#include "capture/CaptureTarget.h"
#include "gui/ZoomGeometry.h"

#include <gtest/gtest.h>

namespace corvinade {
namespace {

using gui::Zoom;

TEST(ZoomGeometry, FitNeverEnlargesAndTakesTheTighterSide) {
    struct Case {
        int imageWidth, imageHeight, viewWidth, viewHeight;
        Zoom zoom;
        const char* text;
    };
    const Case cases[] = {
        {1280, 800, 1000, 700, {25, 32}, "78%"}, // the width decides: 1000 / 1280
        {1280, 800, 1200, 600, {3, 4}, "75%"},   // the height: 600 / 800
        {400, 300, 1000, 700, {1, 1}, "100%"},   // smaller: 1:1, never enlarged
        {1000, 700, 1000, 700, {1, 1}, "100%"},  {3840, 2160, 1, 1, {1, 3840}, "0%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Zoom zoom = gui::FitZoom(c.imageWidth, c.imageHeight, c.viewWidth, c.viewHeight);
        EXPECT_EQ(zoom, c.zoom);
        EXPECT_EQ(gui::ZoomText(zoom), c.text);
        EXPECT_LE(gui::ImageToView(c.imageWidth, zoom), c.viewWidth);
        EXPECT_LE(gui::ImageToView(c.imageHeight, zoom), c.viewHeight);
    }
}

TEST(ZoomGeometry, StepsGoFromAnyZoomToTheNextStepEitherWay) {
    EXPECT_EQ(gui::NextZoom({25, 32}, true), (Zoom{1, 1}));
    EXPECT_EQ(gui::NextZoom({25, 32}, false), (Zoom{3, 4}));
    EXPECT_EQ(gui::NextZoom({1, 1}, true), (Zoom{5, 4}));
    EXPECT_EQ(gui::NextZoom({1, 1}, false), (Zoom{3, 4}));
    EXPECT_EQ(gui::NextZoom({8, 1}, true), (Zoom{8, 1}));      // the largest stays
    EXPECT_EQ(gui::NextZoom({1, 100}, false), (Zoom{1, 100})); // below the smallest too
    EXPECT_EQ(gui::NextZoom({1, 100}, true), (Zoom{1, 20}));
    EXPECT_EQ(gui::MakeZoom(640, 1280), (Zoom{1, 2}));
}

// Every view pixel shows the image pixels whose start falls on it: the spans
// of consecutive view pixels follow each other without gap or overlap, and
// the pixel the mouse reports lies in its own span.
TEST(ZoomGeometry, ViewAndImagePixelsMapBothWaysWithoutGaps) {
    const Zoom zooms[] = {{1, 1}, {1, 2}, {2, 3}, {25, 32}, {1037, 1280}, {3, 2}, {8, 1}, {1, 20}};
    for (const Zoom& zoom : zooms) {
        SCOPED_TRACE(gui::ZoomText(zoom));
        std::int64_t expectedFirst = gui::ImageSpanAt(-50, zoom).first;
        for (std::int64_t v = -50; v < 3000; ++v) {
            const gui::ImageSpan span = gui::ImageSpanAt(v, zoom);
            ASSERT_LT(span.first, span.end) << v;
            const std::int64_t image = gui::ViewToImage(v, zoom);
            ASSERT_TRUE(image >= span.first && image < span.end) << v;
            // The image pixel reported at v starts on v or, enlarged, before it.
            ASSERT_LE(gui::ImageToView(image, zoom), v);
            ASSERT_GT(gui::ImageToView(image + 1, zoom), v);
            if (zoom.num <= zoom.den) { // shrunk: consecutive spans tile the image
                ASSERT_EQ(span.first, expectedFirst) << v;
                expectedFirst = span.end;
                ASSERT_EQ(gui::ImageToView(span.first, zoom), v);
            }
        }
    }
}

TEST(ZoomGeometry, AxisCentresAShortImageAndScrollsALongOne) {
    gui::ZoomAxis axis{400, 1000, 37, {1, 1}};
    EXPECT_EQ(axis.Origin(), 300); // centred; the scroll counts for nothing
    EXPECT_EQ(axis.ToClient(0), 300);
    EXPECT_EQ(axis.ToImage(299), -1);
    EXPECT_EQ(axis.ToImage(300), 0);

    axis = {1280, 1000, 100, {1, 1}};
    EXPECT_EQ(axis.MaxScroll(), 280);
    EXPECT_EQ(axis.Origin(), -100);
    EXPECT_EQ(axis.ToImage(0), 100);
    axis.scroll = 999; // beyond the range: as far as it goes
    EXPECT_EQ(axis.ToImage(999), 1279);

    axis = {1280, 1000, 0, {25, 32}}; // fitted: 1000 pixels
    EXPECT_EQ(axis.Content(), 1000);
    EXPECT_EQ(axis.ToClient(1280), 1000);
    EXPECT_EQ(axis.ToImage(999), 1279);
}

// Zooming keeps the image point under the anchor where it is: 1:1 from a
// fitted image about a corner of the view shows that corner, about the
// middle the middle.
TEST(ZoomGeometry, ZoomKeepsThePointUnderTheAnchor) {
    const gui::ZoomAxis fitted{1280, 1000, 0, {25, 32}};
    EXPECT_EQ(gui::ScrollKeeping(fitted, {1, 1}, 0), 0);
    EXPECT_EQ(gui::ScrollKeeping(fitted, {1, 1}, 999), 280);
    const int scroll = gui::ScrollKeeping(fitted, {1, 1}, 500);
    const gui::ImageSpan shown = gui::ImageSpanAt(500, fitted.zoom);
    const std::int64_t after = gui::ZoomAxis{1280, 1000, scroll, {1, 1}}.ToImage(500);
    EXPECT_TRUE(after >= shown.first && after < shown.end) << after;

    const gui::ZoomAxis centred{400, 1000, 0, {1, 1}}; // from 300 to 700
    const int zoomedIn = gui::ScrollKeeping(centred, {4, 1}, 500);
    EXPECT_EQ((gui::ZoomAxis{400, 1000, zoomedIn, {4, 1}}.ToImage(500)), 200);
    // The left edge cannot stay at 300 at 400 %: the image starts at the edge.
    EXPECT_EQ(gui::ScrollKeeping(centred, {4, 1}, 310), 0);
}

// The window's size; the form keeps it within the work area and centres it.
TEST(CaptureWindowSize, ImageAtItsSizeOrFittedIntoTheWorkArea) {
    const IntPoint chrome = {20, 100}, minimum = {770, 300};
    struct Case {
        const char* name;
        IntPoint room;
        int imageWidth, imageHeight;
        IntPoint size;
    };
    const Case cases[] = {
        {"small: the minimum", {1280, 780}, 300, 100, {770, 300}},
        {"1:1", {1280, 780}, 800, 500, {820, 600}},
        // 1280 x 800 into the 1260 x 680 the window's parts leave: 680 / 800
        // of it, 1088 x 680, without bands beside it.
        {"fitted", {1280, 780}, 1280, 800, {1108, 780}},
        {"fitted across", {1280, 780}, 2520, 400, {1280, 300}},
        {"smaller monitor", {1024, 676}, 1024, 768, {788, 676}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CaptureWindowSize(c.room, c.imageWidth, c.imageHeight, chrome, minimum), c.size);
    }
}

} // namespace
} // namespace corvinade
