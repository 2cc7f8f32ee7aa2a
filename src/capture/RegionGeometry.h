// "Capture region": the area a user picks on the frozen screen. A drag
// selects it (moved whole while Ctrl is held, its corner adjusted by the
// arrow keys before the release); a click takes the window under the
// pointer, or its monitor where no window is; Enter at the start takes the
// last area again. Also what of the overlay a step changes, and where the
// area's size is written. Coordinates are physical pixels of the virtual
// screen, right and bottom exclusive.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "capture/CaptureTarget.h"

namespace corvinade {

// The area between a drag's press point and the pointer: the press pixel
// on one side, the pointer's edge on the other (as the capture window's
// selection).
IntRect AreaBetween(IntPoint press, IntPoint pointer);

// The rectangle both hold; an empty one when they do not meet.
IntRect Intersection(const IntRect& a, const IntRect& b);
bool Contains(const IntRect& r, IntPoint p);

// The topmost of the windows (listed top first, each as it shows) that
// holds the point, cut to the screen; where none does, the monitor holding
// it (or the nearest).
IntRect AreaUnderPointer(const std::vector<IntRect>& windowsTopFirst,
                         const std::vector<MonitorArea>& monitors, const IntRect& screen, IntPoint p);

// "300 x 200".
std::string AreaSizeText(const IntRect& area);

class AreaPicker {
public:
    struct Desktop {
        IntRect screen; // the frozen virtual screen
        std::vector<MonitorArea> monitors;
        std::vector<IntRect> windows;    // visible frames, top first
        std::optional<IntRect> lastArea; // of the last region capture
        IntPoint pointer;                // where the pointer is at the start
        int dragThreshold = 4;           // SM_CXDRAG: a press moved less is a click
    };
    enum class Outcome { Going, Taken, Cancelled };

    explicit AreaPicker(Desktop desktop);

    // The pointer moved; with moveArea (Ctrl held) a drag moves its area
    // along instead of resizing it.
    void Move(IntPoint p, bool moveArea);
    void Press(IntPoint p);
    Outcome Release(IntPoint p);
    // Enter takes the area being dragged; at the start the last area
    // (without one, what a click there takes). Space starts a drag at the
    // pointer, as a press does, and takes it as a release does.
    Outcome Enter();
    Outcome Space();
    Outcome Cancel();

    bool Dragging() const { return dragging_; }
    // What the overlay shows undimmed: the area being dragged, else the
    // window (or monitor) under the pointer; nothing for a drag of no area.
    std::optional<IntRect> Shown() const;
    IntPoint Pointer() const { return pointer_; }
    // Once Taken: the area, within the screen and not empty.
    const IntRect& Taken() const { return taken_; }

private:
    Outcome Take(const IntRect& area);
    Outcome TakeDrag();

    Desktop desktop_;
    IntPoint pointer_;
    bool dragging_ = false;
    bool dragged_ = false;  // past the threshold since the press
    bool keyboard_ = false; // started by Space: any step counts
    IntPoint press_;
    IntRect taken_;
};

// What of the overlay changes when its undimmed area goes from `before` to
// `after` (its frame `margin` pixels around it): a band along each edge that
// moved, across both positions, or both areas whole when one is missing.
std::vector<IntRect> ChangedBands(const std::optional<IntRect>& before, const std::optional<IntRect>& after,
                                  int margin);

// Where the size of `area` goes, `size` large, `gap` away from it: below
// its bottom-left corner, else above it, else inside its top-left corner;
// always within `monitor`, the bounds of the monitor it is shown on.
IntRect SizeLabelPlace(const IntRect& area, IntPoint size, int gap, const IntRect& monitor);

} // namespace corvinade
