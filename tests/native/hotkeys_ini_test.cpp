// The ini image behind hotkeys.ini: number parsing, the reading rules and the
// writing rules.
#include "core/IniImage.h"

#include <gtest/gtest.h>

namespace corvinade {
namespace {

using namespace std::string_literals;

TEST(HotkeysIniNumbers, DecimalAndHexadecimalValues) {
    const struct {
        std::string text;
        std::int32_t expected;
    } cases[] = {
        {"0", 0},
        {"83", 83},
        {"007", 7},
        {"+7", 7},
        {"-5", -5},
        {"-0", 0},
        {"0x53", 83},
        {"0X53", 83},
        {"0x1", 1},
        {"$53", 83},
        {"$ff", 255},
        {"$7FFFFFFF", 2147483647},
        {"$FFFFFFFF", -1}, // 32 bits, two's complement
        {"$80000000", -2147483647 - 1},
        {"$00000000010", 16}, // leading zeros do not count against the width
        {"0xffffffff", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        // invalid: the default (-99) comes back
        {"", -99},
        {"true", -99},
        {"0x", -99},
        {"0X", -99},
        {"$", -99},
        {"+", -99},
        {"-", -99},
        {"12a", -99},
        {"1e3", -99},
        {"1.0", -99},
        {" 5", -99},
        {"5 ", -99},
        {"--5", -99},
        {"+-5", -99},
        {"-$10", -99},
        {"-0x10", -99},
        {"0xG1", -99},
        {"$1G", -99},
        {"x53", -99},
        {"2147483648", -99},
        {"-2147483649", -99},
        {"99999999999999999999999999", -99},
        {"$100000000", -99},
        {"$FFFFFFFFFFFFFFFFFFFFFFFF", -99},
        {"0x100000000", -99},
        {"5\0"s, -99},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseIniInteger(c.text, -99), c.expected) << '"' << c.text << '"';
}

TEST(HotkeysIniTrim, RemovesBlanksAndControlBytesButNotHighBytes) {
    EXPECT_EQ(TrimBlanks(" \t\x01\0a b\r\x1f "s), "a b");
    EXPECT_EQ(TrimBlanks("\xA0x\xFF"), "\xA0x\xFF"); // bytes above 127 are text
    EXPECT_EQ(TrimBlanks("\x7f"), "\x7f");
    EXPECT_EQ(TrimBlanks(" \0 "s), "");
    EXPECT_EQ(TrimBlanks(""), "");
}

TEST(HotkeysIniRead, LineEndsCrLfAndCrLf) {
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        std::string text = "[s]"s + eol + "a=1" + eol + "b=2" + eol + "[t]" + eol + "c=3";
        IniImage ini = IniImage::Parse(text);
        SCOPED_TRACE(testing::PrintToString(std::string(eol)));
        ASSERT_EQ(ini.Sections().size(), 2u);
        EXPECT_EQ(ini.ReadString("s", "a", "-"), "1");
        EXPECT_EQ(ini.ReadString("s", "b", "-"), "2");
        EXPECT_EQ(ini.ReadString("t", "c", "-"), "3");
        EXPECT_EQ(ini.Sections()[0].Entries.size(), 2u); // no stray empty-line entries
    }
    IniImage mixed = IniImage::Parse("[s]\ra=1\nb=2\r\nc=3\n\rd=4");
    EXPECT_EQ(mixed.ReadString("s", "a", ""), "1");
    EXPECT_EQ(mixed.ReadString("s", "b", ""), "2");
    EXPECT_EQ(mixed.ReadString("s", "c", ""), "3");
    EXPECT_EQ(mixed.ReadString("s", "d", ""), "4");
}

TEST(HotkeysIniRead, CommentsBlankLinesAndLinesBeforeTheFirstSection) {
    IniImage ini = IniImage::Parse("a=before\n; comment\n\n  \t\n[s]\n;a=commented\n  ;b=indented comment\n"
                                   "a=inside\n");
    ASSERT_EQ(ini.Sections().size(), 1u);
    EXPECT_EQ(ini.ReadString("s", "a", ""), "inside");
    EXPECT_FALSE(ini.Read("s", "b"));
    EXPECT_FALSE(ini.Read("s", ";b"));
    EXPECT_EQ(ini.Sections()[0].Entries.size(), 1u);
}

TEST(HotkeysIniRead, SectionNames) {
    IniImage ini = IniImage::Parse("  [  Key 7 ]  \nx=1\n[]\ny=2\n[a]b\nz=3\n[\n[[n]]\nw=4\n");
    ASSERT_EQ(ini.Sections().size(), 3u);
    EXPECT_EQ(ini.Sections()[0].Name, "Key 7");
    EXPECT_EQ(ini.Sections()[1].Name, "");
    EXPECT_EQ(ini.Sections()[2].Name, "[n]");
    EXPECT_EQ(ini.ReadString("key 7", "x", ""), "1");
    EXPECT_EQ(ini.ReadString("KEY 7", "X", ""), "1");
    EXPECT_EQ(ini.ReadString("", "y", ""), "2");
    // "[a]b" and "[" are no section lines: they belong to the empty-named section.
    EXPECT_EQ(ini.ReadString("", "z", ""), "3");
    EXPECT_EQ(ini.ReadString("[n]", "w", ""), "4");
}

TEST(HotkeysIniRead, EntriesSplitAtTheFirstEqualsSignAndAreTrimmed) {
    IniImage ini = IniImage::Parse("[s]\n  Params \t=  notepad.exe  \x01\nurl=a=b==c\nempty=\n =noname\n"
                                   "high=\xA0\xFFx\xFF\nnul=a\0b\n"s);
    EXPECT_EQ(ini.ReadString("s", "params", ""), "notepad.exe");
    EXPECT_EQ(ini.ReadString("s", "url", ""), "a=b==c");
    EXPECT_EQ(ini.Read("s", "empty"), std::optional<std::string>(""));
    EXPECT_EQ(ini.ReadString("s", "", "-"), "noname");
    EXPECT_EQ(ini.ReadString("s", "high", ""), "\xA0\xFFx\xFF");
    EXPECT_EQ(ini.ReadString("s", "nul", ""), "a\0b"s);
}

TEST(HotkeysIniRead, FirstOccurrenceWinsAndANameWithoutValueReadsAsMissing) {
    IniImage ini = IniImage::Parse("[s]\nKey=1\nkey=2\nflag\nflag=1\nother=x\n");
    EXPECT_EQ(ini.ReadString("s", "KEY", ""), "1");
    EXPECT_EQ(ini.ReadInteger("s", "key", -1), 1);
    // "flag" came first without "=": it is the entry, and it has no value.
    EXPECT_FALSE(ini.Read("s", "flag"));
    EXPECT_EQ(ini.ReadInteger("s", "flag", 42), 42);
    EXPECT_EQ(ini.ReadString("s", "flag", "dflt"), "dflt");
    EXPECT_FALSE(ini.Read("s", "missing"));
    EXPECT_FALSE(ini.Read("nosection", "key"));
}

TEST(HotkeysIniRead, DuplicateSectionsAreKeptButReadFromTheFirst) {
    IniImage ini = IniImage::Parse("[k]\nfunc=close\n[x]\n[K]\nfunc=maximize\nonlysecond=1\n");
    ASSERT_EQ(ini.Sections().size(), 3u);
    EXPECT_EQ(ini.Sections()[2].Name, "K");
    EXPECT_EQ(ini.ReadString("K", "func", ""), "close");
    EXPECT_FALSE(ini.Read("k", "onlysecond"));
}

TEST(HotkeysIniRead, MalformedIntegersGiveTheDefault) {
    IniImage ini = IniImage::Parse("[s]\nactive=true\nkey=0x53\nshift=$A\nbad=1 2\n");
    EXPECT_EQ(ini.ReadInteger("s", "active", 0), 0);
    EXPECT_EQ(ini.ReadInteger("s", "key", 0), 83);
    EXPECT_EQ(ini.ReadInteger("s", "shift", 0), 10);
    EXPECT_EQ(ini.ReadInteger("s", "bad", 7), 7);
}

TEST(HotkeysIniWrite, SectionsThenEntriesThenAnEmptyLineWithCrLf) {
    IniImage ini;
    ini.WriteString("key0", "active", "1");
    ini.WriteInteger("key0", "key", -83);
    ini.WriteString("key1", "func", "close");
    ini.WriteString("KEY0", "Active", "0"); // replaces, keeping the entry's place and name
    ini.WriteString("key0", "params", "");
    EXPECT_EQ(ini.ToText(), "[key0]\r\nactive=0\r\nkey=-83\r\nparams=\r\n\r\n[key1]\r\nfunc=close\r\n\r\n");
    EXPECT_EQ(IniImage().ToText(), "");
}

TEST(HotkeysIniWrite, EraseRemovesEverySectionOfThatName) {
    IniImage ini = IniImage::Parse("[a]\nx=1\n[b]\ny=2\n[A]\nz=3\n");
    ini.EraseSection("a");
    ASSERT_EQ(ini.Sections().size(), 1u);
    EXPECT_EQ(ini.ReadString("b", "y", ""), "2");
    EXPECT_FALSE(ini.Read("a", "x"));
    ini.WriteString("a", "w", "4"); // lookups still find the right section afterwards
    EXPECT_EQ(ini.ToText(), "[b]\r\ny=2\r\n\r\n[a]\r\nw=4\r\n\r\n");
}

TEST(HotkeysIniWrite, WrittenTextReadsBackTheSame) {
    IniImage ini = IniImage::Parse("junk\n[one]\n a = 1 \nnovalue\n;c\n[two]\nb=x=y\n[one]\nc=3\n");
    std::string text = ini.ToText();
    EXPECT_EQ(text, "[one]\r\na=1\r\nnovalue\r\n\r\n[two]\r\nb=x=y\r\n\r\n[one]\r\nc=3\r\n\r\n");
    EXPECT_EQ(IniImage::Parse(text).ToText(), text);
}

} // namespace
} // namespace corvinade
