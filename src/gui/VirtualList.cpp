// The list that gives windows only to the rows near the view; see VirtualList.h.
#include "gui/VirtualList.h"

#include <algorithm>

namespace corvinade::gui {

VirtualList::VirtualList(Container& parent, const ControlArgs& args, int rowDesignHeight)
    : ScrollingPanel(parent, args), rowDesignHeight_(rowDesignHeight), rowPixels_(RowHeight()) {}

VirtualList::~VirtualList() = default;

std::optional<std::size_t> VirtualList::IndexOf(Key key) const {
    const auto found = indexOf_.find(key);
    return found == indexOf_.end() ? std::nullopt : std::optional(found->second);
}

VirtualList::Slot* VirtualList::SlotHolding(HWND window) {
    if (!window)
        return nullptr;
    for (Slot& slot : slots_)
        if (slot.window->Handle() == window || ::IsChild(slot.window->Handle(), window))
            return &slot;
    return nullptr;
}

void VirtualList::SetRows(std::vector<Key> keys) {
    // Should the focused row go, the focus stays at its place.
    if (const Slot* focused = SlotHolding(::GetFocus()); focused && focused->key)
        lostFocusRow_ = IndexOf(*focused->key);
    keys_ = std::move(keys);
    indexOf_.clear();
    for (std::size_t i = 0; i < keys_.size(); ++i)
        indexOf_.emplace(keys_[i], i);
    showAgain_ = true;
    Realign();
}

std::vector<std::pair<std::size_t, const VirtualList::Slot*>> VirtualList::Bound() const {
    std::vector<std::pair<std::size_t, const Slot*>> bound;
    for (const Slot& slot : slots_)
        if (slot.key)
            if (const auto index = IndexOf(*slot.key))
                bound.emplace_back(*index, &slot);
    std::sort(bound.begin(), bound.end());
    return bound;
}

std::vector<Control*> VirtualList::BoundRows() const {
    std::vector<Control*> windows;
    for (const auto& [index, slot] : Bound())
        windows.push_back(slot->window.get());
    return windows;
}

std::vector<std::size_t> VirtualList::WantedRows(std::optional<std::size_t> focusRow) const {
    std::vector<std::size_t> wanted;
    if (keys_.empty())
        return wanted;
    const auto last = static_cast<std::ptrdiff_t>(keys_.size()) - 1;
    auto add = [&](std::ptrdiff_t from, std::ptrdiff_t to) {
        for (std::ptrdiff_t i = std::max<std::ptrdiff_t>(from, 0); i <= std::min(to, last); ++i)
            wanted.push_back(static_cast<std::size_t>(i));
    };
    const int row = RowHeight();
    add(position_ / row, (position_ + std::max(ClientHeight(), 1) - 1) / row);
    add(0, 0);
    add(last, last);
    if (focusRow)
        add(static_cast<std::ptrdiff_t>(*focusRow) - 1, static_cast<std::ptrdiff_t>(*focusRow) + 1);
    for (const Slot& slot : slots_)
        if (slot.key && KeepsRow && KeepsRow(*slot.window))
            if (const auto index = IndexOf(*slot.key))
                wanted.push_back(*index);
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    return wanted;
}

// Windows whose row is still wanted keep it; the others are free for the
// wanted rows without one (the focused window first, for the row at its
// place), and a new window is made only when none is free.
void VirtualList::Bind(std::optional<std::size_t> focusRow) {
    const std::vector<std::size_t> wanted = WantedRows(focusRow);
    std::vector<std::optional<std::size_t>> slotOf(wanted.size()); // per wanted row
    std::vector<std::size_t> free;
    for (std::size_t s = 0; s < slots_.size(); ++s) {
        Slot& slot = slots_[s];
        const auto index = slot.key ? IndexOf(*slot.key) : std::nullopt;
        const auto at = index ? std::lower_bound(wanted.begin(), wanted.end(), *index) : wanted.end();
        if (at != wanted.end() && *at == *index) {
            slotOf[static_cast<std::size_t>(at - wanted.begin())] = s;
            if (showAgain_)
                BindRow(*slot.window, *slot.key);
        } else {
            slot.key.reset();
            free.push_back(s);
        }
    }
    auto assign = [&](std::size_t w, std::size_t s) {
        slotOf[w] = s;
        slots_[s].key = keys_[wanted[w]];
        BindRow(*slots_[s].window, *slots_[s].key);
    };
    // The focused window, its row gone, takes the row now at its place.
    if (const Slot* focused = SlotHolding(::GetFocus()); focused && !focused->key && focusRow) {
        const auto s = static_cast<std::size_t>(focused - slots_.data());
        const auto w = static_cast<std::size_t>(std::lower_bound(wanted.begin(), wanted.end(), *focusRow) -
                                                wanted.begin());
        if (slotOf[w]) {
            slots_[*slotOf[w]].key.reset();
            free.push_back(*slotOf[w]);
        }
        std::erase(free, s);
        assign(w, s);
    }
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        if (slotOf[w])
            continue;
        if (free.empty()) {
            slots_.push_back({MakeRow(*this), std::nullopt});
            free.push_back(slots_.size() - 1);
        }
        const std::size_t s = free.front();
        free.erase(free.begin());
        assign(w, s);
    }
}

// Bound windows in row order, each at its row or, out of view, just
// outside it; free ones hidden. Only what changed is moved: a scroll moves
// the rows in view, each taking its pixels along.
void VirtualList::Place() {
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    const int row = RowHeight(), width = RowWidth();
    HWND after = nullptr;
    for (const auto& [index, slot] : Bound()) {
        HWND window = slot->window->Handle();
        const auto top = static_cast<int>(
            std::clamp<long long>(static_cast<long long>(index) * row - position_, -row, client.bottom));
        RECT r = {};
        ::GetWindowRect(window, &r);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
        UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW;
        if (r.left == -left_ && r.top == top && r.right == width - left_ && r.bottom == top + row)
            flags |= SWP_NOMOVE | SWP_NOSIZE;
        if (::GetWindow(window, GW_HWNDPREV) == after)
            flags |= SWP_NOZORDER;
        if (!(flags & SWP_NOMOVE) || !(flags & SWP_NOZORDER) || !slot->window->Visible())
            ::SetWindowPos(window, after ? after : HWND_TOP, -left_, top, width, row, flags);
        after = window;
    }
    for (const Slot& slot : slots_)
        if (!slot.key && slot.window->Visible())
            ::ShowWindow(slot.window->Handle(), SW_HIDE);
}

void VirtualList::Realign() {
    Arrange(true);
}

void VirtualList::Arrange(bool layOut) {
    if (realigning_ || AlignDisabled() || !Handle())
        return;
    realigning_ = true;
    struct Done {
        VirtualList& list;
        ~Done() {
            list.realigning_ = false;
            list.showAgain_ = false;
            list.lostFocusRow_.reset();
        }
    } done{*this};
    if (layOut) {
        if (const int row = RowHeight(); row != rowPixels_) { // another dpi: the same rows in view
            position_ = ::MulDiv(position_, row, rowPixels_);
            rowPixels_ = row;
        }
        // Either bar showing narrows the room for the other: twice.
        for (int pass = 0; pass < 2; ++pass) {
            ShowWidth();
            position_ = ShowExtent(static_cast<int>(keys_.size()) * RowHeight(), position_);
        }
    } else {
        ::SetScrollPos(Handle(), SB_VERT, position_, TRUE);
    }
    std::optional<std::size_t> focusRow;
    if (const Slot* focused = SlotHolding(::GetFocus())) {
        focusRow = focused->key ? IndexOf(*focused->key) : std::nullopt;
        if (!focusRow && lostFocusRow_ && !keys_.empty())
            focusRow = std::min(*lostFocusRow_, keys_.size() - 1);
    }
    Bind(focusRow);
    Place();
    if (!layOut)
        return;
    // Other children (a message in the list's place) as designed.
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    for (Control* child : Children())
        if (std::none_of(slots_.begin(), slots_.end(),
                         [&](const Slot& s) { return s.window.get() == child; }))
            child->LayOut(client);
}

void VirtualList::SetRowMinimumWidth(int designWidth) {
    rowDesignMinimumWidth_ = designWidth;
    Realign();
}

int VirtualList::RowWidth() const {
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    return std::max<int>(client.right, rowDesignMinimumWidth_ > 0 ? Scale(rowDesignMinimumWidth_) : 0);
}

void VirtualList::ShowWidth() {
    if (rowDesignMinimumWidth_ <= 0)
        return;
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    const int width = keys_.empty() ? 0 : Scale(rowDesignMinimumWidth_); // no rows, no bar
    left_ = std::clamp(left_, 0, std::max<int>(0, width - client.right));
    SCROLLINFO info = {sizeof info,
                       SIF_RANGE | SIF_PAGE | SIF_POS,
                       0,
                       std::max(0, width - 1),
                       static_cast<UINT>(client.right),
                       left_,
                       0};
    ::SetScrollInfo(Handle(), SB_HORZ, &info, TRUE);
}

void VirtualList::ScrollSidewaysTo(int x) {
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    const int left = std::clamp(x, 0, std::max<int>(0, RowWidth() - client.right));
    if (left == left_)
        return;
    left_ = left;
    ::SetScrollPos(Handle(), SB_HORZ, left_, TRUE);
    Place();
}

bool VirtualList::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_HSCROLL)
        return ScrollingPanel::ControlMessage(msg, wParam, lParam, result);
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    const int line = Scale(20);
    switch (LOWORD(wParam)) {
    case SB_LINELEFT:
        ScrollSidewaysTo(left_ - line);
        break;
    case SB_LINERIGHT:
        ScrollSidewaysTo(left_ + line);
        break;
    case SB_PAGELEFT:
        ScrollSidewaysTo(left_ - client.right);
        break;
    case SB_PAGERIGHT:
        ScrollSidewaysTo(left_ + client.right);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {sizeof info, SIF_TRACKPOS};
        ::GetScrollInfo(Handle(), SB_HORZ, &info);
        ScrollSidewaysTo(info.nTrackPos);
        break;
    }
    case SB_LEFT:
        ScrollSidewaysTo(0);
        break;
    case SB_RIGHT:
        ScrollSidewaysTo(RowWidth());
        break;
    }
    result = 0;
    return true;
}

void VirtualList::ScrollTo(int y) {
    const int extent = static_cast<int>(keys_.size()) * RowHeight();
    const int position = std::clamp(y, 0, std::max(0, extent - ClientHeight()));
    if (position == position_)
        return;
    position_ = position;
    Arrange(false);
}

// The row when it fits in the view, else the window within it; sideways
// the window.
void VirtualList::ScrollIntoView(HWND window) {
    const Slot* slot = SlotHolding(window);
    const auto index = slot && slot->key ? IndexOf(*slot->key) : std::nullopt;
    if (!index)
        return;
    if (window != slot->window->Handle()) {
        RECT r = {}, client = {};
        ::GetWindowRect(window, &r);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
        ::GetClientRect(Handle(), &client);
        int shift = r.right > client.right ? r.right - client.right : 0;
        if (r.left - shift < 0)
            shift = r.left;
        ScrollSidewaysTo(left_ + shift);
    }
    const int row = RowHeight(), height = ClientHeight();
    int top = static_cast<int>(*index) * row, bottom = top + row;
    if (row > height && window != slot->window->Handle()) {
        RECT r = {};
        ::GetWindowRect(window, &r);
        ::MapWindowPoints(nullptr, slot->window->Handle(), reinterpret_cast<POINT*>(&r), 2);
        bottom = top + r.bottom;
        top += r.top;
    }
    ScrollToShow(top, bottom);
}

Control* VirtualList::ShowRow(Key key) {
    const auto index = IndexOf(key);
    if (!index)
        return nullptr;
    const int row = RowHeight(), top = static_cast<int>(*index) * row;
    ScrollToShow(top, top + row);
    for (const Slot& slot : slots_)
        if (slot.key == key)
            return slot.window.get();
    return nullptr;
}

} // namespace corvinade::gui
