// The log-on start entry: the string value "Corvinade" under the current
// user's Run key. On exactly when its data is not empty; turning it off
// writes an empty text and never deletes the value. A value of that name
// that is not a text (a number) is not ours: it reads as off and only
// turning the entry on replaces it.
#pragma once

#include <string>

namespace corvinade {

inline constexpr const char* RunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* LogonValueName = "Corvinade";

// The data for the entry: the program's path in double quotes (Windows
// would otherwise try the shorter prefixes of a path with blanks as
// programs first), or the empty text when off.
std::string LogonStartData(const std::string& programPath, bool enabled);

// The entry's data; a missing key or value, or one that is not a text,
// reads as empty. Read-only
// access: a write-protected Run key still reads.
std::string ReadLogonStartEntry();
// Writes the running program's entry, on or off (off leaves a value that is
// not a text alone); throws Error on failure.
void WriteLogonStartEntry(bool enabled);

} // namespace corvinade
