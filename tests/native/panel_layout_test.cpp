// The overview panel's arithmetic: rows, height, placement by taskbar edge,
// the strict cursor tests and the fallback taskbar.
#include <gtest/gtest.h>

#include "app/PanelLayout.h"

using namespace corvinade;

namespace {

TEST(PanelLayoutTest, RowTopsAndHeightForNHotkeys) {
    EXPECT_EQ(OverviewRowTop(0), 8);
    const int tops[] = {25, 46, 67, 88};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(OverviewRowTop(i + 1), tops[i]) << "row " << i + 1;
    struct Case {
        int n, height;
    };
    const Case cases[] = {{0, 57}, {1, 74}, {2, 95}, {12, 305}, {100, 2153}};
    for (const Case& c : cases)
        EXPECT_EQ(PanelHeight(c.n), c.height) << c.n << " hotkeys";
}

// The first two columns as wide as their texts while the parameters keep a
// quarter of the 535 pixels between the margins and gaps; past that they
// share what is left by their needs.
TEST(PanelLayoutTest, ColumnsAreSizedToTheirTexts) {
    struct Case {
        std::array<int, 3> need;
        std::array<PanelColumn, 3> columns;
    };
    const Case cases[] = {
        {{40, 120, 60}, {{{8, 40}, {58, 120}, {188, 375}}}},
        {{200, 300, 400}, {{{8, 160}, {178, 242}, {430, 133}}}}, // 402 shared 2:3
        {{300, 200, 0}, {{{8, 300}, {318, 200}, {528, 35}}}},    // no parameters: no quarter kept
    };
    for (const Case& c : cases)
        EXPECT_EQ(PanelColumns(c.need, 579), c.columns) << c.need[0] << ", " << c.need[1];
}

TEST(PanelLayoutTest, PlacementForEachTaskbarEdge) {
    // A 1280 x 800 screen with a 30-pixel taskbar on each side in turn.
    const int w = 579, h = 74;
    struct Case {
        Taskbar taskbar;
        std::optional<PanelPoint> position;
    };
    const Case cases[] = {
        {{EdgeLeft, {0, 0, 30, 800}}, PanelPoint{3, 800 - h - 3}},
        {{EdgeTop, {0, 0, 1280, 30}}, PanelPoint{1280 - w + 3, 3}},
        {{EdgeRight, {1250, 0, 1280, 800}}, PanelPoint{1250 - w - 3, 800 - h - 3}},
        {{EdgeBottom, {0, 770, 1280, 800}}, PanelPoint{1280 - w - 3, 770 - h - 3}},
        {{4, {0, 770, 1280, 800}}, std::nullopt},
        {{-1, {0, 770, 1280, 800}}, std::nullopt},
        // A failed query left as it is: the all-zero answer places as for the left edge.
        {{EdgeLeft, {0, 0, 0, 0}}, PanelPoint{3, -h - 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "edge " << c.taskbar.edge);
        EXPECT_EQ(PanelPosition(c.taskbar, w, h), c.position);
    }
}

TEST(PanelLayoutTest, BottomTaskbarPutsTheCornerThreePixelsFromItsEnd) {
    const Taskbar bar{EdgeBottom, {0, 760, 1024, 768}};
    const PanelPoint p = *PanelPosition(bar, 579, PanelHeight(3));
    EXPECT_EQ(p.x + 579, bar.rect.right - 3);
    EXPECT_EQ(p.y + PanelHeight(3), bar.rect.top - 3);
}

TEST(PanelLayoutTest, StrictInsideTests) {
    const PanelRect r{10, 20, 30, 40};
    struct Case {
        int x, y;
        bool inside;
    };
    const Case cases[] = {{11, 21, true},  {29, 39, true},  {20, 30, true}, {10, 30, false}, {30, 30, false},
                          {20, 20, false}, {20, 40, false}, {9, 30, false}, {20, 41, false}};
    for (const Case& c : cases)
        EXPECT_EQ(StrictlyInside(r, c.x, c.y), c.inside) << c.x << "," << c.y;
    EXPECT_TRUE(CursorOverClient(1, 1, 579, 74));
    EXPECT_FALSE(CursorOverClient(0, 10, 579, 74));
    EXPECT_FALSE(CursorOverClient(578, 73, 578, 73));
    EXPECT_FALSE(CursorOverClient(10, -1, 579, 74));
}

TEST(PanelLayoutTest, UsableShellAnswerIsKept) {
    const PanelRect screen{0, 0, 1280, 800}, work{0, 0, 1280, 770};
    const Taskbar answer{EdgeRight, {1240, 0, 1280, 800}};
    EXPECT_EQ(EffectiveTaskbar(answer, screen, work, 20), answer);
    const Taskbar thin{EdgeBottom, {0, 798, 1280, 800}};
    EXPECT_EQ(EffectiveTaskbar(thin, screen, work, 20), thin);
}

TEST(PanelLayoutTest, FailedOrThinAnswerFallsBackToTheStripBesideTheWorkArea) {
    const PanelRect screen{0, 0, 1280, 800};
    const std::optional<Taskbar> wineStandIn = Taskbar{EdgeBottom, {0, 799, 1280, 800}};
    const std::optional<Taskbar> failed;
    struct Case {
        const char* name;
        PanelRect work;
        Taskbar expected;
    };
    const Case cases[] = {
        {"bottom", {0, 0, 1280, 780}, {EdgeBottom, {0, 780, 1280, 800}}},
        {"top", {0, 28, 1280, 800}, {EdgeTop, {0, 0, 1280, 28}}},
        {"left", {60, 0, 1280, 800}, {EdgeLeft, {0, 0, 60, 800}}},
        {"right", {0, 0, 1200, 800}, {EdgeRight, {1200, 0, 1280, 800}}},
        // Two strips (another tool bar): the thicker one is the taskbar.
        {"bottom and thin top", {0, 10, 1280, 760}, {EdgeBottom, {0, 760, 1280, 800}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EffectiveTaskbar(wineStandIn, screen, c.work, 20), c.expected);
        EXPECT_EQ(EffectiveTaskbar(failed, screen, c.work, 20), c.expected);
        EXPECT_EQ(EffectiveTaskbar(Taskbar{EdgeLeft, {0, 0, 0, 0}}, screen, c.work, 20), c.expected);
    }
}

// Wine's virtual desktop: the work area is the whole screen and the shell
// answers a one-pixel bar; a bar one tray-icon row thick along the named edge
// (the bottom when the query failed) stands in.
TEST(PanelLayoutTest, NoStripBesideTheWorkAreaGivesABarAlongTheNamedEdge) {
    const PanelRect screen{0, 0, 1280, 800};
    struct Case {
        std::optional<Taskbar> answer;
        Taskbar expected;
    };
    const Case cases[] = {
        {Taskbar{EdgeBottom, {0, 799, 1280, 800}}, {EdgeBottom, {0, 780, 1280, 800}}},
        {Taskbar{EdgeTop, {0, 0, 1280, 1}}, {EdgeTop, {0, 0, 1280, 20}}},
        {Taskbar{EdgeLeft, {0, 0, 1, 800}}, {EdgeLeft, {0, 0, 20, 800}}},
        {Taskbar{EdgeRight, {1279, 0, 1280, 800}}, {EdgeRight, {1260, 0, 1280, 800}}},
        {std::nullopt, {EdgeBottom, {0, 780, 1280, 800}}},
        {Taskbar{7, {0, 0, 0, 0}}, {EdgeBottom, {0, 780, 1280, 800}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "expected edge " << c.expected.edge);
        EXPECT_EQ(EffectiveTaskbar(c.answer, screen, screen, 20), c.expected);
    }
    // The panel then stays clear of the tray icon (x 1262-1278, y 782-798).
    const PanelPoint p = *PanelPosition(EffectiveTaskbar(cases[0].answer, screen, screen, 20), 579, 74);
    EXPECT_LT(p.y + 74, 782);
}

// With the fallback the panel never lands off screen and never covers the
// strip where the tray icon is, for every edge.
TEST(PanelLayoutTest, FallbackPlacementStaysOnScreenAndOffTheTaskbar) {
    const PanelRect screen{0, 0, 1280, 800};
    const PanelRect works[] = {{0, 0, 1280, 780}, {0, 28, 1280, 800}, {60, 0, 1280, 800}, {0, 0, 1200, 800}};
    for (const PanelRect& work : works) {
        const Taskbar bar = EffectiveTaskbar(Taskbar{EdgeBottom, {0, 799, 1280, 800}}, screen, work, 20);
        const int h = PanelHeight(12), w = 579;
        const PanelPoint p = *PanelPosition(bar, w, h);
        SCOPED_TRACE(testing::Message() << "edge " << bar.edge);
        EXPECT_GE(p.y, screen.top);
        EXPECT_LE(p.y + h, screen.bottom);
        EXPECT_LE(p.x + w, screen.right + 3); // the top edge's placement reaches 3 px past the end
        EXPECT_GE(p.x, screen.left);
        const bool overlapsBar = p.x < bar.rect.right && p.x + w > bar.rect.left && p.y < bar.rect.bottom &&
                                 p.y + h > bar.rect.top;
        if (bar.edge == EdgeBottom || bar.edge == EdgeRight) {
            EXPECT_FALSE(overlapsBar);
        }
    }
}

} // namespace
