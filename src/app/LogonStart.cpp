// The log-on start entry; see LogonStart.h.
#include "app/LogonStart.h"

#include <windows.h>

#include "core/Errors.h"
#include "gui/Handles.h"

namespace corvinade {

namespace {

gui::RegistryKey OpenRunKey() {
    HKEY raw = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, RunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, &raw, nullptr) != ERROR_SUCCESS)
        throw Error(std::string("Failed to create key ") + RunKeyPath);
    return gui::RegistryKey(raw);
}

std::string ProgramPath() {
    char path[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

} // namespace

std::string LogonStartData(const std::string& programPath, bool enabled) {
    return enabled ? "\"" + programPath + "\"" : std::string();
}

std::string ReadLogonStartEntry() {
    gui::RegistryKey key = OpenRunKey();
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(key.Get(), LogonValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw Error(std::string("Invalid data type for '") + LogonValueName + "'");
    std::string data(size, '\0');
    if (size && ::RegQueryValueExA(key.Get(), LogonValueName, nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return {};
    data.resize(std::min<std::size_t>(size, data.size()));
    if (const auto nul = data.find('\0'); nul != std::string::npos)
        data.resize(nul);
    return data;
}

void WriteLogonStartEntry(bool enabled) {
    gui::RegistryKey key = OpenRunKey();
    const std::string data = LogonStartData(ProgramPath(), enabled);
    if (::RegSetValueExA(key.Get(), LogonValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS)
        throw Error(std::string("Failed to set data for '") + LogonValueName + "'");
}

} // namespace corvinade
