// The text rules of the keystroke, web-site and clipboard actions.
#include <gtest/gtest.h>

#include <string>

#include "app/ActionText.h"
#include "core/TextEncoding.h"

using namespace corvinade;
using namespace std::string_literals;

TEST(ActionTextTest, LineBreakMarkersBecomeControlCharacters) {
    EXPECT_EQ(DecodeLineBreakMarkers("a<?CR?><?LF?>b"), "a\r\nb");
    EXPECT_EQ(DecodeLineBreakMarkers("<?LF?><?LF?>x<?CR?>"), "\n\nx\r");
    EXPECT_EQ(DecodeLineBreakMarkers("a<?cr?>b<?Lf?>"), "a<?cr?>b<?Lf?>");
    EXPECT_EQ(DecodeLineBreakMarkers(""), "");
    // Replacing CR first cannot make a new LF marker, nor the other way round.
    EXPECT_EQ(DecodeLineBreakMarkers("<?<?CR?>LF?>"), "<?\rLF?>");
}

// The editors store a memo's lines on one line; the action gets them back.
TEST(ActionTextTest, LineBreaksBecomeMarkersAndBack) {
    EXPECT_EQ(EncodeLineBreakMarkers("a\r\nb"), "a<?CR?><?LF?>b");
    EXPECT_EQ(EncodeLineBreakMarkers("\n\rx\n"), "<?LF?><?CR?>x<?LF?>");
    EXPECT_EQ(EncodeLineBreakMarkers("no break"), "no break");
    for (const char* text : {"line one\r\nline two\r\n", "\r\r\n\n", "tab\tand blank "})
        EXPECT_EQ(DecodeLineBreakMarkers(EncodeLineBreakMarkers(text)), text);
}

TEST(ActionTextTest, WebsiteGetsHttpUnlessItHasAnHttpScheme) {
    const struct {
        const char* given;
        const char* opened;
    } cases[] = {
        {"example.org", "http://example.org"},
        {"http://example.org/A", "http://example.org/A"},
        {"HTTPS://Example.org", "HTTPS://Example.org"},
        {"Http://x", "Http://x"},
        {"ftp://files.example", "http://ftp://files.example"},
        {"https:/x", "http://https:/x"},
        {"", "http://"},
        {"http:/", "http://http:/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WebsiteAddress(c.given), c.opened) << c.given;
}

TEST(ActionTextTest, FileContentLinesEndInCrLf) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"one\ntwo\n", "one\r\ntwo\r\n"},
        {"one\r\ntwo", "one\r\ntwo\r\n"},
        {"a\rb\r\r\nc", "a\r\nb\r\n\r\nc\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"", ""},
        {"kept\0dropped\nmore"s, "kept\r\n"},
        {"\0all gone"s, ""},
        {"line\r", "line\r\n"},
        // The text is read as hotkeys.ini is: marks, then UTF-8, then ANSI.
        {"\xE9t\xE9\n", "\xC3\xA9t\xC3\xA9\r\n"},
        {"\xC3\xA9t\xC3\xA9\n", "\xC3\xA9t\xC3\xA9\r\n"},
        {"\xFF\xFEh\0\x1F\x04\n\0\0\0x\0"s, "h\xD0\x9F\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClipboardTextFromFileBytes(c.bytes, Windows1252()), c.text);
}

TEST(ActionTextTest, LargeFileContentKeepsEveryLine) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += "line " + std::to_string(i) + "\n";
    const std::string text = ClipboardTextFromFileBytes(bytes, Windows1252());
    EXPECT_EQ(text.size(), bytes.size() + 200000);
    EXPECT_EQ(text.substr(text.size() - 13), "line 199999\r\n");
}
