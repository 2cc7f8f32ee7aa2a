// The settings window's filter: what a filter text finds in a hotkey's
// shown texts, letters compared without case in every script that has case.
#include "core/HotkeyFilter.h"

#include <gtest/gtest.h>

namespace corvinade {
namespace {

using A = THotkeyAction;

TEST(HotkeyFilter, LettersMatchWithoutCaseInEveryAlphabet) {
    struct Case {
        const char* text;
        const char* part;
        bool found;
    };
    const Case cases[] = {
        {"WIN + N", "win + n", true},
        {"notepad.exe", "PAD.E", true},
        {"C:\\Caf\xC3\xA9\\", "CAF\xC3\x89", true},                             // café, CAFÉ
        {"\xC5\x81\xC3\xB3\x64\xC5\xBA", "\xC5\x82\xC3\x93\x44\xC5\xB9", true}, // Łódź, łÓDŹ
        {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xD0\xA0\xD0\x98\xD0\x92", true}, // Привет, РИВ
        {"\xD1\x91\xD0\xBB\xD0\xBA\xD0\xB0", "\xD0\x81", true}, // ёлка, Ё
        {"\xCE\xBA\xCE\xB5\xCE\xAF\xCE\xBC\xCE\xB5\xCE\xBD\xCE\xBF", "\xCE\x9A\xCE\x95\xCE\x8A",
         true},                                                                 // κείμενο, ΚΕΊ
        {"\xCF\x84\xCE\xAD\xCE\xBB\xCE\xBF\xCF\x82", "\xCE\x9F\xCE\xA3", true}, // τέλος, ΟΣ (final sigma)
        {"\xE4\xB8\xAD\xE6\x96\x87 text", "\xE6\x96\x87 T", true},              // 中文 text, 文 T
        {"\xEF\xBC\xA1\xEF\xBC\xA2", "\xEF\xBD\x81\xEF\xBD\x82", true},         // ＡＢ, ａｂ
        {"notepad.exe", "notepad.exe ", false},
        {"WIN + N", "WIN + M", false},
        {"caf\xC3\xA9", "cafe", false}, // a mark is no case
        {"", "a", false},
        {"anything", "", true},
        {"bad \xFF\xFE text", "TEXT", true},
        {"text", "\xFF", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.part);
        EXPECT_EQ(ContainsIgnoringCase(c.text, c.part), c.found);
    }
}

// The texts the row shows: the combination, the action's name, only the
// parameters its action has (a stored parameter it hides is not found), and
// the programs of its rule.
TEST(HotkeyFilter, FindsWhatTheRowShows) {
    const THotKeyData open = {true, 'N', ModifierWin, A::OpenFile, "notepad.exe", "C:\\Notes"};
    const THotKeyData maximize = {true, 'M', ModifierWin, A::Maximize, "stored.exe", "stored folder"};
    EXPECT_TRUE(HotkeyMatchesFilter(open, "WIN + N", ""));
    EXPECT_TRUE(HotkeyMatchesFilter(open, "WIN + N", "win +"));
    EXPECT_TRUE(HotkeyMatchesFilter(open, "WIN + N", "OPEN F"));
    EXPECT_TRUE(HotkeyMatchesFilter(open, "WIN + N", "Notepad"));
    EXPECT_TRUE(HotkeyMatchesFilter(open, "WIN + N", "notes"));
    EXPECT_FALSE(HotkeyMatchesFilter(open, "WIN + N", "maximize"));
    EXPECT_TRUE(HotkeyMatchesFilter(maximize, "WIN + M", "maximize active"));
    EXPECT_FALSE(HotkeyMatchesFilter(maximize, "WIN + M", "stored"));
    THotKeyData later = {true, 'L', ModifierWin, A::None, "", ""};
    later.UnknownAction = "x-later-action";
    EXPECT_TRUE(HotkeyMatchesFilter(later, "WIN + L", "LATER-ACTION"));
    THotKeyData ruled = maximize;
    ruled.OnlyIn = "winword.exe";
    ruled.NotIn = "mstsc.exe";
    EXPECT_TRUE(HotkeyMatchesFilter(ruled, "WIN + M", "WinWord"));
    EXPECT_TRUE(HotkeyMatchesFilter(ruled, "WIN + M", "mstsc"));
}

} // namespace
} // namespace corvinade
