// End-to-end tests of hotkeys that work only in some programs, or not in
// some: where the rule says no, the combination is left to the program in
// front, whose window then gets the key; elsewhere the hotkey runs. The
// hotkey is a bare Q, so that a key that reaches a window shows as a "q"
// typed into it.
#include "ActionTest.h"
#include "SettingsHarness.h"

namespace corvinade::test {
namespace {

constexpr UINT RuleKey = 'Q';

class ProgramRulesTest : public ActionTest {
protected:
    ~ProgramRulesTest() override {
        if (box)
            DestroyWindow(box);
    }

    // The rule's hotkey (a bare Q putting `text` in the clipboard) and the
    // probe; waits until the probe, which has no rule, is registered.
    static void WriteRule(const std::string& rule, const std::string& text) {
        std::string ini = HotkeysIniText({Hotkey(RuleKey, 0, "placeinclipboard", text),
                                          Hotkey(ProbeKey, ProbeShift, "placeinclipboard", ProbeText)});
        const std::string end = "params2=\r\n";
        ini.insert(ini.find(end) + end.size(), rule + "\r\n");
        WriteHotkeysIni(ini);
    }
    void Start(const std::string& rule, const std::string& text) {
        WriteRule(rule, text);
        corvinade = Process::Start(CorvinadeExe());
        ASSERT_TRUE(WaitForHotkeyRegistration(ProbeKey, ProbeShift));
    }

    // A window of the test (another program than Notepad) to type into.
    void ShowBox() {
        box = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(BringToForeground(box));
    }

    static std::string NotepadText(HWND notepadWindow) {
        return WindowText(FindChildWindow(notepadWindow, "Edit"));
    }

    HWND box = nullptr;
};

TEST_F(ProgramRulesTest, OnlyInNotepadLeavesTheKeyToOtherProgramsAndRunsInNotepad) {
    ASSERT_NO_FATAL_FAILURE(Start("onlyin=notepad.exe", "in Notepad"));
    ASSERT_NO_FATAL_FAILURE(ShowBox());
    PressHotkey(RuleKey, 0);
    EXPECT_TRUE(WaitFor([&] { return WindowText(box) == "q"; }))
        << "the key did not reach the window in front";

    HWND notepadWindow = StartNotepad();
    ASSERT_NE(notepadWindow, nullptr);
    ASSERT_TRUE(WaitForHotkeyRegistration(RuleKey, 0)) << "not registered with Notepad in front";
    SetClipboardText("before");
    EXPECT_EQ(PressAndReadClipboard(RuleKey, 0), "in Notepad");
    EXPECT_EQ(NotepadText(notepadWindow), "");

    // The rule gone and back (hotkeys.ini read again), Notepad still in front.
    WriteHotkeysIni(std::vector<HotkeyEntry>{Hotkey('K', ModWin, "minimize")});
    Process::Start(CorvinadeExe(), "/reload").WaitForExit(DefaultTimeout);
    ASSERT_TRUE(WaitFor([] { return !IsCombinationTaken(RuleKey, 0); }));
    WriteRule("onlyin=notepad.exe", "in Notepad again");
    Process::Start(CorvinadeExe(), "/reload").WaitForExit(DefaultTimeout);
    ASSERT_TRUE(WaitForHotkeyRegistration(RuleKey, 0)) << "not registered with Notepad in front";
    EXPECT_EQ(PressAndReadClipboard(RuleKey, 0), "in Notepad again");
}

// The name in another letter case than the program's file.
TEST_F(ProgramRulesTest, NotInNotepadRunsElsewhereAndLeavesTheKeyToNotepad) {
    ASSERT_NO_FATAL_FAILURE(Start("notin=NOTEPAD.EXE", "not in Notepad"));
    ASSERT_NO_FATAL_FAILURE(ShowBox());
    ASSERT_TRUE(WaitForHotkeyRegistration(RuleKey, 0)) << "not registered with another program in front";
    SetClipboardText("before");
    EXPECT_EQ(PressAndReadClipboard(RuleKey, 0), "not in Notepad");

    HWND notepadWindow = StartNotepad();
    ASSERT_NE(notepadWindow, nullptr);
    ASSERT_TRUE(WaitFor([] { return !IsCombinationTaken(RuleKey, 0); }))
        << "still held with Notepad in front";
    PressHotkey(RuleKey, 0);
    EXPECT_TRUE(WaitFor([&] { return NotepadText(notepadWindow) == "q"; }))
        << "the key did not reach Notepad";
    EXPECT_EQ(WindowText(box), "");
}

// A row's "Programs...": its dialog's "Only in:" filled from the
// "Running..." menu (Notepad is the one program with a window), OK, the row
// saved: the file holds the rule, and the hotkey follows the program in
// front at once.
TEST_F(ProgramRulesTest, ARuleChosenForARowTakesEffectWhenSaved) {
    ASSERT_NO_FATAL_FAILURE(StartCorvinade({Hotkey(RuleKey, ModCtrl, "placeinclipboard", "rule")}));
    HWND notepadWindow = StartNotepad();
    ASSERT_NE(notepadWindow, nullptr);
    Process::Start(CorvinadeExe(), "/settings").WaitForExit(DefaultTimeout);
    HWND settings = WaitForSettingsWindow(corvinade.Id());
    ASSERT_NE(settings, nullptr);
    HWND row = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND r : HotkeyRows(settings))
            if (WindowText(r).starts_with("CTRL + Q,"))
                row = r;
        return row != nullptr;
    }));
    ASSERT_TRUE(PostClick(FindDescendant(row, "Button", "&Edit")));
    HWND programs = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        return (programs = FindDescendant(row, "Button", "Programs...")) && IsWindowVisible(programs);
    }));
    ASSERT_TRUE(PostClick(programs));
    HWND dialog = WaitForWindow({.title = "Programs", .processId = corvinade.Id(), .visibleOnly = true});
    ASSERT_NE(dialog, nullptr);
    HWND onlyIn = GetWindow(FindDescendant(dialog, "Static", "&Only in:"), GW_HWNDNEXT);
    ASSERT_EQ(WindowClass(onlyIn), "Edit");

    ASSERT_TRUE(PostClick(FindDescendant(dialog, "Button", "Running...")));
    ASSERT_NE(WaitForWindow({"#32768", "", 0, true}), nullptr) << "no menu of the running programs";
    PressHotkey(VK_DOWN, 0);
    PressHotkey(VK_RETURN, 0);
    ASSERT_TRUE(WaitFor([&] { return WindowText(onlyIn) == "notepad.exe"; })) << WindowText(onlyIn);
    ASSERT_TRUE(ClickButton(dialog, "OK"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    ASSERT_TRUE(PostClick(FindDescendant(row, "Button", "Save")));
    ASSERT_TRUE(WaitFor([] {
        return FileContent(HotkeysIniPath()).value_or("").find("onlyin=notepad.exe\r\n") != std::string::npos;
    })) << "the rule is not in the file";
    EXPECT_TRUE(WaitFor([&] { return WindowText(row).find(", only in notepad.exe,") != std::string::npos; }))
        << WindowText(row);

    ASSERT_TRUE(BringToForeground(notepadWindow));
    ASSERT_TRUE(WaitForHotkeyRegistration(RuleKey, ModCtrl));
    ASSERT_NO_FATAL_FAILURE(ShowBox());
    EXPECT_TRUE(WaitFor([] { return !IsCombinationTaken(RuleKey, ModCtrl); })) << "held outside Notepad";
}

} // namespace
} // namespace corvinade::test
