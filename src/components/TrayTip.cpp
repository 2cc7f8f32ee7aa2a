// The tray icon's tooltip field; see TrayTip.h.
#include "components/TrayTip.h"

#include <algorithm>

#include "core/Unicode.h"

namespace corvinade {

std::array<char16_t, TrayTipSize> TrayTipText(std::string_view hint, bool showHint) {
    std::array<char16_t, TrayTipSize> tip{};
    if (showHint) {
        const std::u16string units = Utf8ToUtf16Prefix(hint, TrayTipSize - 1);
        std::copy(units.begin(), units.end(), tip.begin());
    }
    return tip;
}

std::string TrayHintText(std::string_view title, int activeHotkeys) {
    const std::string count = activeHotkeys <= 0   ? "no hotkeys"
                              : activeHotkeys == 1 ? "1 hotkey"
                                                   : std::to_string(activeHotkeys) + " hotkeys";
    return std::string(title) + ": " + count + " active";
}

} // namespace corvinade
