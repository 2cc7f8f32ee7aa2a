// The options of the capture actions. Each is a value of its own in the
// hotkey's section of hotkeys.ini, written only when it is not the
// default: older versions keep a value they do not know, and a section
// without it reads as before.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvinade {

// The longest wait before a grab, in seconds.
inline constexpr int MaxCaptureDelay = 30;

struct TCaptureOptions {
    // "delay=N": the grab waits N seconds, counted down on the screen.
    int Delay = 0;
    // "cursor=1": the mouse pointer is drawn into the grab.
    bool Cursor = false;
    // "samearea=1": "Capture region" takes the last area again without
    // asking (the first time, it asks).
    bool SameArea = false;

    bool operator==(const TCaptureOptions&) const = default;
};

// A delay as hotkeys.ini holds it, brought within 0 to MaxCaptureDelay.
int DelayFromIni(std::int32_t value);

// The delay box's text: a whole number of seconds from 0 to
// MaxCaptureDelay (blanks around it allowed; empty is 0); nothing for any
// other text, which the editors refuse with DelayInputError.
std::optional<int> DelayFromInput(std::string_view text);
extern const char* const DelayInputError;

// "1 second", "3 seconds".
std::string SecondsText(int seconds);

// The options as the windows list them ("after 3 seconds, same area as
// last time"), joined by ", "; empty for the defaults.
std::string CaptureOptionsText(const TCaptureOptions& options);

} // namespace corvinade
