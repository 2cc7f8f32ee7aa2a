// The system's error texts; see SystemText_win.h.
#include "core/SystemText_win.h"

#include "core/Wide_win.h"

namespace corvinade {

std::string SystemErrorText(DWORD error) {
    wchar_t buffer[1024];
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                   0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::string text = Utf8(buffer, static_cast<int>(n));
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "System error " + std::to_string(error) : text;
}

} // namespace corvinade
