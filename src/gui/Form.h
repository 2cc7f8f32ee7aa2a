// A form: one object owning one top-level window of the program, with show,
// hide, modal run, close, deferred release and plain callable events.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "gui/Window.h"

namespace corvinade::gui {

// Where a form first shows. Wherever that is, it opens inside the work area
// of the monitor it is on, no larger than that.
enum class Position {
    Designed,     // at left/top
    ScreenCenter, // centred in the work area of the monitor with the cursor
    OwnerCenter,  // centred on its owner window (as ScreenCenter when that is hidden)
};

// Geometry in design pixels (96 dpi); the form scales it.
struct FormArgs {
    int left = 0, top = 0, clientWidth = 0, clientHeight = 0;
    std::string caption{};
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    HWND owner = nullptr; // default: the application window
    bool center = false;  // centred in the work area instead of left/top
    Position position = Position::Designed;
    // Below this client size the controls scroll instead of squeezing
    // (SetScrollMinimum); 0: they follow any size.
    int minClientWidth = 0, minClientHeight = 0;
};

// A form is the container of its controls and lays them out at its own dpi,
// which follows the screen it is on (WM_DPICHANGED). Keyboard navigation is
// a dialog's: Tab and Shift+Tab in creation order, into panels and pages,
// Enter for the default button, Esc for the cancel button, Alt+letter for
// the "&" mnemonics, Ctrl+Tab for the pages of a page control with tabs.
class Form : public Window, public Container {
public:
    explicit Form(const FormArgs& args);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    static bool IsFormWindow(HWND window);
    // The form of a top-level window of ours, or null.
    static Form* FromHandle(HWND window);

    // Dialog keys for a message our loops took from the queue, before it is
    // dispatched; true when it was one and is handled.
    static bool HandleDialogKey(MSG& msg);
    // The focus moved to `focus`: scroll boxes around it bring it into view.
    static void FocusMoved(HWND focus);

    HWND ContainerWindow() const override { return window_; }
    int Dpi() const override { return dpi_; }
    Form* RootForm() override { return this; }
    SIZE DesignClientSize() const override { return designClient_; }
    // Lays the form out for another dpi: moves it to `suggested` (screen
    // pixels; null keeps its place and scales its client size), then its
    // controls' fonts and places. WM_DPICHANGED lands here.
    void ApplyDpi(int dpi, const RECT* suggested);
    // Puts the form's top-left corner at (left, top), screen pixels, with its
    // designed client size laid out at `dpi`: the dpi of the monitor there.
    void PlaceAt(int left, int top, int dpi);
    // Gives the form the outer size `width` x `height` (screen pixels) on
    // `work`, a monitor's work area, as a centred form opens: no larger
    // than it, centred on it.
    void CenterOnWorkArea(const RECT& work, int width, int height);

    // Shows the form, restored when it is minimized, on top.
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

    // Shows the form modally, as the system's dialogs run: `disable` (by
    // default the form's owner) is disabled, the form enabled and shown, and
    // a nested loop runs until ModalResult is set, the form closes or the
    // application terminates; the owner is enabled again before the form
    // hides. A form shown already goes on modally where it is. Returns
    // ModalResult (IDCANCEL when it ends without one, or at once once the
    // application terminates).
    int ShowModal(HWND disable = nullptr);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result);
    bool Modal() const { return modal_; }

    // Closing (a Close button, Esc, the close box): CanClose is asked first
    // and may keep the form open; then OnClose runs, a modal form ends its
    // modal run with IDCANCEL (unless a result is set), the main form
    // terminates the application, any other form hides.
    void Close();
    std::function<bool()> CanClose;
    // Deletes this heap-allocated form (window included) later, by a message
    // posted to the form, never while a handler of the form or of one of its
    // controls is on the stack: the caller may go on using the form. The
    // application takes the form over, and deletes it at its own end if the
    // loop never came round to it.
    void Release();
    // How a released form ends, once no handler of it runs (Busy): its
    // window first, while the whole object still answers the window's last
    // messages, then the object.
    static void DeleteReleased(Form* form);
    bool Busy() const { return handlerDepth_ > 0; }

    // Held by every window procedure of the form and of its controls while
    // it runs: a release waits for the last one to return.
    class HandlerGuard {
    public:
        explicit HandlerGuard(HWND window); // the form of the window's top-level window, if any
        ~HandlerGuard();
        HandlerGuard(const HandlerGuard&) = delete;
        HandlerGuard& operator=(const HandlerGuard&) = delete;

    private:
        Form* form_;
    };

    // Events, assigned by the owner. OnCreate runs once before the form is
    // first shown, when the window and its controls exist and the handlers
    // assigned after construction are in place. OnShow / OnHide follow the
    // window's visibility, whatever changed it.
    std::function<void()> OnCreate, OnShow, OnHide, OnClose, OnDestroy;
    // A key pressed anywhere in the form, before the dialog keys: true when
    // the form took it as a shortcut of its own.
    std::function<bool(WPARAM key)> OnShortcutKey;

protected:
    // For derived forms: called first for every message of the window;
    // true means handled, with `result` as the answer.
    virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // After the controls were laid out at a new dpi: for what a derived form
    // places itself.
    virtual void DpiChanged() {}
    // Once, before the form is first shown: the derived form is whole then.
    virtual void Created() {}

private:
    LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SetVisibleState(bool visible);
    void RunCreateOnce();
    void RememberFocus();
    void RestoreFocus();
    // The usable button Enter or Esc presses with the focus where it is.
    Button* DialogButton(bool cancel) const;
    bool SwitchPage(bool forward);
    void NextDialogControl(WPARAM target, bool isWindow);

    int dpi_ = DesignDpi;
    SIZE designClient_ = {0, 0};
    bool created_ = false;
    bool shown_ = false;
    bool modal_ = false;
    int modalResult_ = 0;
    HWND modalOwner_ = nullptr; // what the modal run disabled
    HWND focus_ = nullptr;
    int handlerDepth_ = 0;
    bool releasePending_ = false;
};

} // namespace corvinade::gui
