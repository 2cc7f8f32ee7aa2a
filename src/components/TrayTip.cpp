// The tray icon's tooltip field; see TrayTip.h.
#include "components/TrayTip.h"

#include <algorithm>

namespace corvinade {

std::array<char, TrayTipSize> TrayTipText(std::string_view hint, bool showHint) {
    std::array<char, TrayTipSize> tip{};
    if (showHint)
        std::copy_n(hint.begin(), std::min(hint.size(), TrayTipSize - 1), tip.begin());
    return tip;
}

} // namespace corvinade
