// The command line of a start: which commands it reads, what it refuses and
// how, and the text a command travels in to the running program.
#include <gtest/gtest.h>

#include "core/CommandLine.h"

using namespace corvinade;

namespace {

using Ask = CommandLine::Ask;

TEST(CommandLine, ReadsEachCommandInAnyCaseWithSlashOrDash) {
    const struct {
        std::vector<std::string> arguments;
        ProgramCommand command;
    } cases[] = {
        {{"/pause"}, {CommandKind::Pause}},
        {{"-RESUME"}, {CommandKind::Resume}},
        {{"/Toggle"}, {CommandKind::Toggle}},
        {{"/settings"}, {CommandKind::Settings}},
        {{"/capture", "screen"}, {CommandKind::Capture, CaptureKind::Screen}},
        {{"/capture", "Window"}, {CommandKind::Capture, CaptureKind::Window}},
        {{"-capture", "REGION"}, {CommandKind::Capture, CaptureKind::Region}},
        {{"/reload"}, {CommandKind::Reload}},
        {{"/exit"}, {CommandKind::Exit}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        const CommandLine line = ParseCommandLine(c.arguments);
        ASSERT_EQ(line.ask, Ask::Command) << line.error;
        EXPECT_EQ(line.command, c.command);
        // The same command after its trip to the running program.
        EXPECT_EQ(CommandFromText(CommandText(line.command)), c.command);
    }
    EXPECT_EQ(CommandText({CommandKind::Capture, CaptureKind::Window}), "/capture window");
    EXPECT_EQ(ParseCommandLine({}).ask, Ask::Start);
    EXPECT_EQ(ParseCommandLine({"/?"}).ask, Ask::Help);
    EXPECT_EQ(ParseCommandLine({"-help"}).ask, Ask::Help);
}

TEST(CommandLine, RefusesWhatItDoesNotUnderstandAndSaysWhat) {
    const struct {
        std::vector<std::string> arguments;
        const char* says;
    } cases[] = {
        {{"/pausee"}, "Unknown command \"/pausee\"."},
        {{"pause"}, "\"pause\" is not a command."},
        {{"/"}, "\"/\" is not a command."},
        {{"/capture"}, "/capture needs screen, window or region after it."},
        {{"/capture", "desktop"}, "/capture needs screen, window or region after it."},
        {{"/pause", "now"}, "\"now\" after /pause is not understood."},
        {{"/capture", "screen", "twice"}, "\"twice\" after /capture is not understood."},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.ask, Ask::Error) << c.says;
        EXPECT_EQ(line.error, std::string(c.says) + " \"corvinade.exe /?\" lists the commands.");
    }
    // Only a text that is one whole command is taken from another program.
    EXPECT_EQ(CommandFromText("/exit now"), std::nullopt);
    EXPECT_EQ(CommandFromText("/?"), std::nullopt);
    EXPECT_EQ(CommandFromText(""), std::nullopt);
    EXPECT_EQ(CommandFromText("exit"), std::nullopt);
}

TEST(CommandLine, OnlySettingsAndCaptureStartTheProgram) {
    EXPECT_TRUE(StartsProgram({CommandKind::Settings}));
    EXPECT_TRUE(StartsProgram({CommandKind::Capture, CaptureKind::Screen}));
    EXPECT_TRUE(StartsProgram({CommandKind::Capture, CaptureKind::Window}));
    EXPECT_FALSE(StartsProgram({CommandKind::Capture, CaptureKind::Region}));
    for (CommandKind kind : {CommandKind::Pause, CommandKind::Resume, CommandKind::Toggle,
                             CommandKind::Reload, CommandKind::Exit})
        EXPECT_FALSE(StartsProgram({kind})) << CommandText({kind});
}

} // namespace
