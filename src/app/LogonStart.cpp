// The log-on start entry's decisions; see LogonStart.h.
#include "app/LogonStart.h"

#include "core/HotkeyFilter.h"
#include "core/Unicode.h"

namespace corvinade {

namespace {

constexpr std::uint8_t StartupAppOn = 2, StartupAppOff = 3;

std::u32string Folded(std::string_view text) {
    std::u32string folded;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8Char(text, pos);
        folded.push_back(FoldCase(c.Value));
        pos += c.Length;
    }
    return folded;
}

bool IsBlank(char32_t c) {
    return c == U' ' || c == U'\t';
}

} // namespace

std::string LogonCommand(const std::string& programPath) {
    return "\"" + programPath + "\"";
}

bool RunCommandNamesProgram(std::string_view command, std::string_view programPath) {
    const std::u32string program = Folded(programPath);
    std::u32string path = Folded(command);
    path.erase(0, path.find_first_not_of(U" \t"));
    if (program.empty())
        return false;
    if (path.starts_with(U'"'))
        return path.substr(1, path.find(U'"', 1) - 1) == program;
    // Unquoted, Windows runs the first prefix ending at a blank that is a
    // program; ours is the one when the path is followed by a blank or nothing.
    return path.starts_with(program) && (path.size() == program.size() || IsBlank(path[program.size()]));
}

bool TurnedOffInStartupApps(const std::vector<std::uint8_t>& approved) {
    return !approved.empty() && approved.front() == StartupAppOff;
}

std::vector<std::uint8_t> TurnedOnInStartupApps(std::vector<std::uint8_t> approved) {
    if (!approved.empty())
        approved.front() = StartupAppOn;
    return approved;
}

} // namespace corvinade
