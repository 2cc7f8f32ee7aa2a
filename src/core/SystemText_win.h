// The system's own text for an error code, as the program's messages quote it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace corvinade {

// Without the trailing line end and period: the error display adds its own.
std::string SystemErrorText(DWORD error);

// A UTF-8 text as the wide API takes it (invalid bytes become U+FFFD).
std::wstring WideFromUtf8(std::string_view text);

} // namespace corvinade
