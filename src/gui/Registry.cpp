// Registry values; see Registry.h.
#include "gui/Registry.h"

#include <windows.h>

#include <algorithm>

#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Handles.h"

namespace corvinade::gui {

std::optional<std::string> ReadUserText(const std::string& keyPath, const std::string& name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath).c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryKey key(raw);
    const std::wstring wideName = Wide(name);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw Error("Invalid data type for '" + name + "'");
    // Size in bytes, an odd one rounded up; the stored text may lack its zero.
    std::wstring text((size + 1) / sizeof(wchar_t), L'\0');
    if (size > 0 && ::RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(std::min<std::size_t>(size / sizeof(wchar_t), text.size()));
    if (const auto nul = text.find(L'\0'); nul != std::wstring::npos)
        text.resize(nul);
    return Utf8(text);
}

UserValueKind UserValueKindOf(const std::string& keyPath, const std::string& name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath).c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return UserValueKind::Missing;
    RegistryKey key(raw);
    DWORD type = 0;
    if (::RegQueryValueExW(key.Get(), Wide(name).c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return UserValueKind::Missing;
    return type == REG_SZ || type == REG_EXPAND_SZ ? UserValueKind::Text : UserValueKind::Other;
}

namespace {

void WriteUserValue(const std::string& keyPath, const std::string& name, DWORD type, const BYTE* data,
                    std::size_t size) {
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        throw Error("Failed to create key " + keyPath);
    RegistryKey key(raw);
    if (::RegSetValueExW(key.Get(), Wide(name).c_str(), 0, type, data, static_cast<DWORD>(size)) !=
        ERROR_SUCCESS)
        throw Error("Failed to set data for '" + name + "'");
}

} // namespace

void WriteUserText(const std::string& keyPath, const std::string& name, const std::string& text) {
    const std::wstring value = Wide(text);
    WriteUserValue(keyPath, name, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   (value.size() + 1) * sizeof(wchar_t));
}

std::optional<std::vector<std::uint8_t>> ReadUserBinary(const std::string& keyPath, const std::string& name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath).c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryKey key(raw);
    const std::wstring wideName = Wide(name);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(size);
    if (size > 0 && (::RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type, bytes.data(), &size) !=
                         ERROR_SUCCESS ||
                     type != REG_BINARY))
        return std::nullopt;
    bytes.resize(std::min<std::size_t>(size, bytes.size()));
    return bytes;
}

std::optional<std::uint32_t> ReadUserNumber(const std::string& keyPath, const std::string& name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath).c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryKey key(raw);
    DWORD type = 0, value = 0, size = sizeof value;
    if (::RegQueryValueExW(key.Get(), Wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

void WriteUserBinary(const std::string& keyPath, const std::string& name,
                     const std::vector<std::uint8_t>& bytes) {
    WriteUserValue(keyPath, name, REG_BINARY, bytes.data(), bytes.size());
}

void DeleteUserValue(const std::string& keyPath, const std::string& name) {
    HKEY raw = nullptr;
    LONG result = ::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath).c_str(), 0, KEY_SET_VALUE, &raw);
    if (result == ERROR_FILE_NOT_FOUND)
        return;
    if (result != ERROR_SUCCESS)
        throw Error("Failed to open key " + keyPath);
    RegistryKey key(raw);
    result = ::RegDeleteValueW(key.Get(), Wide(name).c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        throw Error("Failed to delete '" + name + "'");
}

} // namespace corvinade::gui
