// The application object: the one hidden application window (hotkeys are
// registered for it, it owns the program's forms and the clipboard), the
// message loops with the application's message hook, termination, and the
// default error display.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gui/Window.h"

namespace corvinade::gui {

class Form;

// The application window is a Window: other objects hook its messages
// (AddMessageHook) for the timers, the tray icon's callbacks and the
// session's news.
class Application : public Window {
public:
    explicit Application(HINSTANCE instance);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    // The one live application, or null.
    static Application* Instance() { return instance_; }
    // The registered message "CorvinadeLiveHandles": sent to the application
    // window, it answers LiveGdiObjects() for wParam 0 and LiveKernelHandles()
    // for 1 (for long-run checks from outside the process).
    static UINT LiveHandlesMessage();

    HINSTANCE InstanceHandle() const { return hinstance_; }
    void SetTitle(std::string title);
    const std::string& Title() const { return title_; }

    // A hotkey of the program was pressed (WM_HOTKEY: MOD_* modifiers, the
    // key), unless a key field with the focus took it as its key. It comes
    // once, whichever loop runs (the system's message boxes, file dialogs
    // and menus included), after the application window's hooks.
    std::function<void(unsigned modifiers, unsigned key)> OnHotkey;

    // The message loop, until Terminate.
    void Run();
    // Ends Run and every nested loop (ours and the system's) on its way out.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    // Takes one message (waiting for it) and handles it; false on WM_QUIT,
    // which is then put back for the loops further out. For modal loops.
    bool HandleOneMessage();

    // Call inside a catch block: shows the exception being handled.
    void HandleException() noexcept;
    // The default error display: an error box captioned with the title.
    void ShowException(const std::string& text) noexcept;

    // Runs `task` from the outermost message loop (Run, or ProcessMessages
    // called outside every handler), once no handler, modal run, message box
    // or posted task of ours is on the stack: for work that must not happen
    // inside a save, a modal run or a message box of the caller. Posted
    // during a modal run, it waits until the run has ended. Tasks run in the
    // order they were posted; an error of one is shown and the next still
    // runs. Tasks still waiting at the end are dropped.
    void Post(std::function<void()> task);
    // Deletes a released form (see Form::Release) by a message to the
    // application window, once no handler of the form runs; one still
    // waiting at the end goes with the application.
    void DeleteLater(Form* form);
    // A form waiting for DeleteLater was deleted.
    void ForgetDeleteLater(Form* form);

    void SetMainForm(Form* form) { mainForm_ = form; }
    Form* MainForm() const { return mainForm_; }

    // Hides the application window, which stands for the program's taskbar
    // button; it is never shown, but other code may have shown it.
    void HideTaskbarButton();

    // The window a message box of ours should be modal to: the active window
    // of this thread unless it is topmost, else the application window.
    HWND DialogOwner() const;

private:
    LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Dispatch(MSG& msg);
    // Deletes the released forms that no handler runs in any more.
    void DeleteReleasedForms();
    // At the outermost loop: the posted tasks.
    void RunPendingWork();
    void WakeLoop();

    static Application* instance_;
    HINSTANCE hinstance_;
    std::string title_;
    bool terminated_ = false;
    Form* mainForm_ = nullptr;
    std::deque<std::function<void()>> posted_;
    std::vector<Form*> released_;
};

// The application; one must exist.
Application& App();

} // namespace corvinade::gui
