// Folder arithmetic; see Paths.h.
#include "core/Paths.h"

namespace corvinade {

std::string DirectoryOf(const std::string& path) {
    const std::size_t delimiter = path.find_last_of("\\/");
    if (delimiter == std::string::npos)
        return ".";
    const bool root = delimiter == 0 || (delimiter == 2 && path[1] == ':');
    return path.substr(0, root ? delimiter + 1 : delimiter);
}

} // namespace corvinade
