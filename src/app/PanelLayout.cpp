// Panel layout arithmetic; see PanelLayout.h.
#include "app/PanelLayout.h"

#include <algorithm>

namespace corvinade {

int OverviewRowTop(int row) {
    // The header row starts at 8, the hotkey rows at 25 (the first hotkey
    // row's top is fixed), each next one a row and a gap lower.
    constexpr int firstHotkeyRowTop = 25;
    if (row <= 0)
        return OverviewHeaderTop;
    return firstHotkeyRowTop + (row - 1) * (OverviewRowHeight + OverviewRowGap);
}

std::array<PanelColumn, 3> PanelColumns(const std::array<int, 3>& need, int width) {
    const int room = std::max(0, width - OverviewLeft - OverviewRightMargin - 2 * OverviewColumnGap);
    const int need0 = std::max(0, need[0]), need1 = std::max(0, need[1]), need2 = std::max(0, need[2]);
    const int kept = std::min(need2, room / 4); // the parameters' share at least
    const int rest = room - kept;
    int first = need0, second = need1;
    if (need0 + need1 > rest) {
        first = static_cast<int>(static_cast<long long>(rest) * need0 / (need0 + need1));
        second = rest - first;
    }
    const int left1 = OverviewLeft + first + OverviewColumnGap;
    const int left2 = left1 + second + OverviewColumnGap;
    return {{{OverviewLeft, first}, {left1, second}, {left2, room - first - second}}};
}

int PanelHeight(int hotkeyCount) {
    const int lastRow = std::max(hotkeyCount, 0);
    return OverviewRowTop(lastRow) + OverviewRowHeight + OverviewRowGap + OverviewFooter;
}

std::optional<PanelPoint> PanelPosition(const Taskbar& t, int width, int height) {
    const PanelRect& r = t.rect;
    switch (t.edge) {
    case EdgeLeft:
        return PanelPoint{PanelGap, r.bottom - height - PanelGap};
    case EdgeTop:
        return PanelPoint{r.right - width + PanelGap, r.top + PanelGap};
    case EdgeRight:
        return PanelPoint{r.left - width - PanelGap, r.bottom - height - PanelGap};
    case EdgeBottom:
        return PanelPoint{r.right - width - PanelGap, r.top - height - PanelGap};
    default:
        return std::nullopt;
    }
}

namespace {

bool Usable(const Taskbar& t) {
    return t.rect.right - t.rect.left >= 2 && t.rect.bottom - t.rect.top >= 2;
}

} // namespace

Taskbar EffectiveTaskbar(const std::optional<Taskbar>& answer, const PanelRect& screen, const PanelRect& work,
                         int fallbackThickness) {
    if (answer && Usable(*answer))
        return *answer;
    // The strips the work area leaves free, one per edge.
    const Taskbar strips[] = {
        {EdgeLeft, {screen.left, screen.top, work.left, screen.bottom}},
        {EdgeTop, {screen.left, screen.top, screen.right, work.top}},
        {EdgeRight, {work.right, screen.top, screen.right, screen.bottom}},
        {EdgeBottom, {screen.left, work.bottom, screen.right, screen.bottom}},
    };
    auto thickness = [](const Taskbar& s) {
        return std::min(s.rect.right - s.rect.left, s.rect.bottom - s.rect.top);
    };
    const Taskbar* best = nullptr;
    for (const Taskbar& strip : strips)
        if (thickness(strip) > 0 && (!best || thickness(strip) > thickness(*best)))
            best = &strip;
    if (best)
        return *best;
    const int edge =
        answer && answer->edge >= EdgeLeft && answer->edge <= EdgeBottom ? answer->edge : EdgeBottom;
    const int t = fallbackThickness;
    switch (edge) {
    case EdgeLeft:
        return {edge, {screen.left, screen.top, screen.left + t, screen.bottom}};
    case EdgeTop:
        return {edge, {screen.left, screen.top, screen.right, screen.top + t}};
    case EdgeRight:
        return {edge, {screen.right - t, screen.top, screen.right, screen.bottom}};
    default:
        return {edge, {screen.left, screen.bottom - t, screen.right, screen.bottom}};
    }
}

bool StrictlyInside(const PanelRect& r, int x, int y) {
    return r.left < x && x < r.right && r.top < y && y < r.bottom;
}

bool CursorOverClient(int x, int y, int width, int height) {
    return StrictlyInside({0, 0, width, height}, x, y);
}

} // namespace corvinade
