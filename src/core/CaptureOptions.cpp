// The capture actions' options; see CaptureOptions.h.
#include "core/CaptureOptions.h"

namespace corvinade {

std::string CaptureOptionsText(const TCaptureOptions& options) {
    std::string text;
    auto add = [&text](const char* part) {
        if (!text.empty())
            text += ", ";
        text += part;
    };
    if (options.SameArea)
        add("same area as last time");
    return text;
}

} // namespace corvinade
