// The log-on entry's decisions: which Run commands name this program, and
// what Windows' list of startup apps says of it.
#include "app/LogonStart.h"

#include <gtest/gtest.h>

namespace corvinade {
namespace {

TEST(LogonStart, ARunCommandNamesTheProgramQuotesArgumentsAndCaseAside) {
    const std::string program = "C:\\Program Files\\\xC3\x89t\xC3\xA9\\corvinade.exe"; // "Été"
    struct Case {
        const char* command;
        bool names;
    };
    for (const Case& c : {
             Case{"\"C:\\Program Files\\\xC3\x89t\xC3\xA9\\corvinade.exe\"", true},
             Case{"  \"c:\\PROGRAM FILES\\\xC3\xA9T\xC3\x89\\Corvinade.EXE\" /min", true},
             Case{"C:\\Program Files\\\xC3\x89t\xC3\xA9\\corvinade.exe", true},
             Case{"C:\\program files\\\xC3\xA9t\xC3\xA9\\corvinade.exe\t-x", true},
             Case{"\"C:\\Program Files\\\xC3\x89t\xC3\xA9\\corvinade.exe", true}, // unclosed quote
             Case{"C:\\Program Files\\\xC3\x89t\xC3\xA9\\corvinade.exe2", false},
             Case{"\"C:\\Program Files\\\xC3\x89t\xC3\xA9\\corvinade.exe2\"", false},
             Case{"\"C:\\Tools\\corvinade.exe\"", false}, // a portable copy elsewhere
             Case{"\"C:\\Program Files\\\xC3\x89t\xC3\xA9\"\\corvinade.exe", false},
             Case{"", false},
         }) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(RunCommandNamesProgram(c.command, program), c.names);
    }
    EXPECT_FALSE(RunCommandNamesProgram("\"\"", ""));
    EXPECT_TRUE(RunCommandNamesProgram(LogonCommand(program), program));
}

// The first byte says on (2) or off (3); turning it on keeps the rest (the
// time it was turned off).
TEST(LogonStart, StartupAppsTurnTheEntryOffByItsFirstByte) {
    const std::vector<std::uint8_t> off = {3, 0, 0, 0, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70, 0x81};
    EXPECT_TRUE(TurnedOffInStartupApps(off));
    const std::vector<std::uint8_t> on = TurnedOnInStartupApps(off);
    EXPECT_EQ(on, (std::vector<std::uint8_t>{2, 0, 0, 0, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70, 0x81}));
    EXPECT_FALSE(TurnedOffInStartupApps(on));
    EXPECT_FALSE(TurnedOffInStartupApps({}));
    EXPECT_TRUE(TurnedOnInStartupApps({}).empty());
}

} // namespace
} // namespace corvinade
