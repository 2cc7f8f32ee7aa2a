// What a screen reader reads of a window whose content the system cannot see
// (parts painted without windows of their own) or reads wrongly: the window
// answers WM_GETOBJECT for its client area with an IAccessible object of
// ours. The object asks an AccessibleContent at every call, so it always
// tells what the window shows now; what the content leaves open (parent,
// the window's own place and state) the system's object of the window
// answers. oleacc and COM are loaded the first time a reader asks.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace corvinade::gui {

// A part of the window without a window of its own: a row, a link.
struct AccessibleElement {
    std::string name;
    long role = 0;             // ROLE_SYSTEM_*
    long state = 0;            // STATE_SYSTEM_*
    std::string defaultAction; // empty: none
    RECT bounds{};             // client pixels
};

class AccessibleContent {
public:
    // The window's own name, role and value; nothing keeps the system's.
    virtual std::optional<std::string> AccessibleName() const { return std::nullopt; }
    virtual std::optional<long> AccessibleRole() const { return std::nullopt; }
    virtual std::optional<std::string> AccessibleValue() const { return std::nullopt; }
    // States (STATE_SYSTEM_*) the window has beyond those the system tells.
    virtual long AccessibleStateAdded() const { return 0; }
    // The window's own default action (DoAccessibleAction(-1) does it).
    virtual std::optional<std::string> AccessibleDefaultAction() const { return std::nullopt; }
    // The parts, numbered from 1 as child ids in this order.
    virtual std::vector<AccessibleElement> AccessibleElements() const { return {}; }
    // The part with the keyboard focus while the window has it; -1: none.
    virtual int AccessibleFocus() const { return -1; }
    // A part's (-1: the window's) default action or selection by a reader;
    // runs after the reader's call has returned.
    virtual void DoAccessibleAction(int /*element*/) {}
    virtual void SelectAccessibleElement(int /*element*/) {}

protected:
    ~AccessibleContent() = default;
};

class AccessibleObject;

// The accessible object of one window; the owner of the window keeps it
// for as long as the window lives. Objects readers still hold afterwards
// answer that they are disconnected.
class AccessibleWindow {
public:
    AccessibleWindow(HWND window, AccessibleContent& content);
    AccessibleWindow(const AccessibleWindow&) = delete;
    AccessibleWindow& operator=(const AccessibleWindow&) = delete;
    ~AccessibleWindow();

    // WM_GETOBJECT: true with the answer when it asks for the client area.
    bool Answer(WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Tells readers that the focus, or the selection, moved to a part (-1:
    // the window itself).
    void FocusMoved(int element) const;
    void SelectionMoved(int element) const;
    // Parts came or went.
    void ContentChanged() const;
    // The window's own name changed.
    void NameChanged() const;

private:
    HWND window_;
    AccessibleContent& content_;
    AccessibleObject* object_ = nullptr; // one reference, made at the first question
};

} // namespace corvinade::gui
