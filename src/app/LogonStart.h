// The log-on start entry: the text value "Corvinade" under the current
// user's Run key, on for this program exactly when it names this program's
// exe. Windows' list of startup apps may turn it off without touching it
// (a binary value of the same name under StartupApproved\Run, first byte 3;
// 2 is on). A value naming another copy is that copy's: it reads as off and
// only turning the entry on replaces it. A value of that name that is not a
// text (a number) is not ours either.
//
// The decisions are portable; the reading and writing, for the running
// program, are in LogonStart_win.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvinade {

inline constexpr const char* RunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* StartupApprovedKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
inline constexpr const char* LogonValueName = "Corvinade";

// The entry's command: the program's path in double quotes (Windows would
// otherwise try the shorter prefixes of a path with blanks as programs first).
std::string LogonCommand(const std::string& programPath);

// Whether a Run command starts the program at `programPath`: its quoted
// path, or unquoted the whole path, either maybe followed by arguments;
// letters compared without case, as Windows compares paths.
bool RunCommandNamesProgram(std::string_view command, std::string_view programPath);

// Whether the StartupApproved data says the user turned the entry off in
// Windows' list of startup apps, and that data turned on again (the rest of
// its bytes kept).
bool TurnedOffInStartupApps(const std::vector<std::uint8_t>& approved);
std::vector<std::uint8_t> TurnedOnInStartupApps(std::vector<std::uint8_t> approved);

struct LogonStartState {
    bool On = false;                 // the entry names this program and Windows lets it run
    bool TurnedOffByWindows = false; // it names this program, but Windows' list has turned it off
};

// The running program's state. Read-only access: a write-protected key
// still reads.
LogonStartState ReadLogonStart();
// Turns the running program's entry on (writes it unless it names this
// program already, and turns it on again in Windows' list) or off (deletes
// it when it names this program; another copy's stays). Throws Error on
// failure.
void TurnLogonStart(bool on);

} // namespace corvinade
