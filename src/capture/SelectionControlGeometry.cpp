// Geometry of SelectionControl; see SelectionControlGeometry.h.
#include "capture/SelectionControlGeometry.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace corvinade {

namespace {

// The hit point of each zone, in the order the zones are tested.
struct ZoneProbe {
    int zone;
    int px, py; // multiples of W and H: 0, 1, or 2 for W div 2 / H div 2
};
constexpr ZoneProbe ZoneOrder[] = {{0, 0, 0}, {7, 1, 1}, {5, 0, 1}, {2, 1, 0},
                                   {3, 0, 2}, {4, 1, 2}, {1, 2, 0}, {6, 2, 1}};

int ProbeCoordinate(int factor, int size) {
    return factor == 0 ? 0 : factor == 1 ? size : size / 2;
}

bool StartsWithNoCase(const std::string& text, std::size_t at, const std::string& token) {
    if (text.size() - at < token.size())
        return false;
    for (std::size_t i = 0; i < token.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) !=
            std::tolower(static_cast<unsigned char>(token[i])))
            return false;
    return true;
}

// Replaces every occurrence of token (any letter case), scanning left to
// right; the replacement itself is not scanned again.
std::string ReplaceAllNoCase(const std::string& text, const std::string& token, const std::string& by) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (StartsWithNoCase(text, i, token)) {
            out += by;
            i += token.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

} // namespace

IntRect FrameRect(int width, int height, int boxSize, TDragBoxPos pos) {
    const int inset = pos == dbpInside ? 0 : pos == dbpMiddle ? boxSize / 2 : boxSize;
    return {inset, inset, width - inset, height - inset};
}

InnerGeometry InnerOf(const Bounds& b, int boxSize, TDragBoxPos pos) {
    switch (pos) {
    case dbpMiddle:
        return {b.left + boxSize / 2, b.top + boxSize / 2, b.width - boxSize, b.height - boxSize};
    case dbpOutside:
        return {b.left + boxSize, b.top + boxSize, b.width - 2 * boxSize, b.height - 2 * boxSize};
    case dbpInside:
        break;
    }
    return {b.left, b.top, b.width, b.height};
}

std::array<IntRect, 8> BoxRects(int w, int h, int b) {
    const int cx = w / 2, cy = h / 2, half = b / 2;
    return {{{0, 0, b, b},
             {cx - half, 0, cx + half, b},
             {w - b, 0, w, b},
             {0, cy - half, b, cy + half},
             {w - b, cy - half, w, cy + half},
             {0, h - b, b, h},
             {cx - half, h - b, cx + half, h},
             {w - b, h - b, w, h}}};
}

int FindDragZone(int x, int y, int w, int h, int b) {
    for (const ZoneProbe& probe : ZoneOrder) {
        const int px = ProbeCoordinate(probe.px, w), py = ProbeCoordinate(probe.py, h);
        if (std::abs(x - px) <= b && std::abs(y - py) <= b)
            return probe.zone;
    }
    return BodyZone;
}

TCursor ZoneCursor(int zone, TCursor defaultCursor) {
    switch (zone) {
    case 0:
    case 7:
        return crSizeNWSE;
    case 2:
    case 5:
        return crSizeNESW;
    case 3:
    case 4:
        return crSizeWE;
    case 1:
    case 6:
        return crSizeNS;
    default:
        return defaultCursor;
    }
}

Bounds ZoneTarget(int zone, const Bounds& c, int x, int y, IntPoint dragStart) {
    switch (zone) {
    case 0:
        return {c.left + x, c.top + y, c.width - x, c.height - y};
    case 1:
        return {c.left, c.top + y, c.width, c.height - y};
    case 2:
        return {c.left, c.top + y, x, c.height - y};
    case 3:
        return {c.left + x, c.top, c.width - x, c.height};
    case 4:
        return {c.left, c.top, x, c.height};
    case 5:
        return {c.left + x, c.top, c.width - x, y};
    case 6:
        return {c.left, c.top, c.width, y};
    case 7:
        return {c.left, c.top, x, y};
    default:
        return {c.left + x - dragStart.x, c.top + y - dragStart.y, c.width, c.height};
    }
}

Bounds CheckedBounds(const Bounds& c, const Bounds& wanted, int boxSize) {
    const int minimum = 2 * boxSize;
    Bounds result = c;
    if (wanted.left != c.left && wanted.width >= minimum)
        result.left = wanted.left;
    if (wanted.top != c.top && wanted.height >= minimum)
        result.top = wanted.top;
    if (wanted.width != c.width && wanted.width >= minimum)
        result.width = wanted.width;
    if (wanted.height != c.height && wanted.height >= minimum)
        result.height = wanted.height;
    return result;
}

std::string FormatInfoText(const std::string& format, const InnerGeometry& inner) {
    std::string text = ReplaceAllNoCase(format, "%w", std::to_string(inner.width));
    text = ReplaceAllNoCase(text, "%h", std::to_string(inner.height));
    text = ReplaceAllNoCase(text, "%l", std::to_string(inner.left));
    return ReplaceAllNoCase(text, "%t", std::to_string(inner.top));
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

std::optional<IntRect> InfoTextRect(int w, int h, int b, int p, int maxLineWidth, int totalHeight,
                                    int wholeTextWidth) {
    if (4 * p + 2 * b + maxLineWidth >= w || 4 * p + 2 * b + totalHeight >= h)
        return std::nullopt;
    return IntRect{2 * p + 2 * b, 2 * p + b, 2 * p + 2 * b + wholeTextWidth, 2 * p + b + totalHeight};
}

bool CenterMarkVisible(const InnerGeometry& inner, int radius) {
    return inner.width > radius && inner.height > radius;
}

CenterMarkShape CenterMarkOf(TCenterMark mark, int w, int h, int b, int r, int penWidth, int pictureWidth,
                             int pictureHeight) {
    const int cx = w / 2, cy = h / 2, half = r / 2;
    CenterMarkShape shape;
    switch (mark) {
    case cmCircle:
    case cmSquare:
        shape.kind = mark == cmCircle ? CenterMarkShape::Ellipse : CenterMarkShape::Rectangle;
        shape.box = {cx - half, cy - half, cx + half, cy + half};
        break;
    case cmCross: {
        const int e = r % 2 == 0 ? 1 : 0;
        shape.kind = CenterMarkShape::Lines;
        shape.lines = {{{cx, cy - half}, {cx, cy - half + r + e}, {cx - half, cy}, {cx - half + r + e, cy}}};
        break;
    }
    case cmXMark: {
        const int d = static_cast<int>(std::nearbyint(r / std::sqrt(2.0)));
        const int k = d / 2, e = penWidth == 1 ? 1 : 0;
        shape.kind = CenterMarkShape::Lines;
        shape.lines = {
            {{cx - k, cy - k - e}, {cx + k + e, cy + k}, {cx + k, cy - k - e}, {cx - k - e, cy + k}}};
        break;
    }
    case cmCustom:
        if (pictureWidth > 0 && pictureHeight > 0 && pictureWidth < w - 3 * b && pictureHeight < h - 3 * b) {
            shape.kind = CenterMarkShape::Picture;
            shape.at = {cx - pictureWidth / 2, cy - pictureHeight / 2};
        }
        break;
    case cmNone:
        break;
    }
    return shape;
}

} // namespace corvinade
