// Windows does not let this program maximize, close or type into a window
// of a program that runs as administrator (a higher integrity level): the
// action would do nothing without a word. The user is told in one tray
// balloon, at most once per window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/RegistrationStatus.h"

namespace corvinade {

// What the window actions ask about their target window.
class TargetWindowPort {
public:
    virtual ~TargetWindowPort() = default;
    // The window's program runs at a higher integrity level than this one.
    virtual bool RunsAboveUs(std::uintptr_t window) = 0;
    virtual std::string WindowTitle(std::uintptr_t window) = 0;
};

class TElevatedWindowNotice {
public:
    static constexpr const char* Title = "Corvinade";

    // Before an action on `window`: false, told once per window, when its
    // program runs above this one.
    bool CanControl(std::uintptr_t window, TargetWindowPort& windows, TrayBalloonPort& tray);
    // The system refused a call on the window (access denied): told once
    // per window, as above.
    void Refused(std::uintptr_t window, TargetWindowPort& windows, TrayBalloonPort& tray);

private:
    std::vector<std::uintptr_t> told_;
};

// "TITLE runs as administrator; Corvinade can't control it." (a window
// without a title is "This window").
std::string ElevatedWindowText(const std::string& title);

} // namespace corvinade
