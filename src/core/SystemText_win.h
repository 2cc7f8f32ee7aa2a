// The system's own texts: an error code's, as the program's messages quote
// it, and the wide texts of the W functions as the program's UTF-8.
#pragma once

#include <windows.h>

#include <string>

namespace corvinade {

// Without the trailing line end and period: the error display adds its own.
std::string SystemErrorText(DWORD error);

// `length` UTF-16 units as UTF-8; empty for a length of 0 or less.
std::string Utf8FromWide(const wchar_t* text, int length);

} // namespace corvinade
