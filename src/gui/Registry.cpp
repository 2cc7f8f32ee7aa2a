// Registry text values; see Registry.h.
#include "gui/Registry.h"

#include <windows.h>

#include <algorithm>

#include "core/Errors.h"
#include "gui/Handles.h"

namespace corvinade::gui {

std::optional<std::string> ReadUserText(const std::string& keyPath, const std::string& name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryKey key(raw);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw Error("Invalid data type for '" + name + "'");
    std::string text(size, '\0');
    if (size > 0 && ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(std::min<std::size_t>(size, text.size()));
    if (const auto nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    return text;
}

void WriteUserText(const std::string& keyPath, const std::string& name, const std::string& text) {
    HKEY raw = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        throw Error("Failed to create key " + keyPath);
    RegistryKey key(raw);
    if (::RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS)
        throw Error("Failed to set data for '" + name + "'");
}

} // namespace corvinade::gui
