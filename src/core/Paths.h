// Folder arithmetic on Windows paths, portable.
#pragma once

#include <string>
#include <string_view>

namespace corvinade {

// The folder that holds `path`: the text before its last delimiter ("\" or
// "/"); the root itself for a file in a root ("C:\", "\"); "." when the
// path names no folder.
std::string DirectoryOf(const std::string& path);

// The name of a save's temporary file, made beside the file it replaces:
// "corvinade-save-PID-N.tmp", a name no other program makes, so that the
// clean-up of saves cut short can take it even from a folder it shares.
std::string SaveTempName(unsigned long processId, unsigned long counter);
// The name is one SaveTempName makes, exactly (letter case included).
bool IsSaveTempName(std::string_view name);

} // namespace corvinade
