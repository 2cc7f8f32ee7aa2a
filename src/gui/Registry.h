// Text values under HKEY_CURRENT_USER: the one way the program reads and
// writes the registry (its settings key and the log-on entry).
#pragma once

#include <optional>
#include <string>

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

} // namespace corvinade::gui
