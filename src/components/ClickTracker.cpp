// Single and double clicks of the tray icon; see ClickTracker.h.
#include "components/ClickTracker.h"

namespace corvinade {

void ClickTracker::LeftButtonDown(std::uint32_t doubleClickMs, bool waitForDoubleClick) {
    if (waitForDoubleClick)
        timer_.Arm(doubleClickMs);
    leftButtonDown_ = true;
}

void ClickTracker::LeftButtonUp() {
    if (leftButtonDown_) {
        clickPending_ = true;
        // No timer: no double click to wait for, or the press outlasted it.
        if (!timer_.Running()) {
            leftButtonDown_ = false;
            clickPending_ = false;
            if (OnClick)
                OnClick();
        }
    }
    leftButtonDown_ = false;
}

void ClickTracker::LeftButtonDoubleClick() {
    clickPending_ = false;
    doubleClicked_ = true;
    if (OnDblClick)
        OnDblClick();
}

void ClickTracker::TimerElapsed() {
    timer_.Disarm();
    const bool fire = clickPending_ && !doubleClicked_;
    clickPending_ = false;
    doubleClicked_ = false;
    if (fire && OnClick)
        OnClick();
}

} // namespace corvinade
