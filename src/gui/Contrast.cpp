// Windows' high contrast setting; see Contrast.h.
#include "gui/Contrast.h"

namespace corvinade::gui {

namespace {

std::optional<bool> answered;

} // namespace

bool HighContrastOn() {
    if (answered)
        return *answered;
    HIGHCONTRASTW setting{sizeof setting};
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON);
}

void AnswerHighContrast(std::optional<bool> on) {
    answered = on;
}

COLORREF ContrastColor(COLORREF own, int systemIndex) {
    return HighContrastOn() ? ::GetSysColor(systemIndex) : own;
}

} // namespace corvinade::gui
