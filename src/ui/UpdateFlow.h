// The manual update check as the tray panel and the settings window run it:
// ask the endpoint, then tell the user there is nothing new, or offer the
// download page. Errors of the check reach the caller.
#pragma once

#include <windows.h>

namespace corvinade {

void CheckForUpdatesFlow(HWND owner);

} // namespace corvinade
