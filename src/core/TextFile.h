// Whole-file text access for hotkeys.ini: read in one piece, replace in one step.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvinade {

// The file's bytes, unchanged; nullopt when the file does not exist. Throws
// Error("Cannot open file \"NAME\". SYSTEMTEXT") when it exists but cannot be read.
std::optional<std::string> ReadTextFile(const std::string& name);

// The same for a file that must be there: a missing file throws the same
// Error, with the system's text for a file that is not found.
std::string ReadExistingTextFile(const std::string& name);

// The file's size in bytes; nullopt when the file does not exist. Throws
// Error("Cannot open file ...") when it exists but cannot be looked at.
std::optional<std::uint64_t> TextFileSize(const std::string& name);

// Writes content to a temporary file beside name, flushes it to disk and then
// puts it in place of name in one step, so a failure never leaves the file
// half-written: it keeps its old content and the temporary file is removed.
// Throws Error("Cannot create file \"NAME\". SYSTEMTEXT").
void ReplaceTextFile(const std::string& name, const std::string& content);

// Removes the temporary files that saves by ReplaceTextFile beside name (in
// the same folder) left when they were cut short: the program was ended in
// the middle of one. Only for a folder of the program's own.
void RemoveSaveLeftovers(const std::string& name);

} // namespace corvinade
