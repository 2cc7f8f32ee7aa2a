// The marks and their history; see Marks.h.
#include "capture/Marks.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace corvinade {

namespace {

constexpr double Limit = 1 << 30;

int Clamped(double v) {
    return static_cast<int>(std::clamp(v, -Limit, Limit));
}

PointF Centre(IntPoint p) {
    return {p.x + 0.5, p.y + 0.5};
}

IntPoint First(const Mark& mark) {
    return mark.points.empty() ? IntPoint{} : mark.points.front();
}

IntPoint Last(const Mark& mark) {
    return mark.points.empty() ? IntPoint{} : mark.points.back();
}

double Distance(PointF a, PointF b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The signed distance to the box [l, r] x [t, b]: negative inside.
double BoxDistance(PointF p, double l, double t, double r, double b) {
    const double dx = std::max(l - p.x, p.x - r), dy = std::max(t - p.y, p.y - b);
    const double outside = std::hypot(std::max(dx, 0.0), std::max(dy, 0.0));
    return outside + std::min(std::max(dx, dy), 0.0);
}

// The corners' pixel rectangle: both corners inside, right and bottom exclusive.
IntRect CornerRect(const Mark& mark) {
    const IntPoint a = First(mark), b = Last(mark);
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

// The rectangle through the corners' pixel centres, with the line's half
// width around it, out to whole pixels and one more for the smoothing.
IntRect Around(double l, double t, double r, double b, double margin) {
    return {Clamped(std::floor(l - margin)) - 1, Clamped(std::floor(t - margin)) - 1,
            Clamped(std::ceil(r + margin)) + 1, Clamped(std::ceil(b + margin)) + 1};
}

double PathDistance(const std::vector<IntPoint>& path, PointF p) {
    if (path.empty())
        return Limit;
    double best = Distance(p, Centre(path.front()));
    for (std::size_t i = 1; i < path.size(); ++i)
        best = std::min(best, SegmentDistance(p, Centre(path[i - 1]), Centre(path[i])));
    return best;
}

// Both hold pixels, some of them the same.
bool Touch(const IntRect& a, const IntRect& b) {
    return a.left < a.right && a.top < a.bottom && a.left < b.right && b.left < a.right && a.top < b.bottom &&
           b.top < a.bottom;
}

} // namespace

double SegmentDistance(PointF p, PointF a, PointF b) {
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double length2 = vx * vx + vy * vy;
    double t = length2 > 0 ? ((p.x - a.x) * vx + (p.y - a.y) * vy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return Distance(p, {a.x + t * vx, a.y + t * vy});
}

double EllipseDistance(double dx, double dy, double a, double b) {
    const double g = dx * dx / (a * a) + dy * dy / (b * b) - 1;
    const double gx = 2 * dx / (a * a), gy = 2 * dy / (b * b);
    const double n = std::hypot(gx, gy);
    if (n < 1e-9)
        return -std::min(a, b);
    return g / n;
}

double TriangleDistance(PointF p, PointF a, PointF b, PointF c) {
    // Wound either way: each edge's outward side is away from the third corner.
    const PointF corners[3] = {a, b, c};
    double worst = -Limit;
    for (int i = 0; i < 3; ++i) {
        const PointF u = corners[i], v = corners[(i + 1) % 3], w = corners[(i + 2) % 3];
        double nx = v.y - u.y, ny = u.x - v.x;
        const double length = std::hypot(nx, ny);
        if (length < 1e-9)
            continue;
        nx /= length;
        ny /= length;
        if ((w.x - u.x) * nx + (w.y - u.y) * ny > 0) {
            nx = -nx;
            ny = -ny;
        }
        worst = std::max(worst, (p.x - u.x) * nx + (p.y - u.y) * ny);
    }
    return worst == -Limit ? Distance(p, a) : worst;
}

int MarkWidth(const Mark& mark) {
    return std::clamp(mark.width, 1, MaxMarkWidth);
}

int StrokeWidth(const Mark& mark) {
    const int width = MarkWidth(mark);
    return mark.kind == MarkKind::Highlighter ? std::max(14, 4 * width) : width;
}

int ArrowHeadLength(int width) {
    return 3 * std::clamp(width, 1, MaxMarkWidth) + 10;
}

int StepRadius(int width) {
    return 2 * std::clamp(width, 1, MaxMarkWidth) + 9;
}

int StepNumberHeight(int width) {
    return StepRadius(width) * 5 / 4;
}

ArrowShape ArrowOutline(const Mark& mark) {
    const PointF tail = Centre(First(mark)), tip = Centre(Last(mark));
    const double length = Distance(tail, tip);
    // A short arrow is mostly head.
    const double head = std::min<double>(ArrowHeadLength(mark.width), length * 0.8);
    const double dx = length > 0 ? (tip.x - tail.x) / length : 1,
                 dy = length > 0 ? (tip.y - tail.y) / length : 0;
    const PointF base = {tip.x - dx * head, tip.y - dy * head};
    const double half = head * 0.55;
    // The shaft reaches into the head, so no gap shows between them.
    const PointF shaftEnd = {tip.x - dx * head * 0.7, tip.y - dy * head * 0.7};
    return {tail,
            shaftEnd,
            tip,
            {base.x - dy * half, base.y + dx * half},
            {base.x + dy * half, base.y - dx * half}};
}

IntRect RedactRect(const Mark& mark) {
    return CornerRect(mark);
}

IntRect MarkBounds(const Mark& mark) {
    if (mark.points.empty())
        return {};
    const double half = StrokeWidth(mark) / 2.0;
    switch (mark.kind) {
    case MarkKind::Arrow: {
        const ArrowShape s = ArrowOutline(mark);
        const double xs[] = {s.tail.x, s.tip.x, s.left.x, s.right.x};
        const double ys[] = {s.tail.y, s.tip.y, s.left.y, s.right.y};
        return Around(*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4),
                      *std::max_element(xs, xs + 4), *std::max_element(ys, ys + 4), half);
    }
    case MarkKind::Line:
    case MarkKind::Rectangle:
    case MarkKind::Ellipse:
    case MarkKind::Pen:
    case MarkKind::Highlighter: {
        const bool corners = mark.kind != MarkKind::Pen && mark.kind != MarkKind::Highlighter;
        const IntPoint a = First(mark), b = Last(mark);
        double l = std::min(a.x, b.x), t = std::min(a.y, b.y), r = std::max(a.x, b.x),
               bottom = std::max(a.y, b.y);
        if (!corners)
            for (const IntPoint& p : mark.points) {
                l = std::min<double>(l, p.x);
                t = std::min<double>(t, p.y);
                r = std::max<double>(r, p.x);
                bottom = std::max<double>(bottom, p.y);
            }
        return Around(l + 0.5, t + 0.5, r + 0.5, bottom + 0.5, half);
    }
    case MarkKind::Text: {
        const IntPoint p = First(mark);
        return {p.x, p.y, Clamped(static_cast<double>(p.x) + std::max(0, mark.textSize.x)),
                Clamped(static_cast<double>(p.y) + std::max(0, mark.textSize.y))};
    }
    case MarkKind::Step: {
        const PointF c = Centre(First(mark));
        return Around(c.x, c.y, c.x, c.y, StepRadius(mark.width));
    }
    case MarkKind::Redact:
        return CornerRect(mark);
    }
    return {};
}

double DistanceToMark(const Mark& mark, IntPoint point) {
    if (mark.points.empty())
        return Limit;
    const PointF p = Centre(point);
    const double half = StrokeWidth(mark) / 2.0;
    double d = Limit;
    switch (mark.kind) {
    case MarkKind::Arrow: {
        const ArrowShape s = ArrowOutline(mark);
        d = std::min(SegmentDistance(p, s.tail, s.shaftEnd) - half,
                     TriangleDistance(p, s.tip, s.left, s.right));
        break;
    }
    case MarkKind::Line:
        d = SegmentDistance(p, Centre(First(mark)), Centre(Last(mark))) - half;
        break;
    case MarkKind::Pen:
    case MarkKind::Highlighter:
        d = PathDistance(mark.points, p) - half;
        break;
    case MarkKind::Rectangle: {
        const IntRect r = CornerRect(mark);
        d = std::abs(BoxDistance(p, r.left + 0.5, r.top + 0.5, r.right - 0.5, r.bottom - 0.5)) - half;
        break;
    }
    case MarkKind::Ellipse: {
        const IntRect r = CornerRect(mark);
        const double a = std::max(0.5, (r.Width() - 1) / 2.0), b = std::max(0.5, (r.Height() - 1) / 2.0);
        d = std::abs(EllipseDistance(p.x - (r.left + r.right) / 2.0, p.y - (r.top + r.bottom) / 2.0, a, b)) -
            half;
        break;
    }
    case MarkKind::Text:
    case MarkKind::Redact: {
        const IntRect r = MarkBounds(mark);
        d = BoxDistance(p, r.left, r.top, r.right, r.bottom);
        break;
    }
    case MarkKind::Step:
        d = Distance(p, Centre(First(mark))) - StepRadius(mark.width);
        break;
    }
    return std::max(0.0, d);
}

std::optional<std::size_t> MarkAt(const std::vector<const Mark*>& marks, IntPoint point, double tolerance) {
    for (const bool redactions : {true, false})
        for (std::size_t i = marks.size(); i-- > 0;)
            if ((marks[i]->kind == MarkKind::Redact) == redactions &&
                DistanceToMark(*marks[i], point) <= tolerance)
                return i;
    return std::nullopt;
}

std::vector<IntPoint> MarkHandles(const Mark& mark) {
    if (mark.points.empty())
        return {};
    const IntPoint a = First(mark), b = Last(mark);
    switch (mark.kind) {
    case MarkKind::Arrow:
    case MarkKind::Line:
        return {a, b};
    case MarkKind::Rectangle:
    case MarkKind::Ellipse:
    case MarkKind::Redact:
        return {a, {b.x, a.y}, b, {a.x, b.y}};
    default:
        return {};
    }
}

std::optional<std::size_t> HandleAt(const Mark& mark, IntPoint point, double tolerance) {
    const std::vector<IntPoint> handles = MarkHandles(mark);
    std::optional<std::size_t> best;
    double nearest = tolerance;
    for (std::size_t i = 0; i < handles.size(); ++i) {
        const double d = std::max(std::abs(handles[i].x - point.x), std::abs(handles[i].y - point.y));
        if (d <= nearest) {
            nearest = d;
            best = i;
        }
    }
    return best;
}

void MoveMark(Mark& mark, int dx, int dy) {
    for (IntPoint& p : mark.points)
        p = {Clamped(static_cast<double>(p.x) + dx), Clamped(static_cast<double>(p.y) + dy)};
}

void DragHandle(Mark& mark, std::size_t handle, IntPoint to) {
    if (handle >= MarkHandles(mark).size())
        return;
    IntPoint& a = mark.points.front();
    IntPoint& b = mark.points.back();
    if (mark.kind == MarkKind::Arrow || mark.kind == MarkKind::Line) {
        (handle == 0 ? a : b) = to;
        return;
    }
    switch (handle) {
    case 0:
        a = to;
        break;
    case 1:
        b.x = to.x;
        a.y = to.y;
        break;
    case 2:
        b = to;
        break;
    default:
        a.x = to.x;
        b.y = to.y;
        break;
    }
}

bool MarkTouches(const Mark& mark, const IntRect& area) {
    return Touch(MarkBounds(mark), area);
}

std::string MarkKindName(MarkKind kind) {
    switch (kind) {
    case MarkKind::Arrow:
        return "Arrow";
    case MarkKind::Rectangle:
        return "Rectangle";
    case MarkKind::Ellipse:
        return "Ellipse";
    case MarkKind::Line:
        return "Line";
    case MarkKind::Pen:
        return "Pen stroke";
    case MarkKind::Highlighter:
        return "Highlight";
    case MarkKind::Text:
        return "Text";
    case MarkKind::Step:
        return "Step";
    case MarkKind::Redact:
        return "Redaction";
    }
    return "Mark";
}

std::string DescribeMark(const Mark& mark) {
    auto at = [](IntPoint p) { return std::to_string(p.x) + ", " + std::to_string(p.y); };
    const IntPoint a = First(mark), b = Last(mark);
    switch (mark.kind) {
    case MarkKind::Text: {
        std::string text = mark.text;
        std::replace(text.begin(), text.end(), '\n', ' ');
        return "Text \"" + text + "\" at " + at(a);
    }
    case MarkKind::Step:
        return "Step " + std::to_string(mark.number) + " at " + at(a);
    default:
        return MarkKindName(mark.kind) + " from " + at(a) + " to " + at(b);
    }
}

std::vector<const Mark*> MarkHistory::View(const Mark* live, std::optional<std::size_t> replaced) const {
    std::vector<const Mark*> view;
    view.reserve(marks_.size() + 1);
    for (std::size_t i = 0; i < marks_.size(); ++i)
        view.push_back(live && replaced == i ? live : marks_[i].get());
    if (live && !replaced)
        view.push_back(live);
    return view;
}

void MarkHistory::Commit(MarkList next, StepKind kind, IntRect crop) {
    undo_.push_back({kind, crop, std::move(marks_)});
    marks_ = std::move(next);
    redo_.clear();
}

void MarkHistory::Add(Mark mark) {
    MarkList next = marks_;
    next.push_back(std::make_shared<const Mark>(std::move(mark)));
    Commit(std::move(next));
}

void MarkHistory::Replace(std::size_t index, Mark mark) {
    if (index >= marks_.size())
        return;
    MarkList next = marks_;
    next[index] = std::make_shared<const Mark>(std::move(mark));
    Commit(std::move(next));
}

void MarkHistory::Remove(std::size_t index) {
    if (index >= marks_.size())
        return;
    MarkList next = marks_;
    next.erase(next.begin() + static_cast<std::ptrdiff_t>(index));
    Commit(std::move(next));
}

void MarkHistory::Crop(const IntRect& area) {
    MarkList next;
    for (const auto& mark : marks_)
        if (MarkTouches(*mark, area)) {
            Mark moved = *mark;
            MoveMark(moved, -area.left, -area.top);
            next.push_back(std::make_shared<const Mark>(std::move(moved)));
        }
    Commit(std::move(next), StepKind::Crop, area);
}

std::optional<MarkHistory::Step> MarkHistory::Undo() {
    if (undo_.empty())
        return std::nullopt;
    Record record = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back({record.kind, record.crop, std::move(marks_)});
    marks_ = std::move(record.marks);
    return Step{record.kind, record.crop};
}

std::optional<MarkHistory::Step> MarkHistory::Redo() {
    if (redo_.empty())
        return std::nullopt;
    Record record = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back({record.kind, record.crop, std::move(marks_)});
    marks_ = std::move(record.marks);
    return Step{record.kind, record.crop};
}

int MarkHistory::NextStepNumber() const {
    for (auto it = marks_.rbegin(); it != marks_.rend(); ++it)
        if ((*it)->kind == MarkKind::Step)
            return std::clamp((*it)->number, 0, 99998) + 1;
    return 1;
}

} // namespace corvinade
