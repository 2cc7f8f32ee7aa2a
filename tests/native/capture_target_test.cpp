// The grab on desktops of one and more monitors, given as data: which
// monitor a window belongs to and what "Capture active window" and
// "Capture screen" take from it.
#include "capture/CaptureTarget.h"

#include <gmock/gmock.h>

#include <optional>
#include <vector>

namespace corvinade {
namespace {

using Layout = std::vector<MonitorArea>;

// One 1280 x 800 screen with a 20-pixel taskbar at the bottom.
const Layout Single = {{{0, 0, 1280, 800}, {0, 0, 1280, 780}, 96, true}};
const Layout SingleLeftTaskbar = {{{0, 0, 1280, 800}, {60, 0, 1280, 800}, 96, true}};
// A 1920 x 1080 primary at 100% with its taskbar, a 2560 x 1440 monitor at 150% right of it.
const Layout SideBySide = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true},
                           {{1920, 0, 4480, 1440}, {1920, 0, 4480, 1440}, 144, false}};
// A 1280 x 1024 monitor left of the primary, enumerated first.
const Layout LeftOfPrimary = {{{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}, 96, false},
                              {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true}};
const Layout Above = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true},
                      {{0, -1080, 1920, 0}, {0, -1080, 1920, 0}, 120, false}};
// The taskbar on the secondary monitor, along its left edge next to the primary.
const Layout SecondaryTaskbar = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, 96, true},
                                 {{1920, 0, 3840, 1080}, {1980, 0, 3840, 1080}, 96, false}};

constexpr bool Window = true, Screen = false;

TEST(CaptureTarget, GrabAndMonitorOnEveryLayout) {
    struct Case {
        const char* name;
        const Layout& layout;
        bool activeWindowOnly;
        std::optional<IntRect> foreground;
        IntRect grab;
        std::size_t monitor;
    };
    const Case cases[] = {
        // One monitor: as on the primary screen alone.
        {"screen", Single, Screen, IntRect{100, 50, 700, 450}, {0, 0, 1280, 800}, 0},
        {"screen, no window", Single, Screen, std::nullopt, {0, 0, 1280, 800}, 0},
        {"screen, left taskbar", SingleLeftTaskbar, Screen, std::nullopt, {0, 0, 1280, 800}, 0},
        {"no foreground window", Single, Window, std::nullopt, {0, 0, 1280, 800}, 0},
        {"inside the work area", Single, Window, IntRect{100, 50, 700, 450}, {100, 50, 700, 450}, 0},
        {"maximized", Single, Window, IntRect{-8, -8, 1288, 788}, {0, 0, 1280, 800}, 0},
        {"past the right edge", Single, Window, IntRect{900, 100, 1400, 300}, {900, 100, 1280, 300}, 0},
        {"into the taskbar", Single, Window, IntRect{100, 700, 300, 790}, {100, 700, 300, 800}, 0},
        {"left of a left taskbar",
         SingleLeftTaskbar,
         Window,
         IntRect{30, 10, 300, 200},
         {0, 10, 300, 200},
         0},
        {"wholly left of the screen", Single, Window, IntRect{-500, 10, -100, 200}, {0, 10, -100, 200}, 0},

        {"on the 150% monitor", SideBySide, Window, IntRect{2000, 100, 2600, 500}, {2000, 100, 2600, 500}, 1},
        {"maximized at 150%", SideBySide, Window, IntRect{1909, -11, 4491, 1451}, {1920, 0, 4480, 1440}, 1},
        {"maximized on the primary", SideBySide, Window, IntRect{-8, -8, 1928, 1048}, {0, 0, 1920, 1080}, 0},
        {"across both", SideBySide, Window, IntRect{1500, 100, 2500, 700}, {1500, 100, 2500, 700}, 1},
        {"across, below the primary",
         SideBySide,
         Window,
         IntRect{1500, 900, 2500, 1200},
         {1500, 900, 2500, 1200},
         1},
        {"off the right end", SideBySide, Window, IntRect{4000, 100, 4700, 500}, {4000, 100, 4480, 500}, 1},
        {"under the primary, on none",
         SideBySide,
         Window,
         IntRect{100, 1200, 500, 1400},
         {100, 1200, 500, 1080},
         0},
        {"screen of a window at 150%",
         SideBySide,
         Screen,
         IntRect{2000, 100, 2600, 500},
         {1920, 0, 4480, 1440},
         1},
        {"screen of a window mostly on the primary",
         SideBySide,
         Screen,
         IntRect{1000, 100, 2100, 500},
         {0, 0, 1920, 1080},
         0},

        {"on the left monitor",
         LeftOfPrimary,
         Window,
         IntRect{-1000, 100, -400, 500},
         {-1000, 100, -400, 500},
         0},
        {"maximized on the left", LeftOfPrimary, Window, IntRect{-1288, -8, 8, 1032}, {-1280, 0, 0, 1024}, 0},
        {"across, mostly on the primary",
         LeftOfPrimary,
         Window,
         IntRect{-300, 200, 500, 600},
         {-300, 200, 500, 600},
         1},
        {"off the left end",
         LeftOfPrimary,
         Window,
         IntRect{-1400, 100, -1000, 500},
         {-1280, 100, -1000, 500},
         0},
        // The shorter monitor's bottom edge is the desktop's edge there.
        {"below the left monitor",
         LeftOfPrimary,
         Window,
         IntRect{-600, 900, -200, 1070},
         {-600, 900, -200, 1024},
         0},
        {"screen, no window, primary second", LeftOfPrimary, Screen, std::nullopt, {0, 0, 1920, 1080}, 1},
        {"screen of the left monitor",
         LeftOfPrimary,
         Screen,
         IntRect{-1000, 100, -400, 500},
         {-1280, 0, 0, 1024},
         0},

        {"across, into the monitor above",
         Above,
         Window,
         IntRect{100, -200, 700, 300},
         {100, -200, 700, 300},
         0},
        {"maximized above", Above, Window, IntRect{-8, -1088, 1928, 8}, {0, -1080, 1920, 0}, 1},
        {"screen of the monitor above", Above, Screen, IntRect{100, -700, 700, -300}, {0, -1080, 1920, 0}, 1},

        {"into the secondary's taskbar",
         SecondaryTaskbar,
         Window,
         IntRect{1950, 100, 2600, 500},
         {1920, 100, 2600, 500},
         1},
        {"across, onto the secondary",
         SecondaryTaskbar,
         Window,
         IntRect{1800, 100, 2600, 500},
         {1800, 100, 2600, 500},
         1},
        {"maximized beside its taskbar",
         SecondaryTaskbar,
         Window,
         IntRect{1972, -8, 3848, 1088},
         {1920, 0, 3840, 1080},
         1},
        {"maximized on the primary, no taskbar",
         SecondaryTaskbar,
         Window,
         IntRect{-8, -8, 1928, 1088},
         {0, 0, 1920, 1080},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CaptureTarget target = ChooseCaptureTarget(c.activeWindowOnly, c.foreground, c.layout);
        EXPECT_EQ(target.grab, c.grab);
        EXPECT_EQ(target.monitor, c.layout.at(c.monitor));
    }
}

// Windows 10 and 11 draw no border where GetWindowRect has 7 px of resize
// border at 96 dpi (11 at 144) left, right and below; DWM's bounds leave
// it out. A maximized window reaches past its monitor by that border.
TEST(CaptureTarget, VisibleFrame) {
    struct Case {
        const char* name;
        const Layout& layout;
        WindowFrame frame;
        IntRect visible;
    };
    const Case cases[] = {
        {"borders at 96 dpi",
         Single,
         {{93, 50, 707, 457}, IntRect{100, 50, 700, 450}, false},
         {100, 50, 700, 450}},
        {"borders at 144 dpi",
         SideBySide,
         {{1989, 100, 2611, 511}, IntRect{2000, 100, 2600, 500}, false},
         {2000, 100, 2600, 500}},
        {"no answer from DWM", Single, {{93, 50, 707, 457}, std::nullopt, false}, {93, 50, 707, 457}},
        {"an empty answer", Single, {{93, 50, 707, 457}, IntRect{0, 0, 0, 0}, false}, {93, 50, 707, 457}},
        // A process that is not dpi-aware gets one of them scaled.
        {"an answer beyond the window",
         SideBySide,
         {{1326, 66, 1741, 341}, IntRect{2000, 100, 2600, 500}, false},
         {1326, 66, 1741, 341}},
        {"maximized", Single, {{-7, -7, 1287, 787}, IntRect{0, 0, 1280, 780}, true}, {0, 0, 1280, 780}},
        {"maximized, DWM silent", Single, {{-7, -7, 1287, 787}, std::nullopt, true}, {0, 0, 1280, 780}},
        {"maximized at 144 dpi",
         SideBySide,
         {{1909, -11, 4491, 1451}, IntRect{1920, 0, 4480, 1440}, true},
         {1920, 0, 4480, 1440}},
        {"maximized on the left",
         LeftOfPrimary,
         {{-1287, -7, 7, 1031}, std::nullopt, true},
         {-1280, 0, 0, 1024}},
        {"maximized beside its taskbar",
         SecondaryTaskbar,
         {{1973, -7, 3847, 1087}, IntRect{1980, 0, 3840, 1080}, true},
         {1980, 0, 3840, 1080}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VisibleFrame(c.frame, c.layout), c.visible);
    }
    // What "Capture active window" grabs of it: the visible frame; a window
    // into the taskbar still reaches the screen's edge there.
    const WindowFrame intoTaskbar = {{93, 700, 307, 797}, IntRect{100, 700, 300, 790}, false};
    EXPECT_EQ(ChooseCaptureTarget(true, VisibleFrame(intoTaskbar, Single), Single).grab,
              (IntRect{100, 700, 300, 800}));
    const WindowFrame maximized = {{-7, -7, 1287, 787}, IntRect{0, 0, 1280, 780}, true};
    EXPECT_EQ(ChooseCaptureTarget(true, VisibleFrame(maximized, Single), Single).grab,
              (IntRect{0, 0, 1280, 780}));
}

// The pointer in a grab at the size the user sees it: Windows' base size
// (32 unless made larger for accessibility) at the monitor's dpi, its
// hotspot on the pointer's position.
TEST(CaptureTarget, PointerInTheGrab) {
    EXPECT_EQ(PointerDrawSize(std::nullopt, 96), 32);
    EXPECT_EQ(PointerDrawSize(std::nullopt, 144), 48);
    EXPECT_EQ(PointerDrawSize(64, 96), 64);
    EXPECT_EQ(PointerDrawSize(64, 120), 80);
    EXPECT_EQ(PointerDrawSize(1000, 96), 256) << "beyond the setting's largest";
    EXPECT_EQ(PointerDrawSize(0, 96), 32);
    // A 32-pixel arrow with its hotspot at (1, 2), drawn at 64 in a grab
    // taken from the left monitor's corner.
    EXPECT_EQ(PointerDrawOrigin({-900, 300}, {1, 2}, 32, 64, {-1280, 0}), (IntPoint{378, 296}));
    EXPECT_EQ(PointerDrawOrigin({500, 400}, {16, 16}, 32, 32, {100, 100}), (IntPoint{384, 284}));
}

TEST(CaptureTarget, EmptyGrab) {
    EXPECT_FALSE(IsEmptyGrab({0, 0, 1, 1}));
    EXPECT_FALSE(IsEmptyGrab({-1280, -10, -1279, 0}));
    EXPECT_TRUE(IsEmptyGrab({0, 10, -100, 200}));
    EXPECT_TRUE(IsEmptyGrab({5, 5, 5, 9}));
    EXPECT_TRUE(IsEmptyGrab({5, 9, 8, 9}));
}

} // namespace
} // namespace corvinade
