// Geometry of SelectionControl, the selection rectangle: frame and inner
// values per BoxPos, the eight boxes, drag zones with their cursors, the
// zone actions with the minimum-size check, the info text and the centre
// marks. Portable, so every rule is tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvinade {

enum TDragBoxPos { dbpInside = 0, dbpMiddle = 1, dbpOutside = 2 };
enum TCenterMark { cmCircle = 0, cmCross = 1, cmCustom = 2, cmNone = 3, cmSquare = 4, cmXMark = 5 };

// The cursors the control uses, by their toolkit numbers.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crSizeAll = -22;

// left, top, right, bottom; right and bottom exclusive.
struct IntRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const IntRect&) const = default;
};

struct IntPoint {
    int x = 0, y = 0;
    bool operator==(const IntPoint&) const = default;
};

// A control's position in its parent and its size.
struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Bounds&) const = default;
};

// What the info text reports.
struct InnerGeometry {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const InnerGeometry&) const = default;
};

IntRect FrameRect(int width, int height, int boxSize, TDragBoxPos pos);
InnerGeometry InnerOf(const Bounds& bounds, int boxSize, TDragBoxPos pos);

// The eight boxes in drawing order: top-left, top-middle, top-right,
// middle-left, middle-right, bottom-left, bottom-middle, bottom-right.
std::array<IntRect, 8> BoxRects(int width, int height, int boxSize);

// Drag zones: 0 top-left, 1 top-middle, 2 top-right, 3 middle-left,
// 4 middle-right, 5 bottom-left, 6 bottom-middle, 7 bottom-right, 8 body.
inline constexpr int BodyZone = 8;
int FindDragZone(int x, int y, int width, int height, int boxSize);
TCursor ZoneCursor(int zone, TCursor defaultCursor);

// The bounds a left-button move at (x, y) (control coordinates) asks for in
// `zone`; for the body, dragStart is the press point.
Bounds ZoneTarget(int zone, const Bounds& current, int x, int y, IntPoint dragStart);

// SetBoundsChecked: each bound taken from `wanted` only when it differs and
// its dimension stays at least 2 * boxSize; the others keep their value.
Bounds CheckedBounds(const Bounds& current, const Bounds& wanted, int boxSize);

// The info text: %w, %h, %l, %t (any letter case) replaced in that order.
std::string FormatInfoText(const std::string& format, const InnerGeometry& inner);

// Lines of a text broken at CR, LF or CR LF; a final break ends the last line.
std::vector<std::string> SplitLines(const std::string& text);

// Where the info text goes, or nothing when it does not fit. penWidth is the
// frame pen's width; the sizes are measured with the display font.
std::optional<IntRect> InfoTextRect(int width, int height, int boxSize, int penWidth, int maxLineWidth,
                                    int totalHeight, int wholeTextWidth);

// The shapes of a centre mark, in control coordinates.
struct CenterMarkShape {
    enum Kind { None, Ellipse, Rectangle, Lines, Picture } kind = None;
    IntRect box{};                   // Ellipse, Rectangle
    std::array<IntPoint, 4> lines{}; // Lines: two segments (from, to), end points not drawn
    IntPoint at{};                   // Picture: top-left corner
};

bool CenterMarkVisible(const InnerGeometry& inner, int radius);
// pictureWidth/Height: the custom picture's size (0 x 0 for none).
CenterMarkShape CenterMarkOf(TCenterMark mark, int width, int height, int boxSize, int radius, int penWidth,
                             int pictureWidth, int pictureHeight);

} // namespace corvinade
