// Folder arithmetic on Windows paths, portable.
#pragma once

#include <string>

namespace corvinade {

// The folder that holds `path`: the text before its last delimiter ("\" or
// "/"); the root itself for a file in a root ("C:\", "\"); "." when the
// path names no folder.
std::string DirectoryOf(const std::string& path);

} // namespace corvinade
