// The shared timer window and TSimpleTimer; see SimpleTimer.h.
#include "components/SimpleTimer.h"

#include <set>

#include "gui/Guarded.h"

namespace corvinade {

// One per process while any timer exists (reference-counted).
struct SimpleTimerHandler {
    HWND window = nullptr;
    int userCount = 0;
    int armedCount = 0;
    std::set<TSimpleTimer*> timers;

    static SimpleTimerHandler& Get() {
        static SimpleTimerHandler handler;
        return handler;
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg != WM_TIMER)
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
        gui::Guarded([&] {
            auto& handler = Get();
            auto* timer = reinterpret_cast<TSimpleTimer*>(wParam);
            if (handler.timers.count(timer)) // ticks of a freed timer are ignored
                timer->Fire();
        });
        return 0;
    }

    void AddUser(TSimpleTimer* timer) {
        if (userCount++ == 0) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = WindowProc;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = "CorvinadeSimpleTimer";
            ::RegisterClassA(&wc);
            window = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       wc.hInstance, nullptr);
        }
        timers.insert(timer);
    }
    void RemoveUser(TSimpleTimer* timer) {
        timers.erase(timer);
        if (--userCount == 0 && window) {
            ::DestroyWindow(window);
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
