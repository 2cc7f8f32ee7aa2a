// The marks drawn on a capture (arrows, boxes, ellipses, lines, pen and
// highlighter strokes, texts, numbered steps and redactions) and their
// history: each change of the marks, and each crop, is one step that can be
// undone and redone. Geometry in image pixels: where a mark paints, what a
// click hits, its handles, moving and resizing, what a crop keeps, and the
// words a screen reader hears for it. Portable, so it is tested natively.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/SelectionControlGeometry.h"

namespace corvinade {

enum class MarkKind : std::uint8_t { Arrow, Rectangle, Ellipse, Line, Pen, Highlighter, Text, Step, Redact };

// The most any width goes to, in image pixels.
inline constexpr int MaxMarkWidth = 64;

// One mark. Points are image pixels:
//   Arrow, Line:                   from, to (the arrow's head at `to`)
//   Rectangle, Ellipse, Redact:    two opposite corners, both inside the shape
//   Pen, Highlighter:              the stroke's path
//   Text:                          the top-left corner of its first line
//   Step:                          the centre of its disc
struct Mark {
    MarkKind kind = MarkKind::Arrow;
    std::uint32_t colour = 0xE02020; // 0x00RRGGBB; a redaction's cover
    int width = 4;                   // the line width in image pixels
    std::vector<IntPoint> points;
    std::string text;    // a text's lines, UTF-8, separated by '\n'
    int textHeight = 0;  // a text's font height in image pixels
    IntPoint textSize{}; // the text's extent as last measured (the window measures it)
    int number = 0;      // a step's number
    bool operator==(const Mark&) const = default;
};

// The widths a mark paints with, from its line width.
int MarkWidth(const Mark& mark);   // its width, within 1 and MaxMarkWidth
int StrokeWidth(const Mark& mark); // a highlighter's is broad
int ArrowHeadLength(int width);    // along the shaft
int StepRadius(int width);         // a step's disc
int StepNumberHeight(int width);   // its number's font height

// A point between pixels: a pixel's centre is at +0.5.
struct PointF {
    double x = 0, y = 0;
};
// An arrow as it paints: the shaft from `tail` to `shaftEnd`, the head the
// triangle `tip`, `left`, `right`.
struct ArrowShape {
    PointF tail, shaftEnd, tip, left, right;
};
ArrowShape ArrowOutline(const Mark& mark);

// Distances the marks are painted and hit by: to a segment; to an
// ellipse's outline about its centre with radii a and b (signed, negative
// inside, close to the true distance near the outline); to a triangle
// (signed, negative inside).
double SegmentDistance(PointF p, PointF a, PointF b);
double EllipseDistance(double dx, double dy, double a, double b);
double TriangleDistance(PointF p, PointF a, PointF b, PointF c);

// The pixels a mark may paint (right and bottom exclusive), smoothing
// included; empty for a mark without its points.
IntRect MarkBounds(const Mark& mark);
// A redaction's covered pixels: its two corners and every pixel between.
IntRect RedactRect(const Mark& mark);

// How far a point (a pixel's centre) lies from what the mark paints, in
// image pixels: 0 on or inside it. Outlines (rectangle, ellipse) count on
// their line only; redactions, texts and steps inside too.
double DistanceToMark(const Mark& mark, IntPoint point);
// The topmost mark within `tolerance` image pixels of the point, or none.
// Redactions lie above every other mark, as they paint last.
std::optional<std::size_t> MarkAt(const std::vector<const Mark*>& marks, IntPoint point, double tolerance);

// The points that resize a mark: the ends of lines and arrows, the four
// corners of rectangles, ellipses and redactions (clockwise from the first
// point's corner); none for the others, which only move.
std::vector<IntPoint> MarkHandles(const Mark& mark);
std::optional<std::size_t> HandleAt(const Mark& mark, IntPoint point, double tolerance);
void MoveMark(Mark& mark, int dx, int dy);
// The handle goes to `to`; the opposite corner or end stays.
void DragHandle(Mark& mark, std::size_t handle, IntPoint to);

// Whether the mark may paint a pixel inside `area` (what a crop keeps).
bool MarkTouches(const Mark& mark, const IntRect& area);

// "Arrow from 40, 60 to 200, 90", "Step 2 at 40, 60", ...
std::string DescribeMark(const Mark& mark);
// "Arrow", "Rectangle", ...
std::string MarkKindName(MarkKind kind);

using MarkList = std::vector<std::shared_ptr<const Mark>>;

// The marks of one capture window and its steps. A mark is never changed
// once made: a step replaces it, so the lists the steps keep share it.
class MarkHistory {
public:
    enum class StepKind { Marks, Crop };
    // A step undone or redone; a crop's rectangle is in the image it cut.
    struct Step {
        StepKind kind = StepKind::Marks;
        IntRect crop{};
    };

    const MarkList& Marks() const { return marks_; }
    std::size_t Count() const { return marks_.size(); }
    const Mark& operator[](std::size_t index) const { return *marks_[index]; }
    // The marks as pointers, `replaced` (an index) shown as `live` instead,
    // or `live` added on top when `replaced` is none: a mark being drawn
    // or dragged, not yet a step.
    std::vector<const Mark*> View(const Mark* live = nullptr,
                                  std::optional<std::size_t> replaced = std::nullopt) const;

    // One step each.
    void Add(Mark mark);
    void Replace(std::size_t index, Mark mark);
    void Remove(std::size_t index);
    // The marks that touch `area` stay, moved into the cropped image.
    void Crop(const IntRect& area);

    // The step undone or redone, none when there is none.
    std::optional<Step> Undo();
    std::optional<Step> Redo();
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    std::size_t UndoDepth() const { return undo_.size(); }

    // The number a new step takes: one after the last step made (1 for the first).
    int NextStepNumber() const;

private:
    struct Record {
        StepKind kind;
        IntRect crop;
        MarkList marks; // the marks on the other side of the step
    };
    void Commit(MarkList next, StepKind kind = StepKind::Marks, IntRect crop = {});

    MarkList marks_;
    std::vector<Record> undo_, redo_;
};

} // namespace corvinade
