// Unit PauseState: whether the hotkeys are paused. The user pauses them (the
// tray's "Pause hotkeys", the pause hotkey, the command line), and, when
// asked to, a program in front that covers its whole monitor (a game, a
// presentation) pauses them while it stays in front. Never stored: every
// start begins unpaused.
#pragma once

#include <cstdint>

namespace corvinade {

class PauseState {
public:
    bool Paused() const { return user_ || PausedForFullScreen(); }
    bool PausedByUser() const { return user_; }
    bool PausedForFullScreen() const;

    void Pause() { user_ = true; }
    // Ends the user's pause, and a full-screen one for the window in front
    // (until another window comes to the front).
    void Resume();
    // The pause hotkey: resumes whatever pauses the hotkeys, else pauses them.
    void Toggle();

    bool FullScreenOption() const { return option_; }
    void SetFullScreenOption(bool on) { option_ = on; }
    // The window in front (0 for none) and whether it covers its monitor.
    void Foreground(std::uintptr_t window, bool fullScreen);

private:
    bool user_ = false;
    bool option_ = false;
    bool fullScreen_ = false;
    std::uintptr_t front_ = 0;
    std::uintptr_t resumedFor_ = 0; // the full-screen window the user resumed in
};

} // namespace corvinade
