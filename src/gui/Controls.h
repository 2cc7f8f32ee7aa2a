// Child controls of a form: a small base that owns one child window created
// from a layout in design pixels, and the controls built on it. The parent
// form hands its WM_COMMAND / WM_NOTIFY for a control to the control object.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace corvinade::gui {

class Form;

// Layout in design pixels (96 dpi); the control scales it.
struct ControlArgs {
    int left = 0, top = 0, width = 0, height = 0;
    std::string caption{};
};

class Control {
public:
    // A child window of `windowClass` (any system or registered class), with
    // WS_CHILD | WS_VISIBLE added to `style` and the default font set.
    Control(Form& parent, const char* windowClass, DWORD style, DWORD exStyle, const ControlArgs& args);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND Handle() const { return window_; }
    int Id() const { return id_; }

    void SetCaption(const std::string& caption);
    std::string Caption() const;
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void SetVisible(bool visible);
    bool Visible() const;
    void SetFocus();
    // Moves and sizes the control; design pixels, like ControlArgs.
    void Place(int left, int top, int width, int height);

protected:
    // WM_COMMAND from this control, with its notification code.
    virtual void HandleCommand(WORD /*notifyCode*/) {}
    // WM_NOTIFY from this control; true when answered in `result`.
    virtual bool HandleNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }

private:
    friend class Form;
    // The form's window is gone (and ours with it).
    void Detach() {
        parent_ = nullptr;
        window_ = nullptr;
    }

    Form* parent_;
    int id_;
    HWND window_ = nullptr;
};

// A drop-down list (CBS_DROPDOWNLIST): items with an integer each.
class ComboBox : public Control {
public:
    ComboBox(Form& parent, const ControlArgs& args);

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

private:
    void CheckIndex(int index) const;
};

} // namespace corvinade::gui
