// ForegroundWatch: follows the window in front, for the hotkeys that pause
// while a program runs full screen and those that hold their combination
// only in some programs. The system tells it of every change
// (EVENT_SYSTEM_FOREGROUND, out of context: the events arrive through our
// message loop, nothing is injected into other programs). Until the first
// such event has arrived it also looks at the window in front four times a
// second: a system that raises no foreground events (Wine 8) is followed
// that way. A window in front may grow to cover its monitor after it came
// to the front: while asked to, it looks at that every few seconds. It
// watches only while asked to.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "components/SimpleTimer.h"

namespace corvinade {

struct ForegroundWindow {
    HWND window = nullptr;
    // Its client area covers its whole monitor (not the desktop or the shell).
    bool fullScreen = false;
    // A window of this program.
    bool ours = false;
    // The executable of its process, full path; empty when it cannot be read.
    std::string program;

    bool operator==(const ForegroundWindow&) const = default;
};

// The executable of the window's process, full path; empty when the system
// does not tell.
std::string ProgramOfWindow(HWND window);
// The file names of the programs (other than this one) with a visible
// window on the taskbar now, each once, sorted without regard to case.
std::vector<std::string> ProgramsWithWindows();

class ForegroundWatch {
public:
    // `changed` runs (from the message loop) when the window in front or its
    // full-screen answer changed.
    explicit ForegroundWatch(std::function<void()> changed);
    ~ForegroundWatch();
    ForegroundWatch(const ForegroundWatch&) = delete;
    ForegroundWatch& operator=(const ForegroundWatch&) = delete;

    // What is read of the window in front besides the window itself.
    struct Reads {
        bool fullScreen = false; // also looked at every few seconds, in case it has grown
        bool program = false;
    };
    // Watching starts with the window in front now (`changed` then runs when
    // it differs from the last one seen); stopping forgets it.
    void SetWatching(bool on, Reads reads);
    bool Watching() const { return hook_ != nullptr; }
    // The window in front as last seen; empty while not watching.
    const ForegroundWindow& Front() const { return front_; }
    // Reads the window in front again.
    void Refresh();

private:
    static void CALLBACK EventProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                                   DWORD thread, DWORD time);
    void Tick();
    void ArmTimer();

    std::function<void()> changed_;
    HWINEVENTHOOK hook_ = nullptr;
    bool eventsArrive_ = false; // the system has raised a foreground event
    Reads reads_;
    ForegroundWindow front_;
    TSimpleTimer timer_;
};

} // namespace corvinade
