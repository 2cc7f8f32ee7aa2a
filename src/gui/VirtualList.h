// A scrolled list of rows of one height in which only the rows near the
// view have windows, so that a list of thousands costs what a screenful
// does. The owner makes row windows when the list asks and shows in a window
// whichever row the list binds it to; the list keeps the windows in a pool
// and binds them again as it scrolls, resizes or its rows change.
//
// Bound are the rows in view, the first and the last row, the row with the
// focus and the ones beside it, and the rows the owner keeps (one being
// edited). Their windows are stacked in row order, those out of view just
// outside it, so the dialog manager's Tab walks into, along and out of the
// list as through a window per row, and the focus arriving in a row scrolls
// it into view. Rows narrower than their least width would squeeze their
// controls: the list scrolls them sideways instead.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gui/Panel.h"

namespace corvinade::gui {

class VirtualList : public ScrollingPanel {
public:
    using Key = std::uint32_t; // a row's identity, given by the owner

    VirtualList(Container& parent, const ControlArgs& args, int rowDesignHeight);
    ~VirtualList() override;

    // A new row window, made on this list.
    std::function<std::unique_ptr<Control>(VirtualList& list)> MakeRow;
    // Shows row `key` in `row`: newly bound to it, or the row has changed.
    std::function<void(Control& row, Key key)> BindRow;
    // A window that keeps its row, in view or not, while the row is listed.
    std::function<bool(const Control& row)> KeepsRow;

    // The rows, top to bottom. Every bound window shows its row again; a row
    // listed before and now keeps its window.
    void SetRows(std::vector<Key> keys);
    const std::vector<Key>& Rows() const { return keys_; }
    // The windows bound now, top to bottom.
    std::vector<Control*> BoundRows() const;
    // Scrolls as little as brings the row into view; its window (null for a
    // key not listed).
    Control* ShowRow(Key key);

    // The least width of a row, design pixels: narrower, the list scrolls
    // sideways.
    void SetRowMinimumWidth(int designWidth);

    int Position() const override { return position_; }
    void ScrollTo(int y) override;
    // Scrolls as little as brings the row holding this window into view.
    void ScrollIntoView(HWND window) override;
    // Binds and places the row windows for the view as it is now.
    void Realign() override;

protected:
    // The sideways scroll bar.
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    struct Slot {
        std::unique_ptr<Control> window;
        std::optional<Key> key; // bound to this row
    };

    int RowHeight() const { return Scale(rowDesignHeight_); }
    int RowWidth() const;
    // The sideways scroll bar for the client's width; the position kept
    // within it.
    void ShowWidth();
    void ScrollSidewaysTo(int x);
    std::optional<std::size_t> IndexOf(Key key) const;
    Slot* SlotHolding(HWND window);
    // The bound windows by their row index, ascending.
    std::vector<std::pair<std::size_t, const Slot*>> Bound() const;
    // The row indexes that get a window, ascending.
    std::vector<std::size_t> WantedRows(std::optional<std::size_t> focusRow) const;
    // Binds and places the windows for the view (and the focus); with
    // `layOut`, after a change of size, dpi or rows, the scroll bar's range
    // and the other children too. One at a time: what it sets off (the
    // scroll bar changing the size) waits for it.
    void Arrange(bool layOut);
    void Bind(std::optional<std::size_t> focusRow);
    void Place();

    const int rowDesignHeight_;
    int rowDesignMinimumWidth_ = 0;
    int left_ = 0; // sideways
    std::vector<Key> keys_;
    std::unordered_map<Key, std::size_t> indexOf_;
    std::vector<Slot> slots_;
    int position_ = 0;
    int rowPixels_ = 0;                       // the row height the position was measured in
    bool showAgain_ = false;                  // every bound window shows its row again
    std::optional<std::size_t> lostFocusRow_; // the focused row's place, its row gone
    bool realigning_ = false;
};

} // namespace corvinade::gui
