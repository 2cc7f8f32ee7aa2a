// The system's own text for an error code, as the program's messages quote it.
#pragma once

#include <windows.h>

#include <string>

namespace corvinade {

// Without the trailing line end and period: the error display adds its own.
std::string SystemErrorText(DWORD error);

} // namespace corvinade
