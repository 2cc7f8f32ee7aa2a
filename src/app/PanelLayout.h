// The arithmetic of the tray overview panel, apart from the window system:
// row positions and height for n hotkeys, the panel's place beside the
// taskbar for each edge, the strict "is the cursor over it" tests, and the
// taskbar we fall back to when the shell's answer is no use.
#pragma once

#include <array>
#include <optional>

namespace corvinade {

struct PanelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PanelRect&) const = default;
};

struct PanelPoint {
    int x = 0, y = 0;
    bool operator==(const PanelPoint&) const = default;
};

// Application-bar edges as the shell numbers them.
enum TaskbarEdgeValue { EdgeLeft = 0, EdgeTop = 1, EdgeRight = 2, EdgeBottom = 3 };

struct Taskbar {
    int edge = 0;
    PanelRect rect;
    bool operator==(const Taskbar&) const = default;
};

// Designed geometry of the overview rows (pixels at 96 dpi).
inline constexpr int OverviewLeft = 8;
inline constexpr int OverviewHeaderTop = 8;
inline constexpr int OverviewRowHeight = 13;
inline constexpr int OverviewRowGap = 8;
inline constexpr int OverviewFooter = 28; // room for the two links
inline constexpr int PanelGap = 3;        // between panel and taskbar

inline constexpr int OverviewColumnGap = 10;
inline constexpr int OverviewRightMargin = 16;

// The overview's three columns (hotkey, action, parameters) in a panel
// `width` design pixels wide, from OverviewLeft to OverviewRightMargin
// before its edge, OverviewColumnGap apart, sized to the widest text of
// each (`need`, design pixels, the header's included): the first two get
// what they need as long as the parameters keep a quarter of the room (or
// less, when they need less), else they share what is left by their needs;
// the parameters take the rest.
struct PanelColumn {
    int left = 0, width = 0;
    bool operator==(const PanelColumn&) const = default;
};
std::array<PanelColumn, 3> PanelColumns(const std::array<int, 3>& need, int width);

// Top of overview row r (0 is the header): 8, 25, 46, 67, ...
int OverviewRowTop(int row);
// Panel height for n hotkeys: 57 for none, 21 n + 53 otherwise.
int PanelHeight(int hotkeyCount);

// Top-left corner of a W x H panel beside the taskbar; nothing for an edge
// value the shell never gives (the panel then stays where it is).
std::optional<PanelPoint> PanelPosition(const Taskbar& taskbar, int width, int height);

// The taskbar to place against: the shell's answer when it is usable,
// otherwise the strip between the work area and the screen's edge on the
// side where the work area falls short (the thickest such strip). When the
// work area covers the whole screen too (Wine's virtual desktop), a bar of
// `fallbackThickness` pixels (one row of tray icons) along the edge the shell
// named, or along the bottom. `answer` is empty when the query failed; an
// answer less than 2 pixels thick (Wine's one-pixel stand-in) counts as
// failed.
Taskbar EffectiveTaskbar(const std::optional<Taskbar>& answer, const PanelRect& screen,
                         const PanelRect& workArea, int fallbackThickness);

// left < x < right and top < y < bottom: the outermost pixels count as outside.
bool StrictlyInside(const PanelRect& rect, int x, int y);

// The cursor over a form of this size, given in the form's client
// coordinates: 0 < x < width and 0 < y < height.
bool CursorOverClient(int x, int y, int width, int height);

} // namespace corvinade
