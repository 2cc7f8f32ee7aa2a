// The image view's zoom; see ZoomGeometry.h.
#include "gui/ZoomGeometry.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numeric>

namespace corvinade::gui {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return -FloorDiv(-a, b);
}

bool Shrinks(const Zoom& zoom) {
    return zoom.num < zoom.den;
}

// The steps of the wheel and the keys.
constexpr Zoom Steps[] = {{1, 20}, {1, 10}, {3, 20}, {1, 5}, {1, 4}, {1, 3}, {1, 2}, {2, 3}, {3, 4},
                          {1, 1},  {5, 4},  {3, 2},  {2, 1}, {3, 1}, {4, 1}, {6, 1}, {8, 1}};

} // namespace

Zoom MakeZoom(std::int64_t num, std::int64_t den) {
    if (num <= 0 || den <= 0)
        return {};
    const std::int64_t common = std::gcd(num, den);
    num /= common;
    den /= common;
    // Beyond 32 bits only a zoom of no practical difference: scale it down.
    while (num > INT32_MAX || den > INT32_MAX) {
        num = std::max<std::int64_t>(1, num / 2);
        den = std::max<std::int64_t>(1, den / 2);
    }
    return {static_cast<std::int32_t>(num), static_cast<std::int32_t>(den)};
}

bool operator<(const Zoom& a, const Zoom& b) {
    return static_cast<std::int64_t>(a.num) * b.den < static_cast<std::int64_t>(b.num) * a.den;
}

std::string ZoomText(const Zoom& zoom) {
    const std::int64_t percent = FloorDiv(200 * static_cast<std::int64_t>(zoom.num) + zoom.den, 2 * zoom.den);
    return std::to_string(percent) + "%";
}

Zoom FitZoom(int imageWidth, int imageHeight, int viewWidth, int viewHeight) {
    if (imageWidth <= 0 || imageHeight <= 0)
        return {};
    viewWidth = std::max(1, viewWidth);
    viewHeight = std::max(1, viewHeight);
    if (imageWidth <= viewWidth && imageHeight <= viewHeight)
        return {};
    // The tighter of the two sides: viewWidth / imageWidth against viewHeight / imageHeight.
    if (static_cast<std::int64_t>(viewWidth) * imageHeight <=
        static_cast<std::int64_t>(viewHeight) * imageWidth)
        return MakeZoom(viewWidth, imageWidth);
    return MakeZoom(viewHeight, imageHeight);
}

Zoom NextZoom(const Zoom& zoom, bool in) {
    if (in) {
        for (const Zoom& step : Steps)
            if (zoom < step)
                return step;
        return zoom;
    }
    for (auto step = std::rbegin(Steps); step != std::rend(Steps); ++step)
        if (*step < zoom)
            return *step;
    return zoom;
}

std::int64_t ImageToView(std::int64_t image, const Zoom& zoom) {
    return FloorDiv(image * zoom.num, zoom.den);
}

// The smallest i whose next pixel starts past v: floor((i + 1) * num / den) > v.
std::int64_t ViewToImage(std::int64_t view, const Zoom& zoom) {
    return CeilDiv((view + 1) * zoom.den, zoom.num) - 1;
}

ImageSpan ImageSpanAt(std::int64_t view, const Zoom& zoom) {
    if (!Shrinks(zoom)) {
        const std::int64_t i = ViewToImage(view, zoom);
        return {i, i + 1};
    }
    return {CeilDiv(view * zoom.den, zoom.num), CeilDiv((view + 1) * zoom.den, zoom.num)};
}

int ZoomAxis::Content() const {
    if (image <= 0)
        return 0;
    return static_cast<int>(std::max<std::int64_t>(1, ImageToView(image, zoom)));
}

int ZoomAxis::MaxScroll() const {
    return std::max(0, Content() - view);
}

int ZoomAxis::Origin() const {
    const int content = Content();
    if (content <= view)
        return (view - content) / 2;
    return -std::clamp(scroll, 0, content - view);
}

int ZoomAxis::ToClient(std::int64_t imagePos) const {
    return static_cast<int>(Origin() + ImageToView(imagePos, zoom));
}

std::int64_t ZoomAxis::ToImage(int client) const {
    return ViewToImage(static_cast<std::int64_t>(client) - Origin(), zoom);
}

int ScrollKeeping(const ZoomAxis& before, const Zoom& zoom, int anchor) {
    // The image position (in image pixels, with its fraction) under the
    // anchor pixel's centre; afterwards that centre, rounded, is there again.
    const double at = (anchor - before.Origin() + 0.5) * before.zoom.den / before.zoom.num;
    ZoomAxis after = before;
    after.zoom = zoom;
    const double scroll = std::floor(at * zoom.num / zoom.den - anchor);
    return static_cast<int>(std::clamp<double>(scroll, 0, after.MaxScroll()));
}

} // namespace corvinade::gui
