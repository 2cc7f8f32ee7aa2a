// Painting the marks into 32-bit pixels: at full resolution into the image
// that is saved, copied, cropped or pinned, and zoomed into the image
// view's bands as it paints. Lines and outlines are smoothed by how much of
// each pixel they cover; a highlighter multiplies what lies under it, as ink
// on paper; a redaction fills its pixels with its one colour, over every
// other mark, and for JPEG covers the whole blocks it touches, so that no
// neighbour's colour bleeds into it through the compression. Portable: the
// texts' ink comes through a port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "capture/BmpFile.h"
#include "capture/Marks.h"
#include "gui/ZoomGeometry.h"

namespace corvinade {

// How much of each pixel a text covers, 0 to 255, rows top-down.
struct AlphaMask {
    int width = 0, height = 0;
    std::vector<std::uint8_t> alpha;
    std::uint8_t At(int x, int y) const {
        return alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)];
    }
};

// Where texts and step numbers get their pixels: the window system's fonts.
class TextInkPort {
public:
    // The ink of `text` (lines separated by '\n') at a font height in
    // pixels, bold for a step's number. The mask lives until the next call.
    virtual const AlphaMask& TextInk(const std::string& text, int height, bool bold) = 0;

protected:
    ~TextInkPort() = default;
};

// Target pixels: `first` is pixel (area.left, area.top), rows `stride`
// pixels apart. Nothing outside `area` is touched.
struct PixelArea {
    std::uint32_t* first = nullptr;
    std::ptrdiff_t stride = 0;
    IntRect area;
};

// Image point p lands on target point origin + p * zoom.
struct MarkScale {
    gui::Zoom zoom;
    IntPoint origin;
};

// JPEG's blocks, colour included: 8 x 8 samples of each component, the
// colour's at half resolution both ways.
inline constexpr int JpegBlock = 16;

// The colour a step's number takes on its disc: white on dark, black on light.
std::uint32_t StepNumberColour(std::uint32_t disc);

class MarkPainter {
public:
    explicit MarkPainter(TextInkPort* ink) : ink_(ink) {}

    // Paints the marks in order, redactions last. A redaction snaps outward
    // to blocks of `redactBlock` target pixels counted from target (0, 0).
    void Paint(const PixelArea& target, const MarkScale& scale, const std::vector<const Mark*>& marks,
               int redactBlock = 1);

private:
    void PaintMark(const Mark& mark);
    void PaintRedaction(const Mark& mark, int block);
    PointF ToTarget(PointF image) const;
    double Scaled(double length) const;
    bool StartCoverage(const IntRect& imageBounds);
    IntRect Within(double l, double t, double r, double b) const;
    void AddSegment(PointF a, PointF b, double half);
    void AddTriangle(PointF a, PointF b, PointF c);
    void AddBoxOutline(double l, double t, double r, double b, double half);
    void AddEllipseOutline(PointF centre, double a, double b, double half);
    void AddDisc(PointF centre, double radius);
    void AddInk(const AlphaMask& ink, IntPoint imageTopLeft, IntPoint size);
    void Blend(std::uint32_t colour, bool multiply);

    TextInkPort* ink_;
    PixelArea target_{};
    MarkScale scale_{};
    double factor_ = 1;
    // The coverage of the mark being painted over rect_ (target pixels).
    IntRect rect_{};
    std::vector<std::uint8_t> coverage_;
};

// The marks painted into a full-resolution image whose pixel (0, 0) is image
// pixel `from`.
void PaintMarks(PixelImage& image, IntPoint from, const std::vector<const Mark*>& marks, TextInkPort* ink,
                int redactBlock = 1);

} // namespace corvinade
