// Child controls and the containers that hold them. A control owns one child
// window created from a layout in design pixels; it remembers that layout,
// so its container can place it again when it is resized or its window
// moves to a screen of another dpi. Containers (forms, panels, pages) hand
// the WM_COMMAND / WM_NOTIFY / WM_CTLCOLOR* of a child to the child's object,
// found from its window handle, so a control works on any container.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/Dpi.h"
#include "gui/Handles.h"
#include "gui/Window.h"

namespace corvinade::gui {

class Button;
class Container;
class Form;

// Docking to an edge of the container, or filling what is left (Client).
enum class Align { None, Top, Bottom, Left, Right, Client };

// The edges a control keeps its distance to when its container resizes.
using Anchors = unsigned;
inline constexpr Anchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;

// Layout in design pixels (96 dpi); the control scales it by its window's dpi.
struct ControlArgs {
    int left = 0, top = 0, width = 0, height = 0;
    std::string caption{};
    Align align = Align::None;
    Anchors anchors = akLeft | akTop;
};

class Control : public Window {
public:
    // A child window of `windowClass` (any system or registered class), with
    // WS_CHILD | WS_VISIBLE added to `style`.
    Control(Container& parent, const wchar_t* windowClass, DWORD style, DWORD exStyle,
            const ControlArgs& args);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    // The control whose window this is, or null.
    static Control* FromHandle(HWND window);

    int Id() const { return id_; }
    Container* Parent() const { return parent_; }
    Form* RootForm() const;
    int Dpi() const;
    int Scale(int designPixels) const;

    // A control sized to its text (designed without a width or height)
    // takes the new text's size.
    void SetCaption(const std::string& caption);
    std::string Caption() const;
    // The caption as it reads: without the "&" that marks a mnemonic.
    std::string PlainCaption() const;
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void SetVisible(bool visible);
    // The control's own visibility (its container may be hidden).
    bool Visible() const;
    void SetFocus();
    bool Focused() const;

    // Moves and sizes the control; design pixels, like ControlArgs.
    void Place(int left, int top, int width, int height);
    const ControlArgs& Design() const { return design_; }
    void SetAlign(Align align);
    void SetAnchors(Anchors anchors);
    // Places the control in pixels of its container from its design, the
    // container's pixel size and its design size.
    void LayOut(const RECT& pixels);

    // A font of its own (default: the container's), with a text colour.
    void SetFont(const FontDesign& font);
    void SetFontColor(COLORREF color);
    std::optional<COLORREF> FontColor() const { return fontColor_; }

    // What screen readers read as the control's name where its own text
    // tells too little (a "..." button; a box whose text is only a
    // combination, its meaning in a label after it). Asked at every read.
    void SetAccessibleName(std::function<std::string()> name);

    // A hotkey of the program's arrives while this control has the focus:
    // true when the control took its key and modifiers (MOD_*) (the hotkey's
    // action then does not run).
    virtual bool TakeHotkey(unsigned /*key*/, unsigned /*modifiers*/) { return false; }

protected:
    // WM_COMMAND from this control, with its notification code.
    virtual void HandleCommand(WORD /*notifyCode*/) {}
    // WM_NOTIFY from this control; true when answered in `result`.
    virtual bool HandleNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    // Messages of the control's own window, before its class sees them;
    // true means handled, with `result` as the answer.
    virtual bool ControlMessage(UINT /*msg*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }
    // The answer to WM_CTLCOLOR* for this control: its container's
    // background, its own text colour.
    virtual HBRUSH CtlColor(HDC dc);
    // The window now shows at another dpi: fonts and sizes follow.
    virtual void DpiChanged();
    // Pixel size this control wants when it has no width or height of its
    // own (labels sized to their text); zero for none.
    virtual SIZE PreferredSize() const { return {0, 0}; }
    // Design pixels added to the designed height (a drop-down list's list).
    virtual int ExtraDesignHeight() const { return 0; }
    void ApplyFont();
    HFONT CurrentFont() const;
    // Places the control again from its design (derived controls call it
    // once they can answer PreferredSize and ExtraDesignHeight).
    void LayOutAgain();

private:
    friend class Container;
    class NamedAccessible;
    LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    Container* parent_;
    int id_;
    ControlArgs design_;
    int parentDesignWidth_ = 0, parentDesignHeight_ = 0;
    std::optional<FontDesign> font_;
    std::optional<COLORREF> fontColor_;
    std::unique_ptr<NamedAccessible> accessibleName_;
};

// What holds controls: a form, a panel, a page. It keeps its children in
// creation order (the tab order), lays out the docked and anchored ones,
// paints its background and answers for its children's messages.
class Container {
public:
    Container() = default;
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;
    virtual ~Container();

    virtual HWND ContainerWindow() const = 0;
    virtual int Dpi() const = 0;
    virtual Form* RootForm() = 0;
    // The size the children were designed against, in design pixels.
    virtual SIZE DesignClientSize() const = 0;
    int Scale(int designPixels) const { return gui::Scale(designPixels, Dpi()); }

    const std::vector<Control*>& Children() const { return children_; }

    // Background colour; a container without one of its own shows its
    // parent's (a form's default is the system's button face).
    COLORREF Color() const;
    HBRUSH Brush() const;
    void SetColor(COLORREF color);
    void SetSystemColor(int index);

    // The buttons Enter and Esc press while the focus is inside this
    // container (the nearest container with one wins).
    Button* DefaultButton() const { return defaultButton_; }
    void SetDefaultButton(Button* button);
    Button* CancelButton() const { return cancelButton_; }
    void SetCancelButton(Button* button) { cancelButton_ = button; }

    // Places every child from its design again, docked ones first.
    virtual void Realign();
    // While many children come or go: no layout until the matching
    // EnableAlign, which lays out once.
    void DisableAlign() { ++alignLocks_; }
    void EnableAlign();
    // Puts these children first, in this order (creation order, docking
    // and tab order alike); the others follow as they were.
    void SetChildOrder(const std::vector<Control*>& order);
    // The area the docked children share (LayoutArea by default).
    virtual RECT AlignArea() const;
    // Narrower or lower than `design` (design pixels; 0: any size) the
    // container stops squeezing its children: it lays them out at that size
    // and scrolls them with its own scroll bars, the wheel and the focus.
    void SetScrollMinimum(SIZE design);
    SIZE ScrollMinimum() const { return scrollMinimum_; }
    // Where the children are laid out: the client area, or the scrolled
    // content's place in it.
    RECT LayoutArea() const;
    // Scrolls as little as brings `window` (a descendant) into view.
    void ScrollChildIntoView(HWND window);

protected:
    // For the container's window procedure: the messages it answers for its
    // children and its own background. True when handled.
    bool HandleContainerMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // A parent container, for the colour; null for a form.
    virtual Container* ParentContainer() const { return nullptr; }
    // Fonts and layout of every control below, at the container's dpi.
    void ApplyDpiToChildren();

private:
    friend class Control;
    void AddChild(Control* control) { children_.push_back(control); }
    void Repaint();
    void RemoveChild(Control* control);
    bool Scrolls() const { return scrollMinimum_.cx > 0 || scrollMinimum_.cy > 0; }
    // The scroll bars for the client area as it is now; the position kept
    // within what they allow.
    void UpdateScrollBars();
    void ScrollContentTo(int x, int y);
    bool HandleScroll(int bar, WORD code);

    std::vector<Control*> children_;
    std::optional<int> systemColor_;
    std::optional<COLORREF> color_;
    mutable GdiObject<HBRUSH> ownBrush_;
    Button* defaultButton_ = nullptr;
    Button* cancelButton_ = nullptr;
    int alignLocks_ = 0;
    SIZE scrollMinimum_ = {0, 0};
    POINT scroll_ = {0, 0};
    bool updatingScroll_ = false;

protected:
    bool AlignDisabled() const { return alignLocks_ > 0; }
};

// A static text. Sized to its text when designed without a width; a data
// text (hotkey names, parameters) is shown as it is, a "&" included.
class Label : public Control {
public:
    struct Options {
        bool wordWrap = false;
        bool showAccelChar = true; // "&" marks a mnemonic
        bool endEllipsis = false;
        bool notify = false; // clicks reach OnClick
        bool rightAlign = false;
    };
    Label(Container& parent, const ControlArgs& args, Options options);
    Label(Container& parent, const ControlArgs& args) : Label(parent, args, Options{}) {}

    std::function<void()> OnClick;

protected:
    void HandleCommand(WORD notifyCode) override;
    SIZE PreferredSize() const override;
    bool ControlMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override;

private:
    Options options_;
    HCURSOR cursor_ = nullptr;

public:
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
};

// A single-line edit box.
class Edit : public Control {
public:
    Edit(Container& parent, const ControlArgs& args);
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text);
    // The text changed (EN_CHANGE), by the user or the program.
    std::function<void()> OnChange;

protected:
    Edit(Container& parent, DWORD style, const ControlArgs& args);
    void HandleCommand(WORD notifyCode) override;
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A single-line edit box for a search text, which shows its findings as it
// is typed: Esc clears it while it holds text (an empty box leaves Esc to
// the dialog's cancel button), and Enter stays in it (no default button).
class SearchBox : public Edit {
public:
    using Edit::Edit;

protected:
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A multi-line edit box: Enter breaks the line, long lines wrap on screen
// without changing the text, Tab and Esc stay dialog keys, no 30,000
// character limit.
class Memo : public Edit {
public:
    Memo(Container& parent, const ControlArgs& args);

protected:
    bool ControlMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override;
};

// A check box that checks itself when clicked.
class CheckBox : public Control {
public:
    CheckBox(Container& parent, const ControlArgs& args);
    bool Checked() const;
    // Sets the state without firing OnClick, as only the user's click does.
    void SetChecked(bool checked);
    std::function<void()> OnClick;

protected:
    void HandleCommand(WORD notifyCode) override;
    SIZE PreferredSize() const override;
};

// The box of a check box in `box`, drawn as the system draws one on
// `window`: themed where the window has a theme, classic otherwise (and in
// high contrast), greyed when not `enabled`.
void DrawCheckBox(HWND window, HDC dc, const RECT& box, bool checked, bool enabled);

// A drop-down list (CBS_DROPDOWNLIST): items with an integer each.
class ComboBox : public Control {
public:
    ComboBox(Container& parent, const ControlArgs& args);

    // Appends an item; returns its index.
    int AddItem(const std::string& text, std::intptr_t data = 0);
    int Count() const;
    std::string ItemText(int index) const;
    std::intptr_t ItemData(int index) const;
    // The selected item, -1 for none.
    int ItemIndex() const;
    // Selects an item (-1: none) without firing OnSelect, as only the
    // user's choice does.
    void SetItemIndex(int index);
    void Clear();

    // The user chose an item (CBN_SELCHANGE).
    std::function<void()> OnSelect;

protected:
    void HandleCommand(WORD notifyCode) override;
    int ExtraDesignHeight() const override;
    void DpiChanged() override;

private:
    void CheckIndex(int index) const;
    // The open list as wide as its widest item, however narrow the box:
    // measured as each item comes (a text's extent asks the display), all
    // again at another dpi.
    void FitDroppedWidth();
    void FitDroppedWidthTo(const std::string& added);
    int widestItem_ = 0;
};

// A 2-pixel etched line (horizontal when wider than high), as a frame
// between parts of a window.
class Bevel : public Control {
public:
    Bevel(Container& parent, const ControlArgs& args);

protected:
    // Two pixels at every dpi, along the top (or left) edge: the system's
    // etched static fills its whole height with edges, a heavy line when
    // scaling makes it three pixels high.
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace corvinade::gui
