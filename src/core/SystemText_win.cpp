// The system's error texts; see SystemText_win.h.
#include "core/SystemText_win.h"

namespace corvinade {

std::string SystemErrorText(DWORD error) {
    char buffer[1024];
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                   0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, n);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "System error " + std::to_string(error) : text;
}

} // namespace corvinade
