// The key sender against a recording keyboard: the exact events a key string
// produces, the messages it shows, the errors it throws, and that no call
// leaves a modifier down however it ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/KeySender.h"
#include "core/Errors.h"

using namespace corvinade;

namespace {

// Names the recorded events use; letters and digits stand for themselves.
std::string KeyLabel(std::uint8_t vk) {
    static const std::map<std::uint8_t, std::string> names{
        {0x03, "Break"}, {0x08, "Back"}, {0x09, "Tab"},   {0x0C, "Clear"},   {0x0D, "Enter"},
        {0x10, "Shift"}, {0x11, "Ctrl"}, {0x12, "Alt"},   {0x14, "Caps"},    {0x1B, "Esc"},
        {0x20, "Space"}, {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},     {0x24, "Home"},
        {0x25, "Left"},  {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},    {0x2A, "Print"},
        {0x2D, "Ins"},   {0x2E, "Del"},  {0x2F, "Help"},  {0x90, "NumLock"}, {0x91, "Scroll"},
    };
    if (auto it = names.find(vk); it != names.end())
        return it->second;
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= 0x70 && vk <= 0x7F)
        return "F" + std::to_string(vk - 0x6F);
    char hex[8];
    std::snprintf(hex, sizeof hex, "vk%02X", vk);
    return hex;
}

// A scan code the fake layout gives each key, in the low byte only.
std::uint8_t FakeScan(std::uint32_t vk) {
    return static_cast<std::uint8_t>(vk * 3 + 1);
}

struct KeyEvent {
    std::uint8_t vk;
    std::uint32_t flags;
};

// Records every call as a token: "+A" press, "-A" release, "*" for the
// extended flag, "box:TEXT" for a message, "pump", "NumLock=0/1" for a write
// of the key-state array. A wrong scan code or stray flag marks the token.
class RecordingKeyboard : public KeyboardPort {
public:
    std::vector<std::string> log;
    std::vector<KeyEvent> events;
    KeyState state{};
    bool failOnMessage = false;

    void SendKeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) override {
        std::string token = (flags & KeyEventKeyUp ? "-" : "+") + KeyLabel(vk);
        if (flags & KeyEventExtendedKey)
            token += "*";
        if (scan != FakeScan(vk))
            token += "?scan";
        if (flags & ~(KeyEventKeyUp | KeyEventExtendedKey))
            token += "?flags";
        if (flags & KeyEventKeyUp)
            held_.erase(vk);
        else
            held_.insert(vk);
        log.push_back(token);
        events.push_back({vk, flags});
    }

    void SendUnicodeEvent(char16_t unit, bool keyUp) override {
        char token[16];
        std::snprintf(token, sizeof token, "%cu%04X", keyUp ? '-' : '+', static_cast<unsigned>(unit));
        log.push_back(token);
    }

    KeyCode KeyForCharacter(char16_t c) override {
        static const std::map<char16_t, KeyCode> symbols{
            {' ', 0x020},       {'\r', 0x00D}, {'\n', 0x20D}, {'+', 0x1BB}, {'^', 0x136},
            {'%', 0x135},       {'~', 0x1C0},  {'(', 0x139},  {')', 0x130}, {'}', 0x1DD},
            {'!', 0x131},       {'{', 0x0DB}, // not shifted here, unlike the fixed code that '{{}' sends
            {'@', 0x651},                     // Ctrl + Alt + Q
            {'|', 0x7DC},                     // Shift + Ctrl + Alt
            {'#', 0x833},                     // a shift-state bit the sender ignores
            {u'\u00E4', 0x0DE},               // "ä", as a German layout has it
        };
        if (c >= 'a' && c <= 'z')
            return static_cast<KeyCode>(c - 'a' + 'A');
        if (c >= 'A' && c <= 'Z')
            return static_cast<KeyCode>(0x100 | c);
        if (c >= '0' && c <= '9')
            return static_cast<KeyCode>(c);
        auto it = symbols.find(c);
        return it == symbols.end() ? NoKey : it->second;
    }

    std::uint32_t ScanCodeOf(std::uint8_t code) override {
        return 0xE100u | FakeScan(code); // only the low byte is a scan code
    }

    std::int16_t KeyStateOf(int vk) override {
        const std::uint8_t s = state.at(static_cast<std::size_t>(vk));
        return static_cast<std::int16_t>((s & 0x80 ? 0xFF80 : 0) | (s & 1));
    }
    void ReadKeyboardState(KeyState& out) override { out = state; }
    void WriteKeyboardState(const KeyState& in) override {
        state = in;
        log.push_back("NumLock=" + std::to_string(in[VkNumLock] & 1));
    }
    void PumpKeyboardMessages() override { log.push_back("pump"); }
    void ShowMessage(const std::string& text) override {
        log.push_back("box:" + text);
        if (failOnMessage)
            throw std::runtime_error("message box failed");
    }

    const std::set<std::uint8_t>& Held() const { return held_; }
    std::string Sequence() const {
        std::string joined;
        for (const auto& token : log)
            joined += (joined.empty() ? "" : " ") + token;
        return joined;
    }

private:
    std::set<std::uint8_t> held_;
};

struct SendCase {
    std::string keys;
    std::string sequence;
    bool result;
};

void ExpectSends(const std::vector<SendCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE("keys '" + c.keys + "'");
        RecordingKeyboard keyboard;
        EXPECT_EQ(SendKeys(c.keys, false, keyboard), c.result);
        EXPECT_EQ(keyboard.Sequence(), c.sequence);
        EXPECT_TRUE(keyboard.Held().empty()) << "a key is left down";
    }
}

TEST(KeySenderParser, PlainCharactersAndPrefixes) {
    ExpectSends({
        {"", "", false},
        {"abc", "+A -A +B -B +C -C", true},
        {"aB1", "+A -A +Shift +B -B -Shift +1 -1", true},
        {"+abc", "+Shift +A -A -Shift +B -B +C -C", true},
        {"+(abc)", "+Shift +A -A +B -B +C -C -Shift", true},
        {"+(ab)C", "+Shift +A -A +B -B -Shift +Shift +C -C -Shift", true},
        // A shifted character inside a group lifts Shift after itself.
        {"+(Ab)", "+Shift +Shift +A -A -Shift +B -B -Shift", true},
        {"^c", "+Ctrl +C -C -Ctrl", true},
        {"%{F4}", "+Alt +F4 -F4 -Alt", true},
        // Prefix modifiers are lifted Shift, Ctrl, Alt, whatever order pressed them.
        {"%^+a", "+Alt +Ctrl +Shift +A -A -Shift -Ctrl -Alt", true},
        {"^%(ab)c", "+Ctrl +Alt +A -A +B -B -Ctrl -Alt +C -C", true},
        // Groups do not nest: the first ')' ends the group.
        {"+((a)b)", "+Shift +A -A -Shift +B -B", true},
        {"(a", "+A -A", true},
        {")a", "+A -A", true},
        {"~", "+Enter -Enter", true},
        {"+~a", "+Shift +Enter -Enter -Shift +A -A", true},
        {"+(~a)", "+Shift +Enter -Enter +A -A -Shift", true},
        {"}", "+Shift +vkDD -vkDD -Shift", true},
        {"a b", "+A -A +Space -Space +B -B", true},
        {"a\r\nb", "+A -A +Enter -Enter +Ctrl +Enter -Enter -Ctrl +B -B", true},
        // A key's own shift state: pressed Shift, Ctrl, Alt and lifted in the same order.
        {"@", "+Ctrl +Alt +Q -Q -Ctrl -Alt", true},
        {"|", "+Shift +Ctrl +Alt +vkDC -vkDC -Shift -Ctrl -Alt", true},
        {"#", "+3 -3", true},
        // The string ends at its first zero byte.
        {std::string("ab\0c", 4), "+A -A +B -B", true},
    });
}

TEST(KeySenderParser, BraceGroups) {
    ExpectSends({
        {"{ENTER}", "+Enter -Enter", true},
        {"{enter}", "+Enter -Enter", true},
        {"{F5 3}", "+F5 -F5 +F5 -F5 +F5 -F5", true},
        {"{f5 3}", "+F5 -F5 +F5 -F5 +F5 -F5", true},
        {"{ENTER 2}a", "+Enter -Enter +Enter -Enter +A -A", true},
        {"{TAB +2}", "+Tab -Tab +Tab -Tab", true},
        {"{TAB 0}", "", true},
        {"+{TAB 0}a", "+Shift -Shift +A -A", true},
        {"{LEFT}{DEL}", "+Left* -Left* +Del* -Del*", true},
        {"+{LEFT 2}", "+Shift +Left* -Left* +Left* -Left* -Shift", true},
        {"{BS}{BKSP}{BACKSPACE}", "+Back -Back +Back -Back +Back -Back", true},
        // One character: the key for its upper case, with that key's shift state.
        {"{a}", "+Shift +A -A -Shift", true},
        {"{z 2}", "+Shift +Z -Z +Z -Z -Shift", true},
        {"{1}", "+1 -1", true},
        {"{a 0}", "+Shift -Shift", true},
        {"{+}{^}{%}", "+Shift +vkBB -vkBB -Shift +Shift +6 -6 -Shift +Shift +5 -5 -Shift", true},
        {"{~}{(}{)}", "+Shift +vkC0 -vkC0 -Shift +Shift +9 -9 -Shift +Shift +0 -0 -Shift", true},
        {"{\xA7}a", "+uFFFD -uFFFD +A -A", true}, // no UTF-8: typed as U+FFFD
        // Literal braces through their fixed codes.
        {"{{}", "+Shift +vkDB -vkDB -Shift", true},
        {"{{xb", "+Shift +vkDB -vkDB -Shift +B -B", true},
        {"{{", "+Shift +vkDB -vkDB -Shift", true},
        {"+{{}a", "+Shift +Shift +vkDB -vkDB -Shift -Shift +A -A", true},
        {"{}}", "+Shift +vkDD -vkDD -Shift", true},
        {"{ENTER}}a", "+Shift +vkDD -vkDD -Shift +A -A", true},
        // The name is cut to 20 characters before the count is looked for.
        {"{TAB 00000000000000029}", "+Tab -Tab +Tab -Tab", true},
        {"{ABCDEFGHIJKLMNOPQRST 2}a", "box:The {ABCDEFGHIJKLMNOPQRST 2} at position 1 names no key. +A -A",
         true},
    });
}

// A character the layout has goes by its key; any other as itself, a
// surrogate pair as two units, a repeat count for the whole character.
TEST(KeySenderParser, CharactersWithoutAKeyAreTypedAsThemselves) {
    ExpectSends({
        {"a\xC3\xA4\xC3\xA9", "+A -A +vkDE -vkDE +u00E9 -u00E9", true},
        {"\xE2\x9C\x93 \xF0\x9F\x98\x80", "+u2713 -u2713 +Space -Space +uD83D -uD83D +uDE00 -uDE00", true},
        {"{\xF0\x9F\x98\x80 2}{\xC3\xA4 2}",
         "+uD83D -uD83D +uDE00 -uDE00 +uD83D -uD83D +uDE00 -uDE00 +vkDE -vkDE +vkDE -vkDE", true},
        {"+(\xD0\x9F\xD1\x80)x", "+Shift +u041F -u041F +u0440 -u0440 -Shift +X -X", true},
        {"\xE2\x9C", "+uFFFD -uFFFD", true}, // cut off: one replacement, not two
        {"{\xC3\xA9\xC3\xA9}", "box:The {\xC3\xA9\xC3\xA9} at position 1 names no key.", true},
    });
}

TEST(KeySenderParser, MessagesAndWhereParsingGoesOn) {
    ExpectSends({
        // A byte that is no UTF-8 is typed as U+FFFD; the parse goes on after it.
        {"a\xA7"
         "b",
         "+A -A +uFFFD -uFFFD +B -B", true},
        {"+\xA7"
         "a",
         "+Shift +uFFFD -uFFFD -Shift +A -A", true},
        // The message says what is wrong and where: the character's place from
        // 1, on its line when the text has several.
        {"{FOO}a", "box:The {FOO} at position 1 names no key. +A -A", true},
        {"+{foo}a", "+Shift box:The {foo} at position 2 names no key. +A -A -Shift", true},
        {"{}a", "box:The {} at position 1 names no key. +A -A", true},
        {"{ 3}a", "box:The { 3} at position 1 names no key. +A -A", true},
        {"{ENTER", "box:The { at position 1 has no closing }.", false},
        {"a{ENTER}b{TAB", "+A -A +Enter -Enter +B -B box:The { at position 10 has no closing }.", false},
        {"+{ENTER", "+Shift box:The { at position 2 has no closing }. -Shift", false},
        {"\xC3\xA9{X", "+u00E9 -u00E9 box:The { at position 2 has no closing }.", false},
        {"ab\r\ncd\n{X",
         "+A -A +B -B +Enter -Enter +Ctrl +Enter -Enter -Ctrl +C -C +D -D +Ctrl +Enter -Enter -Ctrl "
         "box:The { at line 3, position 1 has no closing }.",
         false},
    });
}

TEST(KeySenderParser, EveryKeyNameWithItsCodeAndExtendedFlag) {
    struct Row {
        const char* name;
        std::uint8_t vk;
        bool extended;
    };
    const Row rows[] = {
        {"BKSP", 8, false},      {"BS", 8, false},           {"BACKSPACE", 8, false}, {"BREAK", 3, false},
        {"CAPSLOCK", 20, false}, {"CLEAR", 12, false},       {"DEL", 46, true},       {"DELETE", 46, true},
        {"DOWN", 40, true},      {"END", 35, true},          {"ENTER", 13, false},    {"ESC", 27, false},
        {"ESCAPE", 27, false},   {"F1", 112, false},         {"F2", 113, false},      {"F3", 114, false},
        {"F4", 115, false},      {"F5", 116, false},         {"F6", 117, false},      {"F7", 118, false},
        {"F8", 119, false},      {"F9", 120, false},         {"F10", 121, false},     {"F11", 122, false},
        {"F12", 123, false},     {"F13", 124, false},        {"F14", 125, false},     {"F15", 126, false},
        {"F16", 127, false},     {"HELP", 47, false},        {"HOME", 36, true},      {"INS", 45, true},
        {"LEFT", 37, true},      {"PGDN", 34, true},         {"PGUP", 33, true},      {"PRTSC", 42, false},
        {"RIGHT", 39, true},     {"SCROLLLOCK", 145, false}, {"TAB", 9, false},       {"UP", 38, true},
    };
    static_assert(std::size(rows) == 40, "every row but NUMLOCK, which sends no event");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingKeyboard keyboard;
        EXPECT_TRUE(SendKeys(std::string("{") + row.name + "}", false, keyboard));
        const std::uint32_t ext = row.extended ? KeyEventExtendedKey : 0;
        ASSERT_EQ(keyboard.events.size(), 2u) << keyboard.Sequence();
        EXPECT_EQ(keyboard.events[0].vk, row.vk);
        EXPECT_EQ(keyboard.events[0].flags, ext);
        EXPECT_EQ(keyboard.events[1].vk, row.vk);
        EXPECT_EQ(keyboard.events[1].flags, ext | KeyEventKeyUp);
        EXPECT_EQ(LookupKeyName(row.name), row.vk);
    }
    EXPECT_EQ(LookupKeyName("NUMLOCK"), 144);
    for (const char* missing : {"INSERT", "SPACE", "PRINTSCREEN", "F17", "F0", "enter", "", "ENTER "}) {
        SCOPED_TRACE(missing);
        EXPECT_EQ(LookupKeyName(missing), NoKey);
    }
}

TEST(KeySenderParser, ExtendedKeySetIsPagingArrowsInsertAndDelete) {
    for (int vk = 0; vk < 256; ++vk) {
        const bool expected = (vk >= 0x21 && vk <= 0x28) || vk == 0x2D || vk == 0x2E;
        EXPECT_EQ(IsExtendedKey(static_cast<std::uint8_t>(vk)), expected) << "vk " << vk;
    }
}

TEST(KeySenderParser, RepeatCountKeepsItsLow16Bits) {
    const struct {
        const char* keys;
        std::size_t taps;
    } cases[] = {
        {"{TAB -1}", 65535},         {"{TAB 70000}", 4464},    {"{TAB 65536}", 0},
        {"{TAB 2147483647}", 65535}, {"{TAB -2147483648}", 0}, {"{TAB 65537}", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        RecordingKeyboard keyboard;
        EXPECT_TRUE(SendKeys(c.keys, false, keyboard));
        ASSERT_EQ(keyboard.events.size(), 2 * c.taps);
        for (std::size_t i = 0; i < keyboard.events.size(); ++i) {
            EXPECT_EQ(keyboard.events[i].vk, 0x09);
            ASSERT_EQ(keyboard.events[i].flags, i % 2 ? KeyEventKeyUp : 0u) << "event " << i;
        }
    }
}

TEST(KeySenderParser, CountThatIsNoIntegerEndsTheCallWithTheConversionError) {
    const struct {
        std::string keys;
        std::string message;
        std::string sequence;
    } cases[] = {
        {"a{TAB x}b", "The count in {TAB x} at position 2 is not a whole number", "+A -A"},
        {"{ }", "The count in { } at position 1 is not a whole number", ""},
        {"{TAB 2x}", "The count in {TAB 2x} at position 1 is not a whole number", ""},
        {"{TAB  2}", "The count in {TAB  2} at position 1 is not a whole number", ""},
        {"{TAB -}", "The count in {TAB -} at position 1 is not a whole number", ""},
        {"{TAB 1 2}", "The count in {TAB 1 2} at position 1 is not a whole number", ""},
        {"{TAB 2147483648}", "The count in {TAB 2147483648} at position 1 is not a whole number", ""},
        {"{ 9999999999999999999}", "The count in { 9999999999999999999} at position 1 is not a whole number",
         ""},
        {"+{TAB x}", "The count in {TAB x} at position 2 is not a whole number", "+Shift -Shift"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        RecordingKeyboard keyboard;
        try {
            SendKeys(c.keys, false, keyboard);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_EQ(keyboard.Sequence(), c.sequence);
        EXPECT_TRUE(keyboard.Held().empty());
    }
}

TEST(KeySenderParser, NumLockFlipsTheThreadStateOnceAndSendsNoEvent) {
    for (const char* keys : {"{NUMLOCK}", "{NUMLOCK 5}", "{numlock 0}"}) {
        for (std::uint8_t before : {0x00, 0x01, 0x81}) {
            SCOPED_TRACE(std::string(keys) + " from state " + std::to_string(before));
            RecordingKeyboard keyboard;
            keyboard.state[VkNumLock] = before;
            keyboard.state['A'] = 0x80; // the rest of the array is written back unchanged
            keyboard.state[0x14] = 0x01;
            EXPECT_TRUE(SendKeys(keys, true, keyboard));
            EXPECT_EQ(keyboard.state[VkNumLock], before ^ 1);
            EXPECT_EQ(keyboard.state['A'], 0x80);
            EXPECT_EQ(keyboard.state[0x14], 0x01);
            EXPECT_EQ(keyboard.Sequence(), "NumLock=" + std::to_string((before ^ 1) & 1));
        }
    }
    RecordingKeyboard keyboard;
    EXPECT_TRUE(SendKeys("+{NUMLOCK}{NUMLOCK}", false, keyboard));
    EXPECT_EQ(keyboard.Sequence(), "+Shift NumLock=1 -Shift NumLock=0");
}

TEST(KeySenderParser, WaitPumpsAfterEveryKeyEvent) {
    RecordingKeyboard keyboard;
    EXPECT_TRUE(SendKeys("+a{LEFT}", true, keyboard));
    EXPECT_EQ(keyboard.Sequence(), "+Shift pump +A pump -A pump -Shift pump +Left* pump -Left* pump");

    RecordingKeyboard quiet;
    EXPECT_TRUE(SendKeys("+a{LEFT}", false, quiet));
    EXPECT_EQ(quiet.Sequence(), "+Shift +A -A -Shift +Left* -Left*");
}

// The call never leaves a prefix's modifier down: not at the end of an open
// group, not after a message, not when an error leaves it.
TEST(KeySenderModifiers, EveryExitLiftsWhatAPrefixPressed) {
    ExpectSends({
        {"+(ab", "+Shift +A -A +B -B -Shift", true},
        {"^%(a", "+Ctrl +Alt +A -A -Ctrl -Alt", true},
        {"+^%(", "+Shift +Ctrl +Alt -Shift -Ctrl -Alt", true},
        {"+(Ab", "+Shift +Shift +A -A -Shift +B -B -Shift", true},
        {"+(a{FOO}", "+Shift +A -A box:The {FOO} at position 4 names no key. -Shift", true},
        {"+(a\xA7", "+Shift +A -A +uFFFD -uFFFD -Shift", true},
        {"+({\xA7}", "+Shift +uFFFD -uFFFD -Shift", true},
        {"+({ENTER", "+Shift box:The { at position 3 has no closing }. -Shift", false},
        {"^(a{TAB", "+Ctrl +A -A box:The { at position 4 has no closing }. -Ctrl", false},
        {"+", "+Shift -Shift", true},
        {"+{FOO}", "+Shift box:The {FOO} at position 2 names no key. -Shift", true},
    });
}

TEST(KeySenderModifiers, ConversionErrorInsideAGroupLiftsThemBeforeItLeaves) {
    RecordingKeyboard keyboard;
    EXPECT_THROW(SendKeys("+^(a{TAB x}b)", false, keyboard), Error);
    EXPECT_EQ(keyboard.Sequence(), "+Shift +Ctrl +A -A -Shift -Ctrl");
    EXPECT_TRUE(keyboard.Held().empty());
}

TEST(KeySenderModifiers, AnyFailureOfTheWindowSystemLiftsThemToo) {
    RecordingKeyboard keyboard;
    keyboard.failOnMessage = true;
    EXPECT_THROW(SendKeys("%(a{FOO}b", false, keyboard), std::runtime_error);
    EXPECT_EQ(keyboard.Sequence(), "+Alt +A -A box:The {FOO} at position 4 names no key. -Alt");
    EXPECT_TRUE(keyboard.Held().empty());
}

} // namespace
