// The action runner: what a hotkey does (see ActionPort and ShellPort): the
// window actions on the window in front, the screen capture, the shut-down
// dialog, keystrokes, websites, files and the clipboard. It owns the open
// capture windows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/Dispatch.h"
#include "app/ElevatedWindow.h"
#include "core/RegistrationStatus.h"

namespace corvinade {

class CaptureWindowList;
class Store;

class ActionRunner : public ActionPort, public ShellPort {
public:
    // Without a tray, a window of a program that runs as administrator is
    // left alone without a word and an empty grab says nothing. The window
    // actions ask the system about their target window unless given
    // another port. The capture windows' colour and width of marks are kept
    // in the store's settings, when there is one.
    explicit ActionRunner(TrayBalloonPort* tray = nullptr,
                          std::unique_ptr<TargetWindowPort> targetWindows = nullptr, Store* store = nullptr);
    ~ActionRunner() override;
    ActionRunner(const ActionRunner&) = delete;
    ActionRunner& operator=(const ActionRunner&) = delete;

    void MaximizeOrRestoreActiveWindow() override;
    void MinimizeActiveWindow() override;
    void CloseActiveWindow() override;
    void CaptureScreen(bool activeWindowOnly) override;
    void ShowExitWindowsDialog() override;
    void SendKeystrokes(std::string keys) override;
    void OpenWebsite(std::string address) override;
    void PlaceTextInClipboard(std::string text) override;
    void PlaceFileContentInClipboard(std::string fileName) override;
    // Opening a file: ShellExecuteW, a System32 program by its Sysnative
    // path where this 32-bit program runs on 64-bit Windows.
    void Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                 int showCommand) override;

private:
    // Lifts every key still held down (the hotkey's own keys among them).
    void ReleaseHeldKeys();
    // The window an action is about to work on is not one of a program that
    // runs as administrator; else the user is told (once per window).
    bool CanControl(HWND window);
    // The system refused a call on the window: the same notice.
    void Refused(HWND window);

    TrayBalloonPort* tray_;
    std::unique_ptr<TargetWindowPort> targetWindows_;
    Store* store_;
    TElevatedWindowNotice elevatedNotice_;
    const std::string windowsFolder_; // under WOW64; else empty
    // The open capture windows, one per grab (made at the first grab).
    std::unique_ptr<CaptureWindowList> captureWindows_;
};

} // namespace corvinade
