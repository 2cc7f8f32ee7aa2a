// The image view's zoom, apart from the window system: a zoom as a fraction
// of view pixels per image pixel, the zoom that fits an image into a view,
// the steps the wheel and the keys go by, and one axis of a zoomed view
// (scrolled, or centred when the image is smaller than the view) with its
// mapping between client and image pixels. Exact integer arithmetic: the
// painting, the mouse and the selection's frame all land on the same pixels.
#pragma once

#include <cstdint>
#include <string>

namespace corvinade::gui {

// num view pixels for den image pixels; both positive, in lowest terms.
struct Zoom {
    std::int32_t num = 1, den = 1;
    bool operator==(const Zoom&) const = default;
};

// The fraction in lowest terms; a zero or negative part gives 1:1.
Zoom MakeZoom(std::int64_t num, std::int64_t den);
bool operator<(const Zoom& a, const Zoom& b);
// "100%", "62%": rounded to whole percents.
std::string ZoomText(const Zoom& zoom);

// The largest zoom, at most 1:1, at which the whole image fits the view.
Zoom FitZoom(int imageWidth, int imageHeight, int viewWidth, int viewHeight);
// The next step above (in) or below a zoom, from 5 % to 800 %; the zoom
// itself when there is none that way.
Zoom NextZoom(const Zoom& zoom, bool in);

// Image position i starts at view position floor(i * num / den).
std::int64_t ImageToView(std::int64_t image, const Zoom& zoom);
// The image pixel shown at view pixel v: the one whose view pixels hold v;
// when shrinking, the last of those averaged into v.
std::int64_t ViewToImage(std::int64_t view, const Zoom& zoom);
// The image pixels [first, end) painted into view pixel v: one when
// enlarging, all whose start falls on v when shrinking.
struct ImageSpan {
    std::int64_t first = 0, end = 0;
};
ImageSpan ImageSpanAt(std::int64_t view, const Zoom& zoom);

// One axis of a zoomed view. `scroll` counts the view pixels of the image
// scrolled off the start, and only counts while the image is longer than
// the view; a shorter image is centred.
struct ZoomAxis {
    int image = 0; // the image's length in image pixels
    int view = 0;  // the client's length
    int scroll = 0;
    Zoom zoom;

    // The image's length on the screen (a pixel at least).
    int Content() const;
    int MaxScroll() const;
    // The client position where the image starts.
    int Origin() const;
    int ToClient(std::int64_t image) const;
    std::int64_t ToImage(int client) const;
};

// The scroll at `zoom` that keeps the point of the image under client
// position `anchor` where it is, within the scroll's range.
int ScrollKeeping(const ZoomAxis& before, const Zoom& zoom, int anchor);

} // namespace corvinade::gui
