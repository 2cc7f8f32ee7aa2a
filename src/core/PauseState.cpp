// Unit PauseState; see PauseState.h.
#include "core/PauseState.h"

namespace corvinade {

bool PauseState::PausedForFullScreen() const {
    return option_ && fullScreen_ && front_ != 0 && resumedFor_ != front_;
}

void PauseState::Resume() {
    user_ = false;
    if (PausedForFullScreen())
        resumedFor_ = front_;
}

void PauseState::Toggle() {
    if (Paused())
        Resume();
    else
        Pause();
}

void PauseState::Foreground(std::uintptr_t window, bool fullScreen) {
    if (window != front_)
        resumedFor_ = 0;
    front_ = window;
    fullScreen_ = fullScreen;
}

} // namespace corvinade
