// Where the hotkey file and the settings live; see AppPaths.h.
#include "app/AppPaths.h"

#include "core/IniImage.h"

namespace corvinade {

std::string HotkeyFilePath(const std::string& appDataFolder) {
    std::string path = appDataFolder;
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path + HotkeyFileTail;
}

bool FlagFromText(const std::optional<std::string>& text, bool missingValue) {
    if (!text)
        return missingValue;
    return ParseIniInteger(*text, missingValue ? 1 : 0) != 0;
}

} // namespace corvinade
