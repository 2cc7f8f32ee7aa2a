// Containers that are controls themselves: a panel (a child window that
// holds controls; Tab walks into it), a page control (pages shown one at a
// time, with a real tab control or, for wizards, without tabs) and a
// vertical scroll box.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Controls.h"

namespace corvinade::gui {

class Panel : public Control, public Container {
public:
    Panel(Container& parent, const ControlArgs& args);

    using Control::Scale;
    HWND ContainerWindow() const override { return Handle(); }
    int Dpi() const override { return Control::Dpi(); }
    Form* RootForm() override { return Control::RootForm(); }
    SIZE DesignClientSize() const override;
    // The design size the children are placed against, when it is not the
    // panel's own (a docked panel whose designed size differs).
    void SetDesignClientSize(SIZE size) { designClient_ = size; }

    // Decoration painted over the background, under the controls.
    std::function<void(HDC dc, const RECT& client)> OnPaint;

protected:
    Panel(Container& parent, DWORD style, const ControlArgs& args);
    Container* ParentContainer() const override { return Control::Parent(); }
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    SIZE designClient_ = {0, 0};
};

class PageControl : public Panel {
public:
    PageControl(Container& parent, const ControlArgs& args, bool showTabs);
    ~PageControl() override;

    // A new page, last; the first page added is shown.
    Panel& AddPage(const std::string& caption);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    Panel& Page(int index) const { return *pages_.at(static_cast<size_t>(index)); }
    int ActivePageIndex() const { return active_; }
    // Shows a page (without OnChange, which only the user's choice fires).
    void SetActivePageIndex(int index);
    bool TabsVisible() const { return tabs_ != nullptr; }
    // Ctrl+Tab and Ctrl+Shift+Tab: the next page, round, with OnChange.
    void SelectNextPage(bool forward);

    // The user chose another page.
    std::function<void()> OnChange;

    void Realign() override;
    RECT AlignArea() const override;

private:
    class Tabs;
    void TabChanged();

    std::unique_ptr<Tabs> tabs_;
    std::vector<std::unique_ptr<Panel>> pages_;
    int active_ = -1;
};

// A panel whose content scrolls vertically: the scroll bar and the wheel
// move it, and the focus arriving at a window inside brings that window
// into view (Form::FocusMoved).
class ScrollingPanel : public Panel {
public:
    ScrollingPanel(Container& parent, const ControlArgs& args);

    virtual int Position() const = 0;
    virtual void ScrollTo(int y) = 0;
    // Scrolls as little as brings the window (a descendant) into view.
    virtual void ScrollIntoView(HWND window) = 0;

protected:
    int ClientHeight() const;
    // The scroll bar for content `extent` pixels high at `position`; returns
    // the position within what the content allows.
    int ShowExtent(int extent, int position);
    // Scrolls as little as brings content pixels top to bottom into view.
    void ScrollToShow(int top, int bottom);
    // The scroll bar and the wheel.
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class ScrollBox : public ScrollingPanel {
public:
    ScrollBox(Container& parent, const ControlArgs& args);
    ~ScrollBox() override;

    // What scrolls: controls docked to its top stack from the top.
    Panel& Content();
    int Position() const override { return position_; }
    void ScrollTo(int y) override;
    void ScrollIntoView(HWND window) override;
    void Realign() override;

private:
    class ScrolledPanel;
    int Extent() const;

    std::unique_ptr<ScrolledPanel> content_;
    int position_ = 0;
    bool realigning_ = false;
};

} // namespace corvinade::gui
