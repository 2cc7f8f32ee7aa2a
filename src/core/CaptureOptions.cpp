// The capture actions' options; see CaptureOptions.h.
#include "core/CaptureOptions.h"

#include <algorithm>

namespace corvinade {

const char* const DelayInputError = "The delay must be a whole number of seconds from 0 to 30.";

int DelayFromIni(std::int32_t value) {
    return std::clamp<std::int32_t>(value, 0, MaxCaptureDelay);
}

std::optional<int> DelayFromInput(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    int seconds = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        seconds = seconds * 10 + (c - '0');
        if (seconds > MaxCaptureDelay)
            return std::nullopt;
    }
    return seconds;
}

std::string SecondsText(int seconds) {
    return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

std::string CaptureOptionsText(const TCaptureOptions& options) {
    std::string text;
    auto add = [&text](const std::string& part) {
        if (!text.empty())
            text += ", ";
        text += part;
    };
    if (options.Delay > 0)
        add("after " + SecondsText(options.Delay));
    if (options.Cursor)
        add("with the mouse pointer");
    if (options.SameArea)
        add("same area as last time");
    return text;
}

} // namespace corvinade
