// The marks of a capture and their history: any sequence of marks made,
// replaced, moved, resized, removed, crops, undos and redos. The history
// walks exactly the states made (undo and redo as a cursor over them, a new
// step dropping what was undone); painting at full resolution stays within
// each mark's bounds and within the target at any zoom, and a redaction's
// pixels hold its colour alone, snapped to JPEG's blocks or not.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "capture/MarkRender.h"
#include "capture/Marks.h"

namespace {

using namespace corvinade;

constexpr int Far = 1 << 22;
constexpr std::uint32_t Ground = 0x5A6B7Cu;

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "marks: %s\n", what);
    std::abort();
}

class BlockInk : public TextInkPort {
public:
    const AlphaMask& TextInk(const std::string& text, int height, bool) override {
        const int width = std::min<int>(64, 5 * static_cast<int>(text.size()));
        mask_ = {width, std::clamp(height, 0, 64), {}};
        mask_.alpha.assign(static_cast<std::size_t>(mask_.width) * mask_.height, 200);
        return mask_;
    }

private:
    AlphaMask mask_;
};

IntPoint Point(fuzz::FuzzInput& in, bool near) {
    const int reach = near ? 80 : Far;
    return {in.Int(-reach, reach), in.Int(-reach, reach)};
}

Mark RandomMark(fuzz::FuzzInput& in, BlockInk& ink) {
    Mark mark;
    mark.kind = static_cast<MarkKind>(in.Int(0, 8));
    mark.colour = in.Take<std::uint32_t>() & 0xFFFFFFu;
    mark.width = in.Int(-4, 80);
    const bool near = in.Int(0, 7) != 0;
    const int count = in.Int(0, 6);
    for (int i = 0; i < count; ++i)
        mark.points.push_back(Point(in, near));
    mark.number = in.Int(-5, 120000);
    mark.textHeight = in.Int(0, 40);
    mark.text = std::string(static_cast<std::size_t>(in.Int(0, 12)), 'x');
    const AlphaMask& measured = ink.TextInk(mark.text, mark.textHeight, false);
    mark.textSize = {measured.width, measured.height};
    return mark;
}

std::vector<Mark> Values(const MarkHistory& history) {
    std::vector<Mark> values;
    for (const auto& mark : history.Marks())
        values.push_back(*mark);
    return values;
}

bool Inside(const IntRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Each mark painted alone on a small image at 1:1 stays within its bounds;
// all of them together leave a redaction (the last) its colour alone.
void CheckPainting(fuzz::FuzzInput& in, const std::vector<const Mark*>& marks, BlockInk& ink) {
    const int width = in.Int(1, 48), height = in.Int(1, 48);
    const IntPoint from = {in.Int(-60, 60), in.Int(-60, 60)};
    const int block = in.Bool() ? JpegBlock : 1;
    for (const Mark* mark : marks) {
        PixelImage image{width, height,
                         std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, Ground)};
        PaintMarks(image, from, {mark}, &ink, block);
        if (mark->kind == MarkKind::Redact)
            continue; // it snaps outward for JPEG
        const IntRect b = MarkBounds(*mark);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (image.At(x, y) != Ground && !Inside(b, x + from.x, y + from.y))
                    Finding("a mark paints outside its bounds");
    }
    PixelImage image{width, height,
                     std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, Ground)};
    PaintMarks(image, from, marks, &ink, block);
    for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
        if ((*it)->kind != MarkKind::Redact || (*it)->points.empty())
            continue;
        const IntRect r = RedactRect(**it);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (Inside(r, x + from.x, y + from.y) && image.At(x, y) != ((*it)->colour & 0xFFFFFFu))
                    Finding("a redacted pixel shows something else");
        break;
    }

    // Zoomed into a band of a larger buffer: nothing outside the band changes.
    const gui::Zoom zoom = gui::MakeZoom(in.Int(1, 16), in.Int(1, 16));
    const int stride = 40;
    std::vector<std::uint32_t> buffer(stride * 40, Ground);
    const IntRect band = {in.Int(0, 20), in.Int(0, 20), in.Int(20, 40), in.Int(20, 40)};
    MarkPainter painter(&ink);
    painter.Paint({buffer.data() + band.top * stride + band.left, stride, band}, {zoom, Point(in, true)},
                  marks, in.Bool() ? JpegBlock : 1);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < stride; ++x)
            if (!Inside(band, x, y) && buffer[static_cast<std::size_t>(y) * stride + x] != Ground)
                Finding("painting leaves its band");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    BlockInk ink;
    MarkHistory history;
    std::vector<std::vector<Mark>> states(1);
    std::vector<MarkHistory::StepKind> kinds(1);
    std::vector<IntRect> crops(1);
    std::size_t at = 0;
    auto step = [&](MarkHistory::StepKind kind, IntRect crop = {}) {
        states.resize(at + 1);
        kinds.resize(at + 1);
        crops.resize(at + 1);
        states.push_back(Values(history));
        kinds.push_back(kind);
        crops.push_back(crop);
        ++at;
    };
    const int operations = in.Int(0, 24);
    for (int i = 0; i < operations; ++i) {
        const std::size_t count = history.Count();
        const std::size_t index =
            count ? static_cast<std::size_t>(in.Int(0, static_cast<int>(count) - 1)) : 0;
        switch (in.Int(0, 7)) {
        case 0:
            history.Add(RandomMark(in, ink));
            step(MarkHistory::StepKind::Marks);
            break;
        case 1:
            if (count) {
                Mark moved = history[index];
                MoveMark(moved, in.Int(-Far, Far), in.Int(-Far, Far));
                history.Replace(index, moved);
                step(MarkHistory::StepKind::Marks);
            }
            break;
        case 2:
            if (count) {
                Mark resized = history[index];
                const IntPoint p = Point(in, true);
                if (const auto handle = HandleAt(resized, p, in.Int(0, 100)))
                    DragHandle(resized, *handle, Point(in, true));
                history.Replace(index, resized);
                step(MarkHistory::StepKind::Marks);
            }
            break;
        case 3:
            if (count) {
                history.Remove(index);
                step(MarkHistory::StepKind::Marks);
            }
            break;
        case 4: {
            const IntPoint a = Point(in, true), b = Point(in, true);
            const IntRect area = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
                                  std::max(a.y, b.y) + 1};
            history.Crop(area);
            for (const auto& mark : history.Marks())
                if (!MarkTouches(*mark, {0, 0, area.Width(), area.Height()}))
                    Finding("a crop keeps a mark wholly outside it");
            step(MarkHistory::StepKind::Crop, area);
            break;
        }
        case 5: {
            const auto undone = history.Undo();
            if (undone.has_value() != (at > 0))
                Finding("undo where there is nothing to undo, or none where there is");
            if (undone) {
                if (undone->kind != kinds[at] ||
                    (undone->kind == MarkHistory::StepKind::Crop && undone->crop != crops[at]))
                    Finding("undo names another step");
                --at;
            }
            break;
        }
        case 6: {
            const auto redone = history.Redo();
            if (redone.has_value() != (at + 1 < states.size()))
                Finding("redo where there is nothing to redo, or none where there is");
            if (redone) {
                ++at;
                if (redone->kind != kinds[at])
                    Finding("redo names another step");
            }
            break;
        }
        default: {
            const std::vector<const Mark*> view = history.View();
            const IntPoint p = Point(in, true);
            if (const auto hit = MarkAt(view, p, in.Int(0, 50)); hit && *hit >= view.size())
                Finding("a hit beyond the marks");
            for (const Mark* mark : view) {
                DescribeMark(*mark);
                if (DistanceToMark(*mark, p) < 0)
                    Finding("a negative distance");
            }
            CheckPainting(in, view, ink);
        }
        }
        if (Values(history) != states[at] || history.CanUndo() != (at > 0) ||
            history.CanRedo() != (at + 1 < states.size()) || history.UndoDepth() != at)
            Finding("the history is not the state the steps made");
        if (history.NextStepNumber() < 1)
            Finding("a step numbered below one");
    }
    return 0;
}
