// Values under HKEY_CURRENT_USER: the one way the program reads and writes
// the registry (its settings key, the log-on entry and what Windows' list of
// startup apps says of it).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvinade::gui {

// The value's text; nothing when the key or the value is missing. The key is
// opened for reading only (a write-protected key still reads). A value of
// another type throws Error "Invalid data type for 'NAME'".
std::optional<std::string> ReadUserText(const std::string& keyPath, const std::string& name);

// Whether the value is there, and a text (REG_SZ, REG_EXPAND_SZ) or not.
enum class UserValueKind { Missing, Text, Other };
UserValueKind UserValueKindOf(const std::string& keyPath, const std::string& name);

// Writes a text value, creating the key when missing; throws Error when the
// key cannot be created or the value cannot be set.
void WriteUserText(const std::string& keyPath, const std::string& name, const std::string& text);

// The bytes of a binary value (REG_BINARY); nothing when the key or the
// value is missing or the value is of another type. Opened for reading only.
std::optional<std::vector<std::uint8_t>> ReadUserBinary(const std::string& keyPath, const std::string& name);
// A number value (REG_DWORD); nothing when the key or the value is missing
// or the value is of another type. Opened for reading only.
std::optional<std::uint32_t> ReadUserNumber(const std::string& keyPath, const std::string& name);
// Writes a binary value, creating the key when missing; throws Error as
// WriteUserText.
void WriteUserBinary(const std::string& keyPath, const std::string& name,
                     const std::vector<std::uint8_t>& bytes);

// Deletes a value; one already gone is no failure. Throws Error when it
// cannot be deleted.
void DeleteUserValue(const std::string& keyPath, const std::string& name);

} // namespace corvinade::gui
