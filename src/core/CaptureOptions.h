// The options of the capture actions. Each is a value of its own in the
// hotkey's section of hotkeys.ini, written only when it is not the
// default: older versions keep a value they do not know, and a section
// without it reads as before.
#pragma once

#include <string>

namespace corvinade {

struct TCaptureOptions {
    // "samearea=1": "Capture region" takes the last area again without
    // asking (the first time, it asks).
    bool SameArea = false;

    bool operator==(const TCaptureOptions&) const = default;
};

// The options as the windows list them ("same area as last time"), joined
// by ", "; empty for the defaults.
std::string CaptureOptionsText(const TCaptureOptions& options);

} // namespace corvinade
