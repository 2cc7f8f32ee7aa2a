// Unit CommandLine: the commands a start of the program hands to the one
// already running ("corvinade.exe /pause"), read from its arguments, and
// their text on the way there (the same words, so the running program reads
// them with the same rules).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvinade {

enum class CommandKind : std::uint8_t { Pause, Resume, Toggle, Settings, Capture, Reload, Exit };
enum class CaptureKind : std::uint8_t { Screen, Window, Region };

struct ProgramCommand {
    CommandKind kind = CommandKind::Pause;
    CaptureKind capture = CaptureKind::Screen; // for Capture

    bool operator==(const ProgramCommand&) const = default;
};

// What a start was asked: to start (no arguments), to list the commands
// ("/?"), a command, or something it does not understand (`error` says what).
struct CommandLine {
    enum class Ask : std::uint8_t { Start, Help, Command, Error };
    Ask ask = Ask::Start;
    ProgramCommand command;
    std::string error;
};

// The arguments after the program's name. Commands start with "/" or "-",
// in any letter case.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The command as its arguments ("/capture screen"), and back; nothing for
// a text that is not exactly one command.
std::string CommandText(const ProgramCommand& command);
std::optional<ProgramCommand> CommandFromText(std::string_view text);

// Without a running program these start it, then act; the others need one.
bool StartsProgram(const ProgramCommand& command);

// What "/?" shows.
extern const char* const CommandHelp;

// A start's exit codes.
inline constexpr int ExitDone = 0;
inline constexpr int ExitNotDone = 1;    // no running program, or it could not do it
inline constexpr int ExitBadCommand = 2; // a command line it does not understand

} // namespace corvinade
