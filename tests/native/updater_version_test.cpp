// The update check's portable side: version numbers and their text, the
// endpoint's addresses, and the marker in the answer.
#include <gtest/gtest.h>

#include "core/Errors.h"
#include "update/UpdateCheck.h"

using namespace corvinade;

namespace {

// The number the update check sends joins two-digit parts; the text the
// user reads is the version as Windows writes it.
TEST(UpdaterVersionTest, NumberAndTextOfFileVersions) {
    struct Case {
        FileVersion version;
        std::int32_t number;
        const char* text;
    };
    const Case cases[] = {
        {{1, 10, 0, 0}, 1100000, "1.10.0.0"},
        {{1, 0, 0, 0}, 1000000, "1.0.0.0"},
        {{0, 0, 0, 0}, 0, "0.0.0.0"},
        {{0, 0, 0, 7}, 7, "0.0.0.7"},
        {{12, 34, 56, 78}, 12345678, "12.34.56.78"},
        {{99, 99, 99, 99}, 99999999, "99.99.99.99"},
        // A part of 100 or more prints three digits: a different, larger number.
        {{1, 100, 0, 0}, 11000000, "1.100.0.0"},
        {{100, 0, 0, 0}, 100000000, "100.0.0.0"},
        {{2, 0, 0, 123}, 20000123, "2.0.0.123"},
        {{1000, 0, 0, 0}, 1000000000, "1000.0.0.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(VersionNumber(c.version), c.number);
        EXPECT_EQ(VersionText(c.version), c.text);
    }
}

TEST(UpdaterVersionTest, NumberPastThe32BitRangeIsAnError) {
    EXPECT_THROW(VersionNumber({3000, 0, 0, 0}), Error); // 3000000000
    EXPECT_THROW(VersionNumber({65535, 65535, 65535, 65535}), Error);
    EXPECT_EQ(VersionNumber({2147, 48, 36, 47}), 2147483647); // the largest that fits
    EXPECT_THROW(VersionNumber({2147, 48, 36, 48}), Error);
}

TEST(UpdaterVersionTest, QueryAndDownloadAddresses) {
    struct Case {
        const char* setting;
        std::int32_t version;
        const char* query;
        const char* download;
    };
    const Case cases[] = {
        {"", 1000000, "https://corvinade.example/softwareupdate.php?obj=11&ver=1000000",
         "https://corvinade.example/download"},
        {"http://127.0.0.1:8642", 1100000, "http://127.0.0.1:8642/softwareupdate.php?obj=11&ver=1100000",
         "http://127.0.0.1:8642/download"},
        {"https://updates.corp.example/", 0, "https://updates.corp.example/softwareupdate.php?obj=11&ver=0",
         "https://updates.corp.example/download"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        const std::string base = UpdateBaseAddress(c.setting);
        EXPECT_EQ(UpdateQueryUrl(base, c.version), c.query);
        EXPECT_EQ(DownloadPageUrl(base), c.download);
    }
}

// The settings value is any program's to write: only web addresses reach
// the shell.
TEST(UpdaterVersionTest, OnlyWebAddressesAreOpened) {
    for (const char* web : {"http://127.0.0.1:8642/download", "HTTPS://corp.example/download", "http://h"})
        EXPECT_TRUE(IsWebAddress(web)) << web;
    for (const char* other :
         {"file:///C:/Windows/system32/calc.exe/download", "C:\\Windows\\notepad.exe/download",
          "\\\\server\\share/download", "javascript:alert(1)/download", "http:/download", "http://",
          "ftp://host/download", " http://host/download", "mailto:x@y/download"})
        EXPECT_FALSE(IsWebAddress(other)) << other;
    EXPECT_EQ(DownloadPageNotWebMessage("file:///x/download"),
              "The download page \"file:///x/download\" is not a web address.");
}

TEST(UpdaterVersionTest, MarkerInTheAnswer) {
    struct Case {
        const char* answer;
        bool update;
    };
    const Case cases[] = {
        {"[UPDATE]", true},
        {"version 1.2 [UPDATE] available", true},
        {"first line\r\nsecond [UPDATE]\r\nthird", true},
        {"line\n[UPDATE]\n", true},
        {"no marker\rat all", false},
        {"[update]", false},
        {"[Update]", false},
        {"[UPDATE", false},
        {"UPDATE]", false},
        {"[UP\r\nDATE]", false},
        {"", false},
        {"<html><body>404 Not Found</body></html>", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        EXPECT_EQ(AnswerAnnouncesUpdate(c.answer), c.update);
    }
}

TEST(UpdaterVersionTest, AnswerLinesAreJoinedWithCrLfAfterEach) {
    EXPECT_EQ(JoinAnswerLines(""), "");
    EXPECT_EQ(JoinAnswerLines("a"), "a\r\n");
    EXPECT_EQ(JoinAnswerLines("a\nb\r\nc\rd\r\n"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(JoinAnswerLines("\n\n"), "\r\n\r\n");
}

} // namespace
