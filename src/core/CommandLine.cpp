// Unit CommandLine; see CommandLine.h.
#include "core/CommandLine.h"

#include <algorithm>
#include <array>

namespace corvinade {

namespace {

struct Word {
    const char* name;
    CommandKind kind;
};

constexpr std::array<Word, 7> Commands{{
    {"pause", CommandKind::Pause},
    {"resume", CommandKind::Resume},
    {"toggle", CommandKind::Toggle},
    {"settings", CommandKind::Settings},
    {"capture", CommandKind::Capture},
    {"reload", CommandKind::Reload},
    {"exit", CommandKind::Exit},
}};

constexpr std::array<const char*, 3> CaptureNames{"screen", "window", "region"};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

CommandLine Fails(std::string error) {
    CommandLine line;
    line.ask = CommandLine::Ask::Error;
    line.error = std::move(error) + " \"corvinade.exe /?\" lists the commands.";
    return line;
}

} // namespace

const char* const CommandHelp =
    "Usage: corvinade.exe [command]\n"
    "\n"
    "  /pause                         pause the hotkeys\n"
    "  /resume                        resume the hotkeys\n"
    "  /toggle                        pause or resume the hotkeys\n"
    "  /settings                      open the settings window\n"
    "  /capture screen|window|region  capture the screen or the active window\n"
    "  /reload                        read hotkeys.ini again\n"
    "  /exit                          end Corvinade\n"
    "\n"
    "Without a command Corvinade starts. A command goes to the running Corvinade;\n"
    "/settings and /capture start it first when it is not running.\n"
    "Exit code 0: done; 1: not done (Corvinade is not running); 2: not understood.";

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return {};
    const std::string& first = arguments.front();
    if (first.size() < 2 || (first[0] != '/' && first[0] != '-'))
        return Fails("\"" + first + "\" is not a command.");
    const std::string_view name = std::string_view(first).substr(1);
    if (name == "?" || SameWord(name, "help")) {
        CommandLine line;
        line.ask = CommandLine::Ask::Help;
        return line;
    }
    const Word* word = nullptr;
    for (const Word& w : Commands)
        if (SameWord(name, w.name))
            word = &w;
    if (!word)
        return Fails("Unknown command \"" + first + "\".");
    CommandLine line;
    line.ask = CommandLine::Ask::Command;
    line.command.kind = word->kind;
    std::size_t used = 1;
    if (word->kind == CommandKind::Capture) {
        bool found = false;
        if (arguments.size() > 1)
            for (std::size_t c = 0; c < CaptureNames.size(); ++c)
                if (SameWord(arguments[1], CaptureNames[c])) {
                    line.command.capture = static_cast<CaptureKind>(c);
                    found = true;
                }
        if (!found)
            return Fails("/capture needs screen, window or region after it.");
        used = 2;
    }
    if (arguments.size() > used)
        return Fails("\"" + arguments[used] + "\" after " + first + " is not understood.");
    return line;
}

std::string CommandText(const ProgramCommand& command) {
    for (const Word& w : Commands)
        if (w.kind == command.kind) {
            std::string text = std::string("/") + w.name;
            if (command.kind == CommandKind::Capture)
                text += std::string(" ") + CaptureNames[static_cast<std::size_t>(command.capture)];
            return text;
        }
    return {};
}

std::optional<ProgramCommand> CommandFromText(std::string_view text) {
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find(' ', pos), text.size());
        if (end > pos)
            words.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    const CommandLine line = ParseCommandLine(words);
    if (line.ask != CommandLine::Ask::Command)
        return std::nullopt;
    return line.command;
}

bool StartsProgram(const ProgramCommand& command) {
    return command.kind == CommandKind::Settings ||
           (command.kind == CommandKind::Capture && command.capture != CaptureKind::Region);
}

} // namespace corvinade
