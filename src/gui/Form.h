// A form: one object owning one top-level window of the program, with show,
// hide, modal run, close, deferred release and plain callable events.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace corvinade::gui {

class Control;

// Geometry in design pixels (96 dpi); the form scales it.
struct FormArgs {
    int left = 0, top = 0, clientWidth = 0, clientHeight = 0;
    std::string caption{};
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    HWND owner = nullptr; // default: the application window
    bool center = false;  // centred in the work area instead of left/top
};

class Form {
public:
    explicit Form(const FormArgs& args);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    HWND Handle() const { return window_; }
    static bool IsFormWindow(HWND window);

    void Show();
    void Hide();
    bool Visible() const;
    void SetCaption(const std::string& caption);
    std::string Caption() const;

    // Outer bounds in screen pixels (not design pixels: callers place forms
    // against things measured on the screen, like the taskbar).
    void SetBounds(int left, int top, int width, int height);
    RECT Bounds() const;
    // Client size in screen pixels.
    SIZE ClientSize() const;
    // Client size in design pixels, scaled here.
    void SetClientSize(int designWidth, int designHeight);

    // Shows the form modally: the other windows of the thread are disabled
    // and a nested loop (through the application's message hook) runs until
    // ModalResult is set, the form closes or the application terminates.
    // Returns ModalResult (IDCANCEL when it ends without one).
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result);
    bool Modal() const { return modal_; }

    // Closing: OnClose runs, then a modal form ends its modal run with
    // IDCANCEL (unless a result is set), the main form terminates the
    // application, any other form hides.
    void Close();
    // Deletes this heap-allocated form (window included) later, by a message
    // posted to the form itself, and never while one of the form's message
    // handlers is still running: the caller may go on using the form.
    void Release();

    // Events, assigned by the owner. OnCreate runs once before the form is
    // first shown, when the window and its controls exist and the handlers
    // assigned after construction are in place. OnShow / OnHide follow the
    // window's visibility, whatever changed it.
    std::function<void()> OnCreate, OnShow, OnHide, OnClose, OnDestroy;

protected:
    // For derived forms: called first for every message of the window;
    // true means handled, with `result` as the answer.
    virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    friend class Control;
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    static void DeleteReleased(Form* form);
    LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool RouteToControl(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void SetVisibleState(bool visible);
    void RunCreateOnce();
    void RememberFocus();
    void RestoreFocus();

    int AddControl(Control* control);
    void RemoveControl(Control* control);

    HWND window_ = nullptr;
    bool created_ = false;
    bool shown_ = false;
    bool modal_ = false;
    int modalResult_ = 0;
    HWND focus_ = nullptr;
    int handlerDepth_ = 0;
    bool releasePending_ = false;
    bool deleting_ = false;
    std::vector<Control*> controls_;
    int nextControlId_ = 100;
};

} // namespace corvinade::gui
