// Child controls: the common base and the drop-down list.
#include "gui/Controls.h"

#include "core/Errors.h"
#include "gui/Dpi.h"
#include "gui/Form.h"

namespace corvinade::gui {

namespace {

// The drop-down part of a combo box: eight rows of the default font, as the
// designed height gives only the closed box.
constexpr int kDropDownRows = 8;
constexpr int kDropDownRowHeight = 13;

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

Control::Control(Form& parent, const char* windowClass, DWORD style, DWORD exStyle, const ControlArgs& args)
    : parent_(&parent), id_(parent.AddControl(this)) {
    window_ = ::CreateWindowExA(exStyle, windowClass, args.caption.c_str(), style | WS_CHILD | WS_VISIBLE,
                                Scale(args.left), Scale(args.top), Scale(args.width), Scale(args.height),
                                parent.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                                ::GetModuleHandleA(nullptr), nullptr);
    if (!window_) {
        parent.RemoveControl(this);
        throw Error(std::string("Cannot create a control of class ") + windowClass);
    }
    ::SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFont()), FALSE);
}

Control::~Control() {
    if (parent_)
        parent_->RemoveControl(this);
    if (window_)
        ::DestroyWindow(window_);
}

void Control::SetCaption(const std::string& caption) {
    ::SetWindowTextA(window_, caption.c_str());
}

std::string Control::Caption() const {
    return WindowText(window_);
}

void Control::SetEnabled(bool enabled) {
    ::EnableWindow(window_, enabled);
}

bool Control::Enabled() const {
    return ::IsWindowEnabled(window_) != FALSE;
}

void Control::SetVisible(bool visible) {
    ::ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
}

bool Control::Visible() const {
    return ::IsWindowVisible(window_) != FALSE;
}

void Control::SetFocus() {
    ::SetFocus(window_);
}

void Control::Place(int left, int top, int width, int height) {
    ::SetWindowPos(window_, nullptr, Scale(left), Scale(top), Scale(width), Scale(height),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

ComboBox::ComboBox(Form& parent, const ControlArgs& args)
    : Control(parent, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
              ControlArgs{args.left, args.top, args.width,
                          args.height + kDropDownRows * kDropDownRowHeight + 2, args.caption}) {}

int ComboBox::AddItem(const std::string& text, std::intptr_t data) {
    auto index = ::SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0)
        throw Error("Cannot add \"" + text + "\" to the list");
    ::SendMessageA(Handle(), CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
    return static_cast<int>(index);
}

int ComboBox::Count() const {
    return static_cast<int>(::SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

void ComboBox::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw Error("List index out of bounds (" + std::to_string(index) + ")");
}

std::string ComboBox::ItemText(int index) const {
    CheckIndex(index);
    auto length = ::SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    length = ::SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length < 0 ? 0 : length));
    return text;
}

std::intptr_t ComboBox::ItemData(int index) const {
    CheckIndex(index);
    return static_cast<std::intptr_t>(
        ::SendMessageA(Handle(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int ComboBox::ItemIndex() const {
    return static_cast<int>(::SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void ComboBox::SetItemIndex(int index) {
    if (index != -1)
        CheckIndex(index);
    ::SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ComboBox::Clear() {
    ::SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
}

void ComboBox::HandleCommand(WORD notifyCode) {
    if (notifyCode == CBN_SELCHANGE && OnSelect)
        OnSelect();
}

} // namespace corvinade::gui
