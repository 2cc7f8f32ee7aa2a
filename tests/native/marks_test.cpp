// The marks on a capture: what each paints and where, what a click hits,
// handles, redaction in every format and at any zoom, and the history of
// steps with crops among them.
#include "capture/MarkRender.h"
#include "capture/MarkTools.h"
#include "capture/Marks.h"

#include <gmock/gmock.h>

#include <map>

namespace corvinade {
namespace {

constexpr std::uint32_t Grey = 0x808080, Red = 0xE02020, Black = 0x000000;

// Text ink as solid blocks: each character 6 pixels wide, the whole height.
class BlockInk : public TextInkPort {
public:
    const AlphaMask& TextInk(const std::string& text, int height, bool) override {
        mask_ = {6 * static_cast<int>(text.size()), height, {}};
        mask_.alpha.assign(static_cast<std::size_t>(mask_.width) * height, 255);
        return mask_;
    }

private:
    AlphaMask mask_;
};

PixelImage Plain(int width, int height, std::uint32_t colour = Grey) {
    return {width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, colour)};
}

Mark Make(MarkKind kind, std::vector<IntPoint> points, std::uint32_t colour = Red, int width = 4) {
    Mark mark{kind, colour, width, std::move(points)};
    if (kind == MarkKind::Text) {
        mark.text = "ab";
        mark.textHeight = 14;
        mark.textSize = {12, 14};
    }
    if (kind == MarkKind::Step)
        mark.number = 1;
    return mark;
}

bool Inside(const IntRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Every kind paints only inside its bounds, and paints where it is drawn.
TEST(Marks, EachKindPaintsWhereItIsDrawnAndNowhereElse) {
    struct Case {
        Mark mark;
        IntPoint painted;   // takes the mark's colour, or near it
        IntPoint untouched; // inside the bounds, left as it was
    };
    const Case cases[] = {
        {Make(MarkKind::Arrow, {{20, 20}, {120, 60}}), {111, 56}, {30, 60}},
        {Make(MarkKind::Line, {{20, 20}, {120, 60}}), {70, 40}, {30, 60}},
        {Make(MarkKind::Rectangle, {{20, 20}, {120, 60}}), {20, 40}, {70, 40}},
        {Make(MarkKind::Ellipse, {{20, 20}, {120, 60}}), {70, 20}, {70, 40}},
        {Make(MarkKind::Pen, {{20, 20}, {60, 60}, {120, 20}}), {60, 60}, {60, 25}},
        {Make(MarkKind::Text, {{20, 20}}), {25, 25}, {40, 40}},
        {Make(MarkKind::Step, {{60, 40}}), {60 - StepRadius(4) + 3, 40}, {20, 20}},
        {Make(MarkKind::Redact, {{20, 20}, {120, 60}}, Black), {120, 60}, {121, 61}},
    };
    BlockInk ink;
    for (const Case& c : cases) {
        SCOPED_TRACE(MarkKindName(c.mark.kind));
        PixelImage image = Plain(160, 100);
        PaintMarks(image, {0, 0}, {&c.mark}, &ink);
        const IntRect bounds = MarkBounds(c.mark);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                ASSERT_TRUE(image.At(x, y) == Grey || Inside(bounds, x, y))
                    << "painted at " << x << ", " << y;
        EXPECT_EQ(image.At(c.painted.x, c.painted.y), c.mark.colour);
        EXPECT_EQ(image.At(c.untouched.x, c.untouched.y), Grey);
    }
}

// The ink of a highlighter multiplies: white takes its colour, black stays.
TEST(Marks, HighlighterLetsTheImageShowThrough) {
    PixelImage image = Plain(60, 40, 0xFFFFFF);
    for (int x = 30; x < 60; ++x)
        for (int y = 0; y < 40; ++y)
            image.pixels[static_cast<std::size_t>(y) * 60 + x] = Black;
    const Mark mark = Make(MarkKind::Highlighter, {{5, 20}, {55, 20}}, 0xFFE040);
    PaintMarks(image, {0, 0}, {&mark}, nullptr);
    EXPECT_EQ(image.At(15, 20), 0xFFE040u);
    EXPECT_EQ(image.At(45, 20), Black);
}

// A redaction holds its one colour over every pixel between its corners,
// over marks made after it too, and nothing else changes. For JPEG it
// covers the whole 16-pixel blocks it touches, counted from the saved
// image's corner.
TEST(Marks, RedactionCoversItsAreaWithOneColour) {
    const Mark arrow = Make(MarkKind::Arrow, {{0, 0}, {90, 70}});
    const Mark redact = Make(MarkKind::Redact, {{37, 21}, {50, 30}}, Black);
    for (const int block : {1, JpegBlock}) {
        SCOPED_TRACE(block);
        // Saved from image pixel (5, 3) on.
        PixelImage image = Plain(100, 80);
        const PixelImage before = image;
        std::vector<const Mark*> marks = {&redact, &arrow};
        PaintMarks(image, {5, 3}, marks, nullptr, block);
        // The covered pixels in the saved image: 32..45 by 18..27, snapped to 32..48 by 16..32.
        const IntRect covered = block == 1 ? IntRect{32, 18, 46, 28} : IntRect{32, 16, 48, 32};
        PixelImage arrowOnly = before;
        PaintMarks(arrowOnly, {5, 3}, {&arrow}, nullptr);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                ASSERT_EQ(image.At(x, y), Inside(covered, x, y) ? Black : arrowOnly.At(x, y))
                    << x << ", " << y;
    }
}

// Zoomed, a redaction covers every view pixel that shows any covered image
// pixel, so the screen never shows a sliver of what it hides.
TEST(Marks, RedactionCoversEveryShownPixelAtAnyZoom) {
    const Mark redact = Make(MarkKind::Redact, {{13, 7}, {29, 22}}, Black);
    for (const gui::Zoom zoom : {gui::Zoom{1, 3}, gui::Zoom{2, 3}, gui::Zoom{5, 2}}) {
        SCOPED_TRACE(std::to_string(zoom.num) + "/" + std::to_string(zoom.den));
        PixelImage view = Plain(120, 90);
        MarkPainter(nullptr).Paint({view.pixels.data(), view.width, {0, 0, view.width, view.height}},
                                   {zoom, {4, 2}}, {&redact});
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 110; ++x) {
                const gui::ImageSpan columns = gui::ImageSpanAt(x - 4, zoom),
                                     rows = gui::ImageSpanAt(y - 2, zoom);
                const bool showsCovered = x >= 4 && y >= 2 && columns.first < 30 && columns.end > 13 &&
                                          rows.first < 23 && rows.end > 7;
                ASSERT_TRUE(!showsCovered || view.At(x, y) == Black) << x << ", " << y;
            }
    }
}

// Painting into a band of the target (a strip of rows) gives the same
// pixels as painting the whole target.
TEST(Marks, ABandPaintsAsTheWholeDoes) {
    const Mark ellipse = Make(MarkKind::Ellipse, {{10, 10}, {70, 50}}, Red, 6);
    PixelImage whole = Plain(80, 60), band = Plain(80, 60);
    MarkPainter painter(nullptr);
    painter.Paint({whole.pixels.data(), 80, {0, 0, 80, 60}}, {{1, 1}, {0, 0}}, {&ellipse});
    painter.Paint({band.pixels.data() + 20 * 80, 80, {0, 20, 80, 30}}, {{1, 1}, {0, 0}}, {&ellipse});
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(band.At(x, y), y >= 20 && y < 30 ? whole.At(x, y) : Grey) << x << ", " << y;
}

TEST(Marks, StepNumberShowsOnItsDiscInAColourThatStandsOut) {
    EXPECT_EQ(StepNumberColour(0x202080), 0xFFFFFFu);
    EXPECT_EQ(StepNumberColour(0xFFE040), 0x000000u);
    BlockInk ink;
    Mark step = Make(MarkKind::Step, {{40, 40}}, 0x202080);
    step.number = 7;
    PixelImage image = Plain(80, 80);
    PaintMarks(image, {0, 0}, {&step}, &ink);
    EXPECT_EQ(image.At(40, 40), 0xFFFFFFu) << "the number's ink at the centre";
    EXPECT_EQ(image.At(40 - StepRadius(4) + 2, 40), 0x202080u) << "the disc beside it";
}

// Outlines are hit on their line, filled marks inside; the mark on top
// wins, and redactions lie above all.
TEST(Marks, AClickHitsTheMarkOnTop) {
    const Mark rectangle = Make(MarkKind::Rectangle, {{20, 20}, {120, 80}});
    const Mark line = Make(MarkKind::Line, {{0, 50}, {200, 50}});
    const Mark redact = Make(MarkKind::Redact, {{100, 40}, {140, 60}}, Black);
    const std::vector<const Mark*> marks = {&redact, &rectangle, &line};
    EXPECT_EQ(MarkAt(marks, {21, 30}, 2), 1u);
    EXPECT_EQ(MarkAt(marks, {70, 30}, 2), std::nullopt) << "inside an outline";
    EXPECT_EQ(MarkAt(marks, {20, 50}, 2), 2u) << "the later mark on top";
    EXPECT_EQ(MarkAt(marks, {120, 50}, 2), 0u) << "the redaction above the later marks";
    EXPECT_EQ(MarkAt(marks, {70, 57}, 2), std::nullopt);
    EXPECT_EQ(MarkAt(marks, {70, 57}, 6), 2u) << "within the tolerance";
}

TEST(Marks, HandlesResizeAndTheOppositeCornerStays) {
    Mark box = Make(MarkKind::Rectangle, {{20, 20}, {120, 80}});
    ASSERT_EQ(MarkHandles(box), (std::vector<IntPoint>{{20, 20}, {120, 20}, {120, 80}, {20, 80}}));
    EXPECT_EQ(HandleAt(box, {118, 22}, 4), 1u);
    EXPECT_EQ(HandleAt(box, {70, 50}, 4), std::nullopt);
    DragHandle(box, 1, {150, 5});
    EXPECT_EQ(box.points, (std::vector<IntPoint>{{20, 5}, {150, 80}}));
    DragHandle(box, 3, {0, 90});
    EXPECT_EQ(box.points, (std::vector<IntPoint>{{0, 5}, {150, 90}}));
    Mark arrow = Make(MarkKind::Arrow, {{0, 0}, {50, 50}});
    DragHandle(arrow, 0, {10, 20});
    MoveMark(arrow, 5, -5);
    EXPECT_EQ(arrow.points, (std::vector<IntPoint>{{15, 15}, {55, 45}}));
    EXPECT_TRUE(MarkHandles(Make(MarkKind::Step, {{1, 1}})).empty());
}

TEST(Marks, DescribedAsAScreenReaderSaysThem) {
    EXPECT_EQ(DescribeMark(Make(MarkKind::Arrow, {{40, 60}, {200, 90}})), "Arrow from 40, 60 to 200, 90");
    EXPECT_EQ(DescribeMark(Make(MarkKind::Redact, {{1, 2}, {3, 4}})), "Redaction from 1, 2 to 3, 4");
    Mark text = Make(MarkKind::Text, {{5, 6}});
    text.text = "two\nlines";
    EXPECT_EQ(DescribeMark(text), "Text \"two lines\" at 5, 6");
    EXPECT_EQ(DescribeMark(Make(MarkKind::Step, {{7, 8}})), "Step 1 at 7, 8");
}

// Every change is a step; undo and redo walk them, a crop among them, and a
// new step drops what was undone. Steps number on from the last one.
TEST(Marks, HistoryUndoesAndRedoesEveryStep) {
    MarkHistory history;
    EXPECT_EQ(history.NextStepNumber(), 1);
    Mark step = Make(MarkKind::Step, {{10, 10}});
    step.number = history.NextStepNumber();
    history.Add(step);
    step.number = history.NextStepNumber();
    step.points = {{300, 200}};
    history.Add(step);
    EXPECT_EQ(history[1].number, 2);
    history.Add(Make(MarkKind::Arrow, {{50, 50}, {90, 90}}));
    history.Remove(0);
    ASSERT_EQ(history.Count(), 2u);
    EXPECT_EQ(history.NextStepNumber(), 3);

    // The crop keeps the marks that reach into it, moved to its corner.
    history.Crop({40, 40, 200, 150});
    ASSERT_EQ(history.Count(), 1u);
    EXPECT_EQ(history[0].points, (std::vector<IntPoint>{{10, 10}, {50, 50}}));
    const auto crop = history.Undo();
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->kind, MarkHistory::StepKind::Crop);
    EXPECT_EQ(crop->crop, (IntRect{40, 40, 200, 150}));
    EXPECT_EQ(history.Count(), 2u);

    ASSERT_TRUE(history.Undo());
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(history.Count(), 2u);
    EXPECT_EQ(history.NextStepNumber(), 3);
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(history.Count(), 3u);
    history.Replace(2, Make(MarkKind::Line, {{0, 0}, {1, 1}}));
    EXPECT_FALSE(history.CanRedo()) << "a new step drops the undone ones";
    while (history.Undo()) {
    }
    EXPECT_EQ(history.Count(), 0u);
    EXPECT_EQ(history.UndoDepth(), 0u);
}

// The tools' letters; the colour and width as the settings keep them: a
// value that is no colour or width reads as the default.
TEST(Marks, ToolKeysAndStyleSettings) {
    EXPECT_EQ(ToolForKey('x'), MarkTool::Redact);
    EXPECT_EQ(ToolForKey('V'), MarkTool::Select);
    EXPECT_EQ(ToolForKey('Q'), std::nullopt);
    EXPECT_EQ(KindOfTool(MarkTool::Step), MarkKind::Step);
    EXPECT_EQ(ColourText(0x0A0B0C), "0A0B0C");
    EXPECT_EQ(ColourFromText("f08010"), 0xF08010u);
    const MarkStyle read = StyleFromTexts("2060E0", "10", "FFFFFF", "20A040");
    EXPECT_EQ(read, (MarkStyle{0x2060E0, 10, 0xFFFFFF, 0x20A040}));
    for (const char* unknown : {"", "purple", "12345", "1234567", "+12345", "0x1234"})
        EXPECT_EQ(StyleFromTexts(unknown, std::nullopt, unknown, unknown), MarkStyle{}) << unknown;
    for (const char* unknown : {"0", "65", "wide", "4.5", "-4", "0004"})
        EXPECT_EQ(StyleFromTexts(std::nullopt, std::string(unknown), std::nullopt).width, 4) << unknown;
    EXPECT_EQ(WidthFromText("64"), 64);
}
} // namespace
} // namespace corvinade
