// Panels, page controls and scroll boxes; see Panel.h.
#include "gui/Panel.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>

#include "core/Wide_win.h"
#include "gui/WindowClass.h"

namespace corvinade::gui {

namespace {

constexpr wchar_t kPanelClass[] = L"CorvinadePanel";

// Double clicks arrive as such (a settings row opens on one).
const wchar_t* PanelClass() {
    RegisterWindowClass({.name = kPanelClass, .proc = ::DefWindowProcW, .style = CS_DBLCLKS});
    return kPanelClass;
}

} // namespace

// ------------------------------------------------------------------ Panel

Panel::Panel(Container& parent, const ControlArgs& args) : Panel(parent, 0, args) {}

Panel::Panel(Container& parent, DWORD style, const ControlArgs& args)
    : Control(parent, PanelClass(), style | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, args), designClient_{
                                                                                             args.width,
                                                                                             args.height} {}

SIZE Panel::DesignClientSize() const {
    return designClient_;
}

bool Panel::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // The decoration follows the size (texts cut with "..."): all of it again.
    if (msg == WM_SIZE && OnPaint)
        ::InvalidateRect(Handle(), nullptr, TRUE);
    if (msg == WM_PAINT && OnPaint) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(Handle(), &ps);
        RECT client = {};
        ::GetClientRect(Handle(), &client);
        OnPaint(dc, client);
        ::EndPaint(Handle(), &ps);
        result = 0;
        return true;
    }
    return HandleContainerMessage(msg, wParam, lParam, result);
}

// ------------------------------------------------------------ PageControl

// The tab strip: a real tab control, under the pages in the stacking order
// (so the pages paint over its display area, and Tab reaches it after the
// page's controls).
class PageControl::Tabs : public Control {
public:
    Tabs(PageControl& owner, const ControlArgs& args)
        : Control(owner, WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS, 0, args), owner_(owner) {}

protected:
    bool HandleNotify(NMHDR& header, LRESULT& result) override {
        if (header.code != TCN_SELCHANGE)
            return false;
        owner_.TabChanged();
        result = 0;
        return true;
    }

private:
    PageControl& owner_;
};

PageControl::PageControl(Container& parent, const ControlArgs& args, bool showTabs) : Panel(parent, args) {
    if (showTabs)
        tabs_ = std::make_unique<Tabs>(*this, ControlArgs{.width = args.width,
                                                          .height = args.height,
                                                          .anchors = akLeft | akTop | akRight | akBottom});
}

PageControl::~PageControl() {
    pages_.clear();
    tabs_.reset();
}

Panel& PageControl::AddPage(const std::string& caption) {
    SIZE design = DesignClientSize();
    if (tabs_) {
        // The page's design size: the display area, in design pixels.
        RECT area = AlignArea(), client = {};
        ::GetClientRect(Handle(), &client);
        design.cx -= ::MulDiv((client.right - client.left) - (area.right - area.left), DesignDpi, Dpi());
        design.cy -= ::MulDiv((client.bottom - client.top) - (area.bottom - area.top), DesignDpi, Dpi());
        std::wstring text = Wide(caption);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        ::SendMessageW(tabs_->Handle(), TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
    }
    auto page = std::make_unique<Panel>(
        *this,
        ControlArgs{.width = design.cx, .height = design.cy, .caption = caption, .align = Align::Client});
    ::SetWindowLongW(page->Handle(), GWL_STYLE,
                     ::GetWindowLongW(page->Handle(), GWL_STYLE) | WS_CLIPSIBLINGS);
    pages_.push_back(std::move(page));
    if (tabs_) // the strip stays under the pages
        ::SetWindowPos(tabs_->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (active_ < 0)
        SetActivePageIndex(0);
    else
        pages_.back()->SetVisible(false);
    return *pages_.back();
}

void PageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= PageCount())
        return;
    active_ = index;
    if (tabs_)
        ::SendMessageW(tabs_->Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    Page(index).SetVisible(true);
    for (int i = 0; i < PageCount(); ++i)
        if (i != index)
            Page(i).SetVisible(false);
    Realign();
}

void PageControl::SelectNextPage(bool forward) {
    if (PageCount() == 0)
        return;
    const int next = (active_ + (forward ? 1 : PageCount() - 1)) % PageCount();
    SetActivePageIndex(next);
    if (tabs_ && ::GetFocus() != tabs_->Handle())
        if (HWND first = ::GetNextDlgTabItem(Page(next).Handle(), nullptr, FALSE))
            ::SetFocus(first);
    if (OnChange)
        OnChange();
}

void PageControl::TabChanged() {
    const int index = static_cast<int>(::SendMessageW(tabs_->Handle(), TCM_GETCURSEL, 0, 0));
    SetActivePageIndex(index);
    if (OnChange)
        OnChange();
}

RECT PageControl::AlignArea() const {
    RECT area = {};
    ::GetClientRect(Handle(), &area);
    if (tabs_)
        ::SendMessageW(tabs_->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
}

void PageControl::Realign() {
    if (tabs_) {
        RECT client = {};
        ::GetClientRect(Handle(), &client);
        tabs_->LayOut(client);
    }
    Container::Realign();
}

// --------------------------------------------------------- ScrollingPanel

namespace {

constexpr int kLineStep = 20; // design pixels a scroll arrow moves

} // namespace

ScrollingPanel::ScrollingPanel(Container& parent, const ControlArgs& args)
    : Panel(parent, WS_VSCROLL, args) {}

int ScrollingPanel::ClientHeight() const {
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    return client.bottom - client.top;
}

int ScrollingPanel::ShowExtent(int extent, int position) {
    SCROLLINFO info = {sizeof info,
                       SIF_RANGE | SIF_PAGE | SIF_POS,
                       0,
                       std::max(0, extent - 1),
                       static_cast<UINT>(ClientHeight()),
                       position,
                       0};
    ::SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
    // Showing or hiding the bar changes the client area: measured after.
    position = std::clamp(position, 0, std::max(0, extent - ClientHeight()));
    ::SetScrollPos(Handle(), SB_VERT, position, TRUE);
    return position;
}

void ScrollingPanel::ScrollToShow(int top, int bottom) {
    if (top < Position())
        ScrollTo(top);
    else if (bottom > Position() + ClientHeight())
        ScrollTo(bottom - ClientHeight());
}

bool ScrollingPanel::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const int line = Scale(kLineStep), page = ClientHeight();
    if (msg == WM_MOUSEWHEEL) {
        ScrollTo(Position() - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * line / WHEEL_DELTA);
        result = 0;
        return true;
    }
    if (msg != WM_VSCROLL)
        return Panel::ControlMessage(msg, wParam, lParam, result);
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        ScrollTo(Position() - line);
        break;
    case SB_LINEDOWN:
        ScrollTo(Position() + line);
        break;
    case SB_PAGEUP:
        ScrollTo(Position() - page);
        break;
    case SB_PAGEDOWN:
        ScrollTo(Position() + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {sizeof info, SIF_TRACKPOS};
        ::GetScrollInfo(Handle(), SB_VERT, &info);
        ScrollTo(info.nTrackPos);
        break;
    }
    case SB_TOP:
        ScrollTo(0);
        break;
    case SB_BOTTOM:
        ScrollTo(INT_MAX); // as far as it goes
        break;
    }
    result = 0;
    return true;
}

// -------------------------------------------------------------- ScrollBox

// The scrolled panel: rows coming or going lay out the whole box (its
// height and the scroll bar follow them).
class ScrollBox::ScrolledPanel : public Panel {
public:
    ScrolledPanel(ScrollBox& box, const ControlArgs& args) : Panel(box, args), box_(box) {}
    void Realign() override {
        if (box_.realigning_)
            Panel::Realign();
        else
            box_.Realign();
    }
    bool Locked() const { return AlignDisabled(); }

private:
    ScrollBox& box_;
};

ScrollBox::ScrollBox(Container& parent, const ControlArgs& args) : ScrollingPanel(parent, args) {
    content_ =
        std::make_unique<ScrolledPanel>(*this, ControlArgs{.width = args.width, .height = args.height});
    Realign();
}

Panel& ScrollBox::Content() {
    return *content_;
}

ScrollBox::~ScrollBox() {
    content_.reset();
}

int ScrollBox::Extent() const {
    int extent = 0;
    for (Control* child : content_->Children())
        if (child->Design().align == Align::Top && child->Visible())
            extent += child->Scale(child->Design().height);
    return extent;
}

void ScrollBox::Realign() {
    if (!content_ || realigning_ || AlignDisabled() || content_->Locked())
        return;
    realigning_ = true;
    const int extent = Extent();
    position_ = ShowExtent(extent, position_);
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    ::SetWindowPos(content_->Handle(), nullptr, 0, -position_, client.right,
                   std::max<int>(extent, client.bottom), SWP_NOZORDER | SWP_NOACTIVATE);
    content_->Realign();
    realigning_ = false;
}

void ScrollBox::ScrollTo(int y) {
    const int limit = std::max(0, Extent() - ClientHeight());
    const int position = std::clamp(y, 0, limit);
    if (position == position_)
        return;
    position_ = position;
    ::SetScrollPos(Handle(), SB_VERT, position_, TRUE);
    ::SetWindowPos(content_->Handle(), nullptr, 0, -position_, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ScrollBox::ScrollIntoView(HWND window) {
    if (!window || !::IsChild(content_->Handle(), window))
        return;
    // The row around the window when it fits, else the window itself.
    HWND shown = window;
    for (HWND w = window; w && ::GetParent(w) != content_->Handle(); w = ::GetParent(w))
        shown = ::GetParent(w);
    RECT r = {};
    ::GetWindowRect(shown, &r);
    if (r.bottom - r.top > ClientHeight())
        ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, content_->Handle(), reinterpret_cast<POINT*>(&r), 2);
    ScrollToShow(r.top, r.bottom);
}

} // namespace corvinade::gui
