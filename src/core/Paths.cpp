// Folder arithmetic; see Paths.h.
#include "core/Paths.h"

#include <algorithm>
#include <optional>

namespace corvinade {

std::string DirectoryOf(const std::string& path) {
    const std::size_t delimiter = path.find_last_of("\\/");
    if (delimiter == std::string::npos)
        return ".";
    const bool root = delimiter == 0 || (delimiter == 2 && path[1] == ':');
    return path.substr(0, root ? delimiter + 1 : delimiter);
}

namespace {

constexpr std::string_view SavePrefix = "corvinade-save-", SaveSuffix = ".tmp";

// One to ten decimal digits, then `end`: the text after it, or nothing.
std::optional<std::string_view> AfterNumber(std::string_view text, char end) {
    const std::size_t digits = text.find(end);
    if (digits == 0 || digits > 10 || digits == std::string_view::npos ||
        !std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(digits),
                     [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return text.substr(digits + 1);
}

} // namespace

std::string SaveTempName(unsigned long processId, unsigned long counter) {
    return std::string(SavePrefix) + std::to_string(processId) + "-" + std::to_string(counter) +
           std::string(SaveSuffix);
}

bool IsSaveTempName(std::string_view name) {
    if (!name.starts_with(SavePrefix) || !name.ends_with(SaveSuffix))
        return false;
    name = name.substr(SavePrefix.size(), name.size() - SavePrefix.size() - SaveSuffix.size() + 1);
    const std::optional<std::string_view> counter = AfterNumber(name, '-');
    return counter && AfterNumber(*counter, '.') == std::string_view();
}

} // namespace corvinade
