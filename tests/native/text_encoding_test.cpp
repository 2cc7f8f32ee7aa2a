// UTF-8 and UTF-16 conversions, and the rules that read a text file's bytes
// (byte-order marks, valid UTF-8, the ANSI code page) and choose how to write
// them back (the code page's own bytes when it holds every character).
#include <gtest/gtest.h>

#include <string>

#include "core/TextEncoding.h"
#include "core/Unicode.h"

using namespace corvinade;

namespace {

const std::string Replacement = "\xEF\xBF\xBD"; // U+FFFD
const std::string Cafe = "caf\xC3\xA9";         // "café"
const std::string Check = "\xE2\x9C\x93";       // U+2713
const std::string Grin = "\xF0\x9F\x98\x80";    // U+1F600
const std::string Privet = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";

} // namespace

TEST(Unicode, RoundTripsEveryPlane) {
    const std::string text = Cafe + " " + Check + " " + Grin + " " + Privet;
    const std::u16string units = Utf8ToUtf16(text);
    EXPECT_EQ(units, u"café ✓ 😀 Привет");
    EXPECT_EQ(Utf16ToUtf8(units), text);
    EXPECT_EQ(Utf8ToUtf16(""), u"");
    EXPECT_EQ(Utf16ToUtf8(u""), "");
    const std::string longText(100000, 'x');
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(longText + Grin)), longText + Grin);
}

TEST(Unicode, InvalidSequencesBecomeOneReplacementEach) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"a\xE9z", "a" + Replacement + "z"},                                         // a Latin-1 byte
        {"\xC0\xAF", Replacement + Replacement},                                     // overlong '/'
        {"\xE0\x80\xAF", Replacement + Replacement + Replacement},                   // overlong, three bytes
        {"\xED\xA0\x80", Replacement + Replacement + Replacement},                   // an encoded surrogate
        {"\xF4\x90\x80\x80", Replacement + Replacement + Replacement + Replacement}, // above U+10FFFF
        {"\xE2\x9C", Replacement},                                                   // cut off at the end
        {"\xE2\x9Cz", Replacement + "z"},                                            // cut off before ASCII
        {"\xF0\x9F\x98", Replacement},
        {"\x80\xBF", Replacement + Replacement}, // continuation bytes alone
        {"\xFE\xFF", Replacement + Replacement},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(IsValidUtf8(c.in)) << c.in;
        EXPECT_EQ(ValidUtf8(c.in), c.out) << c.in;
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(c.in)), c.out) << c.in;
    }
    EXPECT_TRUE(IsValidUtf8(Cafe + Check + Grin + Privet + std::string(1, '\0')));
}

TEST(Unicode, LoneSurrogatesBecomeReplacements) {
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD83D)}), "a" + Replacement);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDE00), u'b'}), Replacement + "b");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE00)}),
              Replacement + Grin);
}

TEST(TextEncoding, Windows1252ReadsAndWritesItsOwnCharacters) {
    const Windows1252 cp;
    EXPECT_EQ(cp.ToUtf8("caf\xE9 \x80 \x81 \x9F"), Cafe + " \xE2\x82\xAC \xC2\x81 \xC5\xB8");
    EXPECT_EQ(cp.FromUtf8(Cafe + " \xE2\x82\xAC \xC2\x81 \xC5\xB8"), "caf\xE9 \x80 \x81 \x9F");
    EXPECT_EQ(cp.FromUtf8(Check), std::nullopt);
    EXPECT_EQ(cp.FromUtf8("\xC2\x80"), std::nullopt); // U+0080: byte 0x80 is the euro sign
    EXPECT_EQ(cp.FromUtf8("a\xE9"), std::nullopt);    // not UTF-8 at all
}

TEST(TextEncoding, ReadingRules) {
    const Windows1252 cp;
    EXPECT_EQ(DecodeFileText("[key0]\r\n", cp), "[key0]\r\n");
    EXPECT_EQ(DecodeFileText("", cp), "");
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF" + Privet, cp), Privet);
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF"
                             "caf\xE9",
                             cp),
              "caf" + Replacement); // the mark wins
    EXPECT_EQ(DecodeFileText(std::string("\xFF\xFE"
                                         "c\0\xE9\0=\0\x3D\xD8\0\xDE",
                                         12),
                             cp),
              "c\xC3\xA9=" + Grin);
    EXPECT_EQ(DecodeFileText(std::string("\xFE\xFF\0c\x04\x1F", 6), cp), "c\xD0\x9F");
    EXPECT_EQ(DecodeFileText(std::string("\xFF\xFE"
                                         "c\0d",
                                         5),
                             cp),
              "c" + Replacement);
    EXPECT_EQ(DecodeFileText(Cafe + Grin, cp), Cafe + Grin);
    EXPECT_EQ(DecodeFileText("caf\xE9", cp), Cafe);
    // One invalid byte anywhere makes the whole file ANSI.
    EXPECT_EQ(DecodeFileText(Cafe + "\xE9", cp), "caf\xC3\x83\xC2\xA9\xC3\xA9");
}

TEST(TextEncoding, WritingRules) {
    const Windows1252 cp;
    EXPECT_EQ(EncodeFileText("[key0]\r\n", cp), "[key0]\r\n");
    EXPECT_EQ(EncodeFileText(Cafe, cp), "caf\xE9");
    EXPECT_EQ(EncodeFileText(Cafe + Privet, cp), "\xEF\xBB\xBF" + Cafe + Privet);
    EXPECT_EQ(EncodeFileText(Grin, cp), "\xEF\xBB\xBF" + Grin);
    // "Ã©" in 1252 is C3 A9, which would read back as "é".
    EXPECT_EQ(EncodeFileText("\xC3\x83\xC2\xA9", cp), "\xEF\xBB\xBF\xC3\x83\xC2\xA9");
    // "ÿþ" in 1252 is FF FE, which would read back as UTF-16.
    const std::string looksLikeBom = "\xC3\xBF\xC3\xBE";
    EXPECT_EQ(EncodeFileText(looksLikeBom, cp), "\xEF\xBB\xBF" + looksLikeBom);
    for (const std::string& text :
         {Cafe, Cafe + Privet, Grin, std::string("\xC3\x83\xC2\xA9"), looksLikeBom, std::string("x")})
        EXPECT_EQ(DecodeFileText(EncodeFileText(text, cp), cp), text);
}
