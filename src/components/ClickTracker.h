// Single click versus double click of the tray icon, apart from the window
// system: the press arms a one-shot timer of the double-click time, the
// release marks the click pending, and the click fires when the timer ticks
// with no double-click in between. Without a double-click handler the click
// fires on the release. The timer is a port so tests drive it with a clock.
#pragma once

#include <cstdint>
#include <functional>

namespace corvinade {

class ClickTimerPort {
public:
    virtual void Arm(std::uint32_t periodMs) = 0;
    virtual void Disarm() = 0;
    virtual bool Running() const = 0;

protected:
    ~ClickTimerPort() = default;
};

class ClickTracker {
public:
    explicit ClickTracker(ClickTimerPort& timer) : timer_(timer) {}

    // Fired when the single click is decided, and at the double click.
    std::function<void()> OnClick, OnDblClick;

    // `doubleClickMs` is the system's double-click time, read at each press;
    // the timer runs only when a double click is wanted (a handler is set).
    void LeftButtonDown(std::uint32_t doubleClickMs, bool waitForDoubleClick);
    void LeftButtonUp();
    void LeftButtonDoubleClick();
    // The timer's tick; it stops itself.
    void TimerElapsed();

    bool ClickPending() const { return clickPending_; }

private:
    ClickTimerPort& timer_;
    bool leftButtonDown_ = false;
    bool clickPending_ = false;
    bool doubleClicked_ = false;
};

} // namespace corvinade
