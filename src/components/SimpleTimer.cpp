// The shared timer window and TSimpleTimer; see SimpleTimer.h.
#include "components/SimpleTimer.h"

#include <memory>
#include <set>

#include "gui/WindowClass.h"

namespace corvinade {

// One per process while any timer exists (reference-counted).
struct SimpleTimerHandler {
    std::unique_ptr<gui::HelperWindow> helper;
    HWND window = nullptr;
    int userCount = 0;
    int armedCount = 0;
    std::set<TSimpleTimer*> timers;

    static SimpleTimerHandler& Get() {
        static SimpleTimerHandler handler;
        return handler;
    }

    static bool HandleMessage(void*, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
        if (msg != WM_TIMER)
            return false;
        auto& handler = Get();
        auto* timer = reinterpret_cast<TSimpleTimer*>(wParam);
        if (handler.timers.count(timer)) // ticks of a freed timer are ignored
            timer->Fire();
        result = 0;
        return true;
    }

    void AddUser(TSimpleTimer* timer) {
        if (userCount++ == 0) {
            helper = std::make_unique<gui::HelperWindow>(nullptr, HandleMessage, true);
            window = helper->Handle();
        }
        timers.insert(timer);
    }
    void RemoveUser(TSimpleTimer* timer) {
        timers.erase(timer);
        if (--userCount == 0 && helper) {
            helper.reset();
            window = nullptr;
            armedCount = 0;
        }
    }
};

TSimpleTimer::TSimpleTimer() {
    SimpleTimerHandler::Get().AddUser(this);
}

TSimpleTimer::TSimpleTimer(std::uint32_t periodMs, std::function<void(TSimpleTimer&)> onElapsed)
    : periodMs_(periodMs), onElapsed_(std::move(onElapsed)) {
    SimpleTimerHandler::Get().AddUser(this);
}

TSimpleTimer::~TSimpleTimer() {
    if (running_)
        Disarm(true);
    SimpleTimerHandler::Get().RemoveUser(this);
}

int TSimpleTimer::ArmedCount() {
    return SimpleTimerHandler::Get().armedCount;
}

bool TSimpleTimer::Arm() {
    if (periodMs_ == 0)
        return false;
    if (running_)
        Disarm(true);
    auto& handler = SimpleTimerHandler::Get();
    const bool armed = ::SetTimer(handler.window, TimerId(), periodMs_, nullptr) != 0;
    if (armed) {
        running_ = true;
        ++handler.armedCount;
    }
    return armed;
}

void TSimpleTimer::Disarm(bool clear) {
    if (clear)
        running_ = false;
    auto& handler = SimpleTimerHandler::Get();
    if (::KillTimer(handler.window, TimerId()) && handler.armedCount > 0)
        --handler.armedCount;
}

void TSimpleTimer::SetRunning(bool running) {
    if (running)
        Arm();
    else
        Disarm(true);
}

void TSimpleTimer::SetPeriodMs(std::uint32_t periodMs) {
    if (periodMs == periodMs_)
        return;
    periodMs_ = periodMs;
    if (!running_)
        return;
    if (periodMs_ == 0)
        Disarm(false);
    else
        Arm();
}

void TSimpleTimer::SetOnElapsed(std::function<void(TSimpleTimer&)> onElapsed) {
    onElapsed_ = std::move(onElapsed);
    if (!onElapsed_ && running_)
        Disarm(false);
}

void TSimpleTimer::Fire() {
    if (StopOnFire)
        Disarm(true);
    if (onElapsed_)
        onElapsed_(*this);
}

} // namespace corvinade
