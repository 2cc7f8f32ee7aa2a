// TSimpleTimer: a millisecond timer without a window of its own. All timers
// tick on the application window, whose WM_TIMER calls the timer named by
// the id (the timer object's own address).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace corvinade {

class TSimpleTimer {
public:
    TSimpleTimer();
    TSimpleTimer(std::uint32_t periodMs, std::function<void(TSimpleTimer&)> onElapsed);
    TSimpleTimer(const TSimpleTimer&) = delete;
    TSimpleTimer& operator=(const TSimpleTimer&) = delete;
    ~TSimpleTimer();

    UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }

    // False at once for a period of 0; re-arms a running timer.
    bool Arm();
    // Stops the ticks; `clear` also marks the timer as not running.
    void Disarm(bool clear);

    bool Running() const { return running_; }
    void SetRunning(bool running);
    std::uint32_t PeriodMs() const { return periodMs_; }
    // A running timer re-arms with the new period; 0 stops its ticks but
    // keeps it running, so a later non-zero period resumes them.
    void SetPeriodMs(std::uint32_t periodMs);
    bool StopOnFire = false;
    void SetOnElapsed(std::function<void(TSimpleTimer&)> onElapsed);

    // Timers armed right now, over all instances.
    static int ArmedCount();

private:
    friend struct SimpleTimerHandler;
    void Fire();

    bool running_ = false;
    std::uint32_t periodMs_ = 1000;
    std::function<void(TSimpleTimer&)> onElapsed_;
};

} // namespace corvinade
