// End-to-end tests of the send-keystrokes action: a hotkey types its text into
// Wine's Notepad, and the test reads Notepad's text back from its edit control.
#include "ActionTest.h"

namespace corvinade::test {
namespace {

class ActionsKeystrokesTest : public ActionTest {
protected:
    // Notepad's edit control once Notepad is in the foreground.
    HWND StartNotepadEdit() {
        const HWND window = StartNotepad();
        if (window == nullptr)
            return nullptr;
        return FindChildWindow(window, "Edit");
    }

    // Presses the hotkey and waits until the edit shows the expected text;
    // fails with what it shows instead.
    static void TypeAndExpect(HWND edit, UINT key, UINT shift, const std::string& expected) {
        PressHotkey(key, shift);
        std::string shown;
        const bool arrived = WaitFor([&] {
            shown = WindowText(edit);
            return shown == expected;
        });
        EXPECT_TRUE(arrived) << "Notepad shows " << ::testing::PrintToString(shown);
    }
};

// Markers become line ends, prefixes hold Shift for one key or a group, braces
// name keys with counts and give literal braces, and the lower-case marker is
// typed as it stands. The carriage return is Enter; the line feed is the key
// the layout gives it (Ctrl+Enter on Windows, a key of its own, 0xE4, under
// Wine): a multi-line edit starts a new line for both. Extended keys (Left,
// End) with a count move the caret before the last keys edit the text, so a
// lost flag or count shows in the result.
TEST_F(ActionsKeystrokesTest, TypesMarkersPrefixesAndBraceKeysIntoNotepad) {
    struct Case {
        UINT key;
        std::string params;
        std::string expected;
    };
    const Case cases[] = {
        {'K', "ab<?CR?>cd<?LF?>+ef{{}x{}}{TAB}+(gh)i{z 3}~<?cr?>{LEFT 2}_{END}{BS}.<?CR?><?LF?>z",
         "ab\r\ncd\r\nEf{x}\tGHiZZZ\r\n<?cr_?.\r\n\r\nz"},
        // A second hotkey types on where the first stopped: Ctrl+Home goes to
        // the text's start, and Delete (extended) removes the key after the caret.
        {'J', "^{HOME}{END}{ENTER}en{LEFT}{DEL}d", "ab\r\ned\r\ncd\r\nEf{x}\tGHiZZZ\r\n<?cr_?.\r\n\r\nz"},
    };
    std::vector<HotkeyEntry> entries;
    for (const Case& c : cases)
        entries.push_back(Hotkey(c.key, ModWin, "sendkeystrokes", c.params));
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(entries));
    const HWND edit = StartNotepadEdit();
    ASSERT_NE(edit, nullptr) << "no Notepad edit control";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.params);
        ASSERT_NO_FATAL_FAILURE(TypeAndExpect(edit, c.key, ModWin, c.expected));
    }
}

// Characters without a key on the layout (Wine's US one) are typed as
// themselves, an emoji as its surrogate pair; the hotkeys.ini is UTF-8.
TEST_F(ActionsKeystrokesTest, TypesAnyCharacterIntoNotepad) {
    const std::string text =
        "caf\xC3\xA9 \xE2\x9C\x93 \xF0\x9F\x98\x80 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
    ASSERT_NO_FATAL_FAILURE(StartCorvinade({Hotkey('K', ModWin, "sendkeystrokes", text)}));
    const HWND edit = StartNotepadEdit();
    ASSERT_NE(edit, nullptr) << "no Notepad edit control";
    ASSERT_NO_FATAL_FAILURE(TypeAndExpect(edit, 'K', ModWin, text));
}

// A user still holds the hotkey's modifiers when the action starts: the
// action lifts them first, so they do not combine with the typed keys (held
// Shift would type capitals).
TEST_F(ActionsKeystrokesTest, KeysOfTheHotkeyStillHeldDoNotCombineWithTheTypedKeys) {
    constexpr UINT Shift = ModWin | ModShift;
    ASSERT_NO_FATAL_FAILURE(StartCorvinade({Hotkey('K', Shift, "sendkeystrokes", "abc{END}1")}));
    const HWND edit = StartNotepadEdit();
    ASSERT_NE(edit, nullptr) << "no Notepad edit control";

    const UINT held[] = {VK_SHIFT, VK_LWIN};
    for (UINT key : held)
        SendKeyEvent(key, false);
    ASSERT_NO_FATAL_FAILURE(TypeAndExpect(edit, 'K', 0, "abc1"));
    for (UINT key : held)
        SendKeyEvent(key, true);
}

// The sender's complaints say what is wrong and where, in the program's
// error box, and the sending goes on; a bad repeat count ends the action
// with an error that the program's default error display shows. After each
// the program still answers hotkeys.
TEST_F(ActionsKeystrokesTest, BadKeyStringsShowTheirMessagesAndTheProgramGoesOn) {
    struct Case {
        UINT key;
        std::string params;
        std::string caption;
        std::string text;
    };
    const Case cases[] = {
        {'K', "{FOO}", "Corvinade", "The {FOO} at position 1 names no key."},
        {'J', "a{ENTER", "Corvinade", "The { at position 2 has no closing }."},
        {'H', "{TAB x}", "Corvinade", "The count in {TAB x} at position 1 is not a whole number."},
    };
    std::vector<HotkeyEntry> entries;
    for (const Case& c : cases)
        entries.push_back(Hotkey(c.key, ModWin, "sendkeystrokes", c.params));
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(entries));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.params);
        PressHotkey(c.key, ModWin);
        const HWND box = WaitForWindow({"#32770", c.caption, corvinade.Id(), true});
        ASSERT_NE(box, nullptr) << "no box captioned " << c.caption;
        EXPECT_EQ(MessageBoxText(box), c.text);
        ASSERT_TRUE(ClickButton(box, "OK"));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); })) << "OK did not close the box";
        ASSERT_NO_FATAL_FAILURE(ProveHotkeysWork());
    }
}

} // namespace
} // namespace corvinade::test
