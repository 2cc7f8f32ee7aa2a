// TSimpleTimer on the application window; see SimpleTimer.h.
#include "components/SimpleTimer.h"

#include <set>

#include "gui/Application.h"

namespace corvinade {

// The timers tick on the application window; its hook is in place while
// any timer exists.
struct SimpleTimerHandler {
    HWND window = nullptr;
    int hookId = 0;
    int armedCount = 0;
    std::set<TSimpleTimer*> timers;

    static SimpleTimerHandler& Get() {
        static SimpleTimerHandler handler;
        return handler;
    }

    bool HandleMessage(UINT msg, WPARAM wParam) {
        if (msg != WM_TIMER)
            return false;
        auto* timer = reinterpret_cast<TSimpleTimer*>(wParam);
        if (!timers.count(timer))
            return false; // not ours, or a tick of a freed timer
        timer->Fire();
        return true;
    }

    void AddUser(TSimpleTimer* timer) {
        if (timers.empty()) {
            gui::Application& app = gui::App();
            window = app.Handle();
            hookId = app.AddMessageHook(
                [this](UINT msg, WPARAM wParam, LPARAM, LRESULT&) { return HandleMessage(msg, wParam); });
        }
        timers.insert(timer);
    }
    void RemoveUser(TSimpleTimer* timer) {
        timers.erase(timer);
        if (timers.empty()) {
            if (gui::Application* app = gui::Application::Instance())
                app->RemoveMessageHook(hookId);
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
