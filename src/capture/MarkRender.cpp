// Painting the marks; see MarkRender.h.
#include "capture/MarkRender.h"

#include <algorithm>
#include <cmath>

namespace corvinade {

namespace {

std::uint8_t Coverage(double v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 1.0) * 255 + 0.5);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return -FloorDiv(-a, b);
}

IntRect Intersect(const IntRect& a, const IntRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool Empty(const IntRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

int Narrow(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -(std::int64_t{1} << 30), std::int64_t{1} << 30));
}

} // namespace

std::uint32_t StepNumberColour(std::uint32_t disc) {
    const std::uint32_t r = (disc >> 16) & 0xFF, g = (disc >> 8) & 0xFF, b = disc & 0xFF;
    return (r * 299 + g * 587 + b * 114) / 1000 > 150 ? 0x000000u : 0xFFFFFFu;
}

PointF MarkPainter::ToTarget(PointF p) const {
    return {scale_.origin.x + p.x * factor_, scale_.origin.y + p.y * factor_};
}

double MarkPainter::Scaled(double length) const {
    return length * factor_;
}

// The coverage starts empty over the image bounds as they land on the
// target (zoomed: a pixel wider for the rounding and the thinnest line),
// within the target's area.
bool MarkPainter::StartCoverage(const IntRect& b) {
    const std::int64_t num = scale_.zoom.num, den = scale_.zoom.den;
    const int margin = num == den ? 0 : 1;
    const IntRect r = {Narrow(scale_.origin.x + FloorDiv(std::int64_t{b.left} * num, den) - margin),
                       Narrow(scale_.origin.y + FloorDiv(std::int64_t{b.top} * num, den) - margin),
                       Narrow(scale_.origin.x + CeilDiv(std::int64_t{b.right} * num, den) + margin),
                       Narrow(scale_.origin.y + CeilDiv(std::int64_t{b.bottom} * num, den) + margin)};
    rect_ = Intersect(r, target_.area);
    if (Empty(rect_))
        return false;
    coverage_.assign(static_cast<std::size_t>(rect_.Width()) * static_cast<std::size_t>(rect_.Height()), 0);
    return true;
}

// The pixels around [l, r] x [t, b] (target coordinates), one more each way
// for the smoothing, within the coverage.
IntRect MarkPainter::Within(double l, double t, double r, double b) const {
    auto whole = [](double v) { return Narrow(static_cast<std::int64_t>(std::clamp(v, -1e12, 1e12))); };
    return Intersect(rect_, {whole(std::floor(l)) - 1, whole(std::floor(t)) - 1, whole(std::ceil(r)) + 1,
                             whole(std::ceil(b)) + 1});
}

void MarkPainter::AddSegment(PointF a, PointF b, double half) {
    const IntRect box = Within(std::min(a.x, b.x) - half, std::min(a.y, b.y) - half,
                               std::max(a.x, b.x) + half, std::max(a.y, b.y) + half);
    for (int y = box.top; y < box.bottom; ++y) {
        std::uint8_t* row = coverage_.data() + static_cast<std::size_t>(y - rect_.top) * rect_.Width();
        for (int x = box.left; x < box.right; ++x) {
            const std::uint8_t v = Coverage(half + 0.5 - SegmentDistance({x + 0.5, y + 0.5}, a, b));
            std::uint8_t& c = row[x - rect_.left];
            c = std::max(c, v);
        }
    }
}

void MarkPainter::AddTriangle(PointF a, PointF b, PointF c) {
    const IntRect box = Within(std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}),
                               std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}));
    for (int y = box.top; y < box.bottom; ++y) {
        std::uint8_t* row = coverage_.data() + static_cast<std::size_t>(y - rect_.top) * rect_.Width();
        for (int x = box.left; x < box.right; ++x) {
            const std::uint8_t v = Coverage(0.5 - TriangleDistance({x + 0.5, y + 0.5}, a, b, c));
            std::uint8_t& cover = row[x - rect_.left];
            cover = std::max(cover, v);
        }
    }
}

// The line of width 2 * half along the box [l, r] x [t, b], square corners.
void MarkPainter::AddBoxOutline(double l, double t, double r, double b, double half) {
    auto inside = [](double px, double py, double l, double t, double r, double b) {
        if (r < l || b < t)
            return 0.0;
        return std::clamp(std::min(px - l, r - px) + 0.5, 0.0, 1.0) *
               std::clamp(std::min(py - t, b - py) + 0.5, 0.0, 1.0);
    };
    for (int y = rect_.top; y < rect_.bottom; ++y) {
        std::uint8_t* row = coverage_.data() + static_cast<std::size_t>(y - rect_.top) * rect_.Width();
        for (int x = rect_.left; x < rect_.right; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double v = inside(px, py, l - half, t - half, r + half, b + half) -
                             inside(px, py, l + half, t + half, r - half, b - half);
            std::uint8_t& c = row[x - rect_.left];
            c = std::max(c, Coverage(v));
        }
    }
}

void MarkPainter::AddEllipseOutline(PointF centre, double a, double b, double half) {
    for (int y = rect_.top; y < rect_.bottom; ++y) {
        std::uint8_t* row = coverage_.data() + static_cast<std::size_t>(y - rect_.top) * rect_.Width();
        for (int x = rect_.left; x < rect_.right; ++x) {
            const double d = std::abs(EllipseDistance(x + 0.5 - centre.x, y + 0.5 - centre.y, a, b));
            std::uint8_t& c = row[x - rect_.left];
            c = std::max(c, Coverage(half + 0.5 - d));
        }
    }
}

void MarkPainter::AddDisc(PointF centre, double radius) {
    for (int y = rect_.top; y < rect_.bottom; ++y) {
        std::uint8_t* row = coverage_.data() + static_cast<std::size_t>(y - rect_.top) * rect_.Width();
        for (int x = rect_.left; x < rect_.right; ++x) {
            const double d = std::hypot(x + 0.5 - centre.x, y + 0.5 - centre.y);
            std::uint8_t& c = row[x - rect_.left];
            c = std::max(c, Coverage(radius + 0.5 - d));
        }
    }
}

// Each target pixel takes the ink of the image pixel it shows, within
// `size` image pixels from the top-left corner.
void MarkPainter::AddInk(const AlphaMask& ink, IntPoint topLeft, IntPoint size) {
    if (ink.width <= 0 || ink.height <= 0 ||
        ink.alpha.size() < static_cast<std::size_t>(ink.width) * static_cast<std::size_t>(ink.height))
        return;
    const int width = std::min(ink.width, size.x), height = std::min(ink.height, size.y);
    const std::int64_t num = scale_.zoom.num, den = scale_.zoom.den;
    auto image = [&](int target, int origin) {
        return FloorDiv((2 * (std::int64_t{target} - origin) + 1) * den, 2 * num);
    };
    for (int y = rect_.top; y < rect_.bottom; ++y) {
        const std::int64_t v = image(y, scale_.origin.y) - topLeft.y;
        if (v < 0 || v >= height)
            continue;
        std::uint8_t* row = coverage_.data() + static_cast<std::size_t>(y - rect_.top) * rect_.Width();
        for (int x = rect_.left; x < rect_.right; ++x) {
            const std::int64_t u = image(x, scale_.origin.x) - topLeft.x;
            if (u < 0 || u >= width)
                continue;
            std::uint8_t& c = row[x - rect_.left];
            c = std::max(c, ink.At(static_cast<int>(u), static_cast<int>(v)));
        }
    }
}

void MarkPainter::Blend(std::uint32_t colour, bool multiply) {
    for (int y = rect_.top; y < rect_.bottom; ++y) {
        const std::uint8_t* cover =
            coverage_.data() + static_cast<std::size_t>(y - rect_.top) * rect_.Width();
        std::uint32_t* out =
            target_.first + (y - target_.area.top) * target_.stride + (rect_.left - target_.area.left);
        for (int x = 0; x < rect_.Width(); ++x) {
            const std::uint32_t a = cover[x];
            if (a == 0)
                continue;
            const std::uint32_t d = out[x];
            std::uint32_t result = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const std::uint32_t under = (d >> shift) & 0xFF, ink = (colour >> shift) & 0xFF;
                const std::uint32_t top = multiply ? (under * ink + 127) / 255 : ink;
                result |= ((under * (255 - a) + top * a + 127) / 255) << shift;
            }
            out[x] = result;
        }
    }
}

void MarkPainter::PaintMark(const Mark& mark) {
    if (mark.points.empty() || !StartCoverage(MarkBounds(mark)))
        return;
    const double half = std::max(0.5, Scaled(StrokeWidth(mark) / 2.0));
    const PointF a = ToTarget({mark.points.front().x + 0.5, mark.points.front().y + 0.5});
    const PointF b = ToTarget({mark.points.back().x + 0.5, mark.points.back().y + 0.5});
    switch (mark.kind) {
    case MarkKind::Arrow: {
        const ArrowShape s = ArrowOutline(mark);
        AddSegment(ToTarget(s.tail), ToTarget(s.shaftEnd), half);
        AddTriangle(ToTarget(s.tip), ToTarget(s.left), ToTarget(s.right));
        break;
    }
    case MarkKind::Line:
        AddSegment(a, b, half);
        break;
    case MarkKind::Pen:
    case MarkKind::Highlighter: {
        PointF previous = a;
        AddSegment(a, a, half);
        for (const IntPoint& p : mark.points) {
            const PointF next = ToTarget({p.x + 0.5, p.y + 0.5});
            AddSegment(previous, next, half);
            previous = next;
        }
        break;
    }
    case MarkKind::Rectangle:
        AddBoxOutline(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y), half);
        break;
    case MarkKind::Ellipse:
        AddEllipseOutline({(a.x + b.x) / 2, (a.y + b.y) / 2}, std::max(0.5, std::abs(b.x - a.x) / 2),
                          std::max(0.5, std::abs(b.y - a.y) / 2), half);
        break;
    case MarkKind::Text:
        if (ink_ && !mark.text.empty())
            AddInk(ink_->TextInk(mark.text, mark.textHeight, false), mark.points.front(), mark.textSize);
        break;
    case MarkKind::Step: {
        AddDisc(a, Scaled(StepRadius(mark.width)));
        Blend(mark.colour, false);
        if (!ink_)
            return;
        std::fill(coverage_.begin(), coverage_.end(), std::uint8_t{0});
        const AlphaMask& number =
            ink_->TextInk(std::to_string(mark.number), StepNumberHeight(mark.width), true);
        const IntPoint c = mark.points.front();
        AddInk(number, {c.x - (number.width - 1) / 2, c.y - (number.height - 1) / 2},
               {number.width, number.height});
        Blend(StepNumberColour(mark.colour), false);
        return;
    }
    case MarkKind::Redact:
        return;
    }
    Blend(mark.colour, mark.kind == MarkKind::Highlighter);
}

// Every target pixel that shows any covered image pixel takes the colour.
void MarkPainter::PaintRedaction(const Mark& mark, int block) {
    if (mark.points.empty())
        return;
    const IntRect r = RedactRect(mark);
    const std::int64_t num = scale_.zoom.num, den = scale_.zoom.den;
    std::int64_t l = scale_.origin.x + FloorDiv(std::int64_t{r.left} * num, den);
    std::int64_t t = scale_.origin.y + FloorDiv(std::int64_t{r.top} * num, den);
    std::int64_t right = scale_.origin.x + CeilDiv(std::int64_t{r.right} * num, den);
    std::int64_t bottom = scale_.origin.y + CeilDiv(std::int64_t{r.bottom} * num, den);
    if (block > 1) {
        l = FloorDiv(l, block) * block;
        t = FloorDiv(t, block) * block;
        right = CeilDiv(right, block) * block;
        bottom = CeilDiv(bottom, block) * block;
    }
    const IntRect fill = Intersect({Narrow(l), Narrow(t), Narrow(right), Narrow(bottom)}, target_.area);
    const std::uint32_t colour = mark.colour & 0xFFFFFFu;
    for (int y = fill.top; y < fill.bottom; ++y)
        std::fill_n(target_.first + (y - target_.area.top) * target_.stride + (fill.left - target_.area.left),
                    std::max(0, fill.Width()), colour);
}

void MarkPainter::Paint(const PixelArea& target, const MarkScale& scale,
                        const std::vector<const Mark*>& marks, int redactBlock) {
    if (!target.first || Empty(target.area))
        return;
    target_ = target;
    scale_ = scale;
    factor_ = static_cast<double>(scale.zoom.num) / scale.zoom.den;
    for (const Mark* mark : marks)
        if (mark->kind != MarkKind::Redact)
            PaintMark(*mark);
    for (const Mark* mark : marks)
        if (mark->kind == MarkKind::Redact)
            PaintRedaction(*mark, redactBlock);
}

void PaintMarks(PixelImage& image, IntPoint from, const std::vector<const Mark*>& marks, TextInkPort* ink,
                int redactBlock) {
    if (image.width <= 0 || image.height <= 0)
        return;
    MarkPainter painter(ink);
    painter.Paint({image.pixels.data(), image.width, {0, 0, image.width, image.height}},
                  {{1, 1}, {-from.x, -from.y}}, marks, redactBlock);
}

} // namespace corvinade
