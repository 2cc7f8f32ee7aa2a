// SelectionControl geometry: frame and inner values per BoxPos, boxes, drag zones
// and their order, zone actions with the minimum-size check, the info text
// and the centre marks.
#include "capture/SelectionControlGeometry.h"

#include <gmock/gmock.h>

namespace corvinade {
namespace {

using ::testing::ElementsAre;

TEST(SelectionControlGeometry, FrameAndInnerValuesFollowBoxPos) {
    struct Case {
        TDragBoxPos pos;
        int boxSize;
        IntRect frame;
        InnerGeometry inner;
    };
    const Bounds bounds{10, 20, 300, 50};
    const Case cases[] = {
        {dbpInside, 6, {0, 0, 300, 50}, {10, 20, 300, 50}},
        {dbpMiddle, 6, {3, 3, 297, 47}, {13, 23, 294, 44}},
        {dbpMiddle, 7, {3, 3, 297, 47}, {13, 23, 293, 43}}, // B div 2 truncates, width loses all of B
        {dbpOutside, 6, {6, 6, 294, 44}, {16, 26, 288, 38}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.pos) * 100 + c.boxSize);
        EXPECT_EQ(FrameRect(bounds.width, bounds.height, c.boxSize, c.pos), c.frame);
        EXPECT_EQ(InnerOf(bounds, c.boxSize, c.pos), c.inner);
    }
}

TEST(SelectionControlGeometry, BoxesLieAgainstTheOuterEdgesInDrawingOrder) {
    EXPECT_THAT(BoxRects(100, 100, 6),
                ElementsAre(IntRect{0, 0, 6, 6}, IntRect{47, 0, 53, 6}, IntRect{94, 0, 100, 6},
                            IntRect{0, 47, 6, 53}, IntRect{94, 47, 100, 53}, IntRect{0, 94, 6, 100},
                            IntRect{47, 94, 53, 100}, IntRect{94, 94, 100, 100}));
    // Odd sizes: centres by truncation, odd box sizes lose a pixel in the middle boxes.
    EXPECT_THAT(BoxRects(31, 21, 5),
                ElementsAre(IntRect{0, 0, 5, 5}, IntRect{13, 0, 17, 5}, IntRect{26, 0, 31, 5},
                            IntRect{0, 8, 5, 12}, IntRect{26, 8, 31, 12}, IntRect{0, 16, 5, 21},
                            IntRect{13, 16, 17, 21}, IntRect{26, 16, 31, 21}));
}

TEST(SelectionControlGeometry, DragZonesWithCursors) {
    struct Case {
        int x, y, w, h, b;
        int zone;
        TCursor cursor;
    };
    const Case cases[] = {
        {0, 0, 100, 100, 6, 0, crSizeNWSE},
        {6, 6, 100, 100, 6, 0, crSizeNWSE},
        {7, 6, 100, 100, 6, 8, crSizeAll},
        {-6, -6, 100, 100, 6, 0, crSizeNWSE},
        {100, 100, 100, 100, 6, 7, crSizeNWSE},
        {94, 106, 100, 100, 6, 7, crSizeNWSE},
        {0, 100, 100, 100, 6, 5, crSizeNESW},
        {100, 0, 100, 100, 6, 2, crSizeNESW},
        {3, 50, 100, 100, 6, 3, crSizeWE},
        {97, 44, 100, 100, 6, 4, crSizeWE},
        {56, 2, 100, 100, 6, 1, crSizeNS},
        {50, 99, 100, 100, 6, 6, crSizeNS},
        {50, 50, 100, 100, 6, 8, crSizeAll},
        {57, 0, 100, 100, 6, 8, crSizeAll},
        // No larger than 2B: zones overlap and the earlier one wins.
        {5, 5, 10, 10, 5, 0, crSizeNWSE},
        {6, 6, 10, 10, 5, 7, crSizeNWSE},
        {5, 10, 10, 10, 5, 7, crSizeNWSE},
        {5, 6, 10, 10, 5, 7, crSizeNWSE},
        {6, 4, 10, 10, 5, 2, crSizeNESW},
        {0, 6, 10, 12, 5, 3, crSizeWE},
        {0, 11, 10, 12, 5, 5, crSizeNESW},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << "," << c.y << ") in " << c.w << "x" << c.h);
        const int zone = FindDragZone(c.x, c.y, c.w, c.h, c.b);
        EXPECT_EQ(zone, c.zone);
        EXPECT_EQ(ZoneCursor(zone, crSizeAll), c.cursor);
    }
    EXPECT_EQ(ZoneCursor(BodyZone, 42), 42);
}

TEST(SelectionControlGeometry, ZoneActionsMoveOnlyTheirEdges) {
    const Bounds c{100, 200, 50, 40};
    struct Case {
        int zone;
        Bounds wanted;
    };
    // Mouse at (5, 7) in control coordinates, pressed at (20, 10).
    const Case cases[] = {
        {0, {105, 207, 45, 33}}, {1, {100, 207, 50, 33}}, {2, {100, 207, 5, 33}},
        {3, {105, 200, 45, 40}}, {4, {100, 200, 5, 40}},  {5, {105, 200, 45, 7}},
        {6, {100, 200, 50, 7}},  {7, {100, 200, 5, 7}},   {8, {85, 197, 50, 40}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.zone);
        EXPECT_EQ(ZoneTarget(k.zone, c, 5, 7, {20, 10}), k.wanted);
    }
}

TEST(SelectionControlGeometry, SetBoundsCheckedKeepsTwoBoxSizes) {
    struct Case {
        Bounds wanted;
        Bounds result;
    };
    const Bounds c{100, 100, 50, 40};
    const Case cases[] = {
        {{110, 105, 40, 35}, {110, 105, 40, 35}},
        {{139, 105, 11, 35}, {100, 105, 50, 35}}, // too narrow: left and width stay, height goes on
        {{138, 131, 12, 9}, {138, 100, 12, 40}},  // exactly 2B wide is allowed; too low stays
        {{100, 100, 5, 5}, {100, 100, 50, 40}},
        {{-500, -400, 50, 40}, {-500, -400, 50, 40}}, // moves have no limits
    };
    for (const Case& k : cases)
        EXPECT_EQ(CheckedBounds(c, k.wanted, 6), k.result);
    // Dragging the top-left box right and down: the right and bottom edges never move.
    Bounds b = c;
    for (int step = 0; step < 30; ++step) {
        b = CheckedBounds(b, ZoneTarget(0, b, 3, 2, {}), 6);
        EXPECT_EQ(b.left + b.width, 150);
        EXPECT_EQ(b.top + b.height, 140);
        EXPECT_GE(b.width, 12);
        EXPECT_GE(b.height, 12);
    }
    EXPECT_EQ(b.width, 14); // 50 shrinking by 3 stops above 12
    EXPECT_EQ(b.height, 12);
}

TEST(SelectionControlGeometry, InfoTextPlaceholdersInAnyCase) {
    const InnerGeometry inner{10, 20, 300, 50};
    struct Case {
        const char* format;
        const char* text;
    };
    const Case cases[] = {
        {"w: %w h: %h l: %l t: %t", "w: 300 h: 50 l: 10 t: 20"},
        {"%W x %H", "300 x 50"},
        {"%w%w %T%%l", "300300 20%10"},
        {"no marks", "no marks"},
        {"%", "%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatInfoText(c.format, inner), c.text);
}

TEST(SelectionControlGeometry, LinesBreakAtCrLfOrThePair) {
    EXPECT_THAT(SplitLines("a\r\nb\nc\rd"), ElementsAre("a", "b", "c", "d"));
    EXPECT_THAT(SplitLines("a\n\nb\n"), ElementsAre("a", "", "b"));
    EXPECT_THAT(SplitLines("\r\r"), ElementsAre("", ""));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(SelectionControlGeometry, InfoTextFitsInsideTheInsetsOrIsNotDrawn) {
    // Pen 1, box 5, text 100 x 13 (one line): left 2P + 2B, top 2P + B.
    EXPECT_EQ(InfoTextRect(300, 50, 5, 1, 100, 13, 100), (IntRect{12, 7, 112, 20}));
    EXPECT_EQ(InfoTextRect(115, 50, 5, 1, 100, 13, 100), (IntRect{12, 7, 112, 20}));
    EXPECT_FALSE(InfoTextRect(114, 50, 5, 1, 100, 13, 100)); // 4 + 10 + 100 is not below 114
    EXPECT_FALSE(InfoTextRect(300, 27, 5, 1, 100, 13, 100));
    EXPECT_TRUE(InfoTextRect(300, 28, 5, 1, 100, 13, 100));
    EXPECT_EQ(InfoTextRect(300, 80, 5, 3, 60, 26, 120), (IntRect{16, 11, 136, 37}));
}

TEST(SelectionControlGeometry, CenterMarks) {
    using S = CenterMarkShape;
    // cmCross, radius 5 on 100 x 100: arms from 48 to 52 (the end point is not drawn).
    S cross = CenterMarkOf(cmCross, 100, 100, 5, 5, 1, 0, 0);
    ASSERT_EQ(cross.kind, S::Lines);
    EXPECT_THAT(cross.lines,
                ElementsAre(IntPoint{50, 48}, IntPoint{50, 53}, IntPoint{48, 50}, IntPoint{53, 50}));
    // Even radius: one pixel longer.
    S even = CenterMarkOf(cmCross, 100, 100, 5, 4, 1, 0, 0);
    EXPECT_THAT(even.lines,
                ElementsAre(IntPoint{50, 48}, IntPoint{50, 53}, IntPoint{48, 50}, IntPoint{53, 50}));

    S circle = CenterMarkOf(cmCircle, 101, 61, 5, 9, 1, 0, 0);
    EXPECT_EQ(circle.kind, S::Ellipse);
    EXPECT_EQ(circle.box, (IntRect{46, 26, 54, 34}));
    EXPECT_EQ(CenterMarkOf(cmSquare, 101, 61, 5, 9, 1, 0, 0).kind, S::Rectangle);
    EXPECT_EQ(CenterMarkOf(cmNone, 101, 61, 5, 9, 1, 0, 0).kind, S::None);

    // cmXMark, r 10: d = round(7.07) = 7, k = 3; e = 1 with a 1-pixel pen only.
    S x1 = CenterMarkOf(cmXMark, 100, 100, 5, 10, 1, 0, 0);
    EXPECT_THAT(x1.lines,
                ElementsAre(IntPoint{47, 46}, IntPoint{54, 53}, IntPoint{53, 46}, IntPoint{46, 53}));
    S x2 = CenterMarkOf(cmXMark, 100, 100, 5, 10, 2, 0, 0);
    EXPECT_THAT(x2.lines,
                ElementsAre(IntPoint{47, 47}, IntPoint{53, 53}, IntPoint{53, 47}, IntPoint{47, 53}));
    // r 13: 9.19 rounds to 9, k = 4.
    EXPECT_EQ(CenterMarkOf(cmXMark, 100, 100, 5, 13, 2, 0, 0).lines[0], (IntPoint{46, 46}));

    // cmCustom: only a picture smaller than W - 3B by H - 3B, centred.
    S custom = CenterMarkOf(cmCustom, 100, 60, 5, 5, 1, 16, 10);
    EXPECT_EQ(custom.kind, S::Picture);
    EXPECT_EQ(custom.at, (IntPoint{42, 25}));
    EXPECT_EQ(CenterMarkOf(cmCustom, 100, 60, 5, 5, 1, 85, 10).kind, S::None);
    EXPECT_EQ(CenterMarkOf(cmCustom, 100, 60, 5, 5, 1, 84, 44).kind, S::Picture);
    EXPECT_EQ(CenterMarkOf(cmCustom, 100, 60, 5, 5, 1, 84, 45).kind, S::None);
    EXPECT_EQ(CenterMarkOf(cmCustom, 100, 60, 5, 5, 1, 0, 0).kind, S::None);

    EXPECT_TRUE(CenterMarkVisible({0, 0, 6, 6}, 5));
    EXPECT_FALSE(CenterMarkVisible({0, 0, 5, 100}, 5));
    EXPECT_FALSE(CenterMarkVisible({0, 0, 100, 5}, 5));
}

} // namespace
} // namespace corvinade
