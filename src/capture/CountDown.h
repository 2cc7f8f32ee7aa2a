// The wait of a capture with a delay: a small topmost window in the corner
// of the work area under the pointer (owned by the application window, so
// without a taskbar button) counts the seconds down, without
// taking the focus from the window the user is readying for the shot. Esc
// (held as a hotkey while it counts) or a click on it cancels. At zero it
// hides and lets the screen settle before it hands over to the grab, so
// that nothing of it is in the image.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gui/Accessible.h"
#include "gui/Window.h"

namespace corvinade {

class CountDown : public gui::Window, private gui::AccessibleContent {
public:
    // Shows at once with `seconds` (1 or more) to go.
    CountDown(int seconds, std::function<void()> elapsed);
    CountDown(const CountDown&) = delete;
    CountDown& operator=(const CountDown&) = delete;
    ~CountDown() override;

    // Until it has run out or was cancelled.
    bool Counting() const { return window_ != nullptr; }
    // Ends it without the grab.
    void Cancel();

private:
    LRESULT WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Tick();
    void Paint();
    void ShowRemaining();
    void End();

    std::optional<std::string> AccessibleName() const override;

    int remaining_;
    int dpi_;
    std::function<void()> elapsed_;
    bool escapeHeld_ = false;
    std::unique_ptr<gui::AccessibleWindow> accessible_;
};

} // namespace corvinade
