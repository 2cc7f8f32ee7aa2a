// Windows of programs that run as administrator; see ElevatedWindow.h.
#include "app/ElevatedWindow.h"

#include <algorithm>

namespace corvinade {

std::string ElevatedWindowText(const std::string& title) {
    return (title.empty() ? std::string("This window") : "\"" + title + "\"") +
           " runs as administrator; Corvinade can't control it.";
}

bool TElevatedWindowNotice::CanControl(std::uintptr_t window, TargetWindowPort& windows,
                                       TrayBalloonPort& tray) {
    if (window == 0 || !windows.RunsAboveUs(window))
        return true;
    Refused(window, windows, tray);
    return false;
}

void TElevatedWindowNotice::Refused(std::uintptr_t window, TargetWindowPort& windows, TrayBalloonPort& tray) {
    if (window == 0 || std::find(told_.begin(), told_.end(), window) != told_.end())
        return;
    std::string text = ElevatedWindowText(windows.WindowTitle(window));
    if (text.size() > BalloonTextLimit)
        text = ElevatedWindowText(windows.WindowTitle(window).substr(0, 100) + "...");
    // Told only once the tray took the balloon, as the registration notice is.
    if (tray.ShowBalloon(Title, text))
        told_.push_back(window);
}

} // namespace corvinade
