// The area "Capture region" takes: drags, clicks on windows, the keys, the
// last area; and what of the overlay each step repaints.
#include "capture/RegionGeometry.h"

#include <gmock/gmock.h>

#include <vector>

namespace corvinade {
namespace {

using Outcome = AreaPicker::Outcome;

// A 1024 x 768 monitor left of a 1920 x 1080 primary: the frozen virtual
// screen from -1024 to 1920. A window across both, under one on the primary.
const std::vector<MonitorArea> Monitors = {{{-1024, 0, 0, 768}, {-1024, 0, 0, 768}, 96, false},
                                           {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 144, true}};
const IntRect Screen = {-1024, 0, 1920, 1080};
const IntRect Top = {100, 100, 500, 400}, Across = {-300, 50, 700, 600};

AreaPicker Picker(std::optional<IntRect> last = std::nullopt, IntPoint pointer = {1000, 900}) {
    return AreaPicker({Screen, Monitors, {Top, Across}, last, pointer, 4});
}

TEST(AreaPicker, DragsAnArea) {
    AreaPicker p = Picker();
    p.Press({200, 150});
    p.Move({260, 190}, false);
    EXPECT_EQ(p.Shown(), (IntRect{200, 150, 260, 190}));
    EXPECT_EQ(p.Release({330, 250}), Outcome::Taken);
    EXPECT_EQ(p.Taken(), (IntRect{200, 150, 330, 250}));

    // Up and to the left, across the monitors, past the screen's edge.
    p.Press({100, 700});
    p.Move({-50, 300}, false);
    EXPECT_EQ(p.Release({-2000, -40}), Outcome::Taken);
    EXPECT_EQ(p.Taken(), (IntRect{-1024, 0, 100, 700}));

    // Ctrl held moves the area whole; its corner then goes on from there.
    p.Press({200, 200});
    p.Move({300, 260}, false);
    p.Move({350, 300}, true);
    EXPECT_EQ(p.Shown(), (IntRect{250, 240, 350, 300}));
    p.Move({360, 301}, false);
    EXPECT_EQ(p.Release({360, 301}), Outcome::Taken);
    EXPECT_EQ(p.Taken(), (IntRect{250, 240, 360, 301}));
}

TEST(AreaPicker, ClickTakesTheWindowUnderIt) {
    AreaPicker p = Picker();
    p.Move({150, 120}, false);
    EXPECT_EQ(p.Shown(), Top) << "the window under the pointer is shown";
    p.Press({150, 120});
    p.Move({153, 117}, false); // within the drag threshold
    EXPECT_EQ(p.Shown(), Top);
    EXPECT_EQ(p.Release({153, 117}), Outcome::Taken);
    EXPECT_EQ(p.Taken(), Top);

    p.Press({-200, 500});
    EXPECT_EQ(p.Release({-200, 500}), Outcome::Taken);
    EXPECT_EQ(p.Taken(), Across) << "a window across two monitors is taken whole";
    p.Press({-900, 700});
    EXPECT_EQ(p.Release({-900, 700}), Outcome::Taken);
    EXPECT_EQ(p.Taken(), Monitors[0].bounds) << "where no window is, its monitor";

    // A drag of no area ends without taking anything; the picking goes on.
    p.Press({800, 800});
    EXPECT_EQ(p.Release({900, 800}), Outcome::Going);
    EXPECT_FALSE(p.Dragging());
    EXPECT_EQ(p.Cancel(), Outcome::Cancelled);
}

TEST(AreaPicker, Keys) {
    // Enter at the start: the last area; without one, or with one off every
    // monitor now, what a click at the pointer takes.
    AreaPicker last = Picker(IntRect{10, 20, 330, 260});
    EXPECT_EQ(last.Enter(), Outcome::Taken);
    EXPECT_EQ(last.Taken(), (IntRect{10, 20, 330, 260}));
    AreaPicker none = Picker(std::nullopt, {120, 110});
    EXPECT_EQ(none.Enter(), Outcome::Taken);
    EXPECT_EQ(none.Taken(), Top);
    AreaPicker gone = Picker(IntRect{3000, 0, 3400, 300}, {120, 110});
    EXPECT_EQ(gone.Enter(), Outcome::Taken);
    EXPECT_EQ(gone.Taken(), Top);

    // Space starts at the pointer and takes; the arrows' single pixels count.
    AreaPicker keys = Picker(IntRect{10, 20, 330, 260}, {600, 600});
    EXPECT_EQ(keys.Space(), Outcome::Going);
    keys.Move({602, 601}, false);
    EXPECT_EQ(keys.Shown(), (IntRect{600, 600, 602, 601}));
    EXPECT_EQ(keys.Space(), Outcome::Taken);
    EXPECT_EQ(keys.Taken(), (IntRect{600, 600, 602, 601}));
    // Enter during a mouse drag takes it as it is.
    keys.Press({700, 700});
    keys.Move({720, 730}, false);
    EXPECT_EQ(keys.Enter(), Outcome::Taken);
    EXPECT_EQ(keys.Taken(), (IntRect{700, 700, 720, 730}));
}

// Inside the area, or on its frame `margin` around it.
int Look(const std::optional<IntRect>& area, int margin, int x, int y) {
    if (!area)
        return 0;
    const IntRect& a = *area;
    if (Contains(a, {x, y}))
        return 1;
    return Contains({a.left - margin, a.top - margin, a.right + margin, a.bottom + margin}, {x, y}) ? 2 : 0;
}

TEST(RegionOverlay, ChangedBandsHoldEveryChangedPixel) {
    const std::optional<IntRect> areas[] = {
        std::nullopt,           IntRect{10, 10, 30, 25}, IntRect{10, 10, 31, 25}, IntRect{9, 12, 30, 25},
        IntRect{12, 8, 28, 40}, IntRect{40, 5, 50, 9},   IntRect{0, 0, 60, 60},   IntRect{11, 11, 29, 24},
    };
    const int margin = 2;
    for (const auto& before : areas)
        for (const auto& after : areas) {
            const std::vector<IntRect> bands = ChangedBands(before, after, margin);
            for (int y = -5; y < 70; ++y)
                for (int x = -5; x < 70; ++x)
                    if (Look(before, margin, x, y) != Look(after, margin, x, y)) {
                        const bool held = std::any_of(bands.begin(), bands.end(), [&](const IntRect& b) {
                            return Contains(b, {x, y});
                        });
                        ASSERT_TRUE(held) << x << "," << y;
                    }
        }
}

// A drag step at 4K repaints two thin bands, not the screen.
TEST(RegionOverlay, DragStepRepaintsLittle) {
    const IntRect before = {500, 400, 2500, 1600}, after = {500, 400, 2503, 1602};
    long long painted = 0;
    for (const IntRect& b : ChangedBands(before, after, 2))
        painted += static_cast<long long>(b.Width()) * b.Height();
    EXPECT_LT(painted, 3840LL * 2160 / 100);
}

TEST(RegionOverlay, SizeLabelPlace) {
    const IntRect monitor = {0, 0, 1920, 1080};
    const IntPoint size = {80, 20};
    EXPECT_EQ(SizeLabelPlace({100, 100, 300, 200}, size, 6, monitor), (IntRect{100, 206, 180, 226}))
        << "below";
    EXPECT_EQ(SizeLabelPlace({100, 900, 300, 1070}, size, 6, monitor), (IntRect{100, 874, 180, 894}))
        << "above";
    EXPECT_EQ(SizeLabelPlace(monitor, size, 6, monitor), (IntRect{0, 6, 80, 26})) << "inside";
    EXPECT_EQ(SizeLabelPlace({1880, 100, 1920, 200}, size, 6, monitor), (IntRect{1840, 206, 1920, 226}))
        << "within the monitor";
    EXPECT_EQ(AreaSizeText({-10, 5, 290, 205}), "300 x 200");
}

} // namespace
} // namespace corvinade
