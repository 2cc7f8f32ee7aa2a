// End-to-end tests of the first start: the real corvinade.exe in a fresh
// prefix, its first-use wizard and the settings window that follows when it
// is left unfinished, driven from this process as a user drives them.
#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Harness.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"

namespace corvinade::test {
namespace {

using ::testing::ElementsAre;

constexpr UINT Divide = VK_DIVIDE, Multiply = VK_MULTIPLY;

// The five suggestions as the wizard writes them.
const std::vector<HotkeyEntry> Suggestions = {{true, Divide, ModWin, "minimize", "", ""},
                                              {true, Multiply, ModWin, "maximize", "", ""},
                                              {true, 'S', ModWin, "capturescreen", "", ""},
                                              {true, 'A', ModWin, "captureregion", "", ""},
                                              {true, 'N', ModWin, "openfile", "notepad.exe", ""}};

class FirstRunTest : public DesktopTest {
protected:
    void Start() {
        corvinade = Process::Start(CorvinadeExe());
        wizard = WaitForVisible("Setup Corvinade");
        ASSERT_NE(wizard, nullptr) << "no first-use wizard";
    }
    HWND WaitForVisible(const std::string& title) {
        return WaitForWindow({.title = title, .processId = corvinade.Id(), .visibleOnly = true});
    }
    void Press(HWND window, const std::string& caption) {
        ASSERT_TRUE(ClickButton(window, caption)) << caption;
    }
    // Next, Next: the suggestions' page.
    void ToSuggestions() {
        Press(wizard, "&Next");
        Press(wizard, "&Next");
        ASSERT_TRUE(WaitFor([&] { return FindButton(wizard, "&Finish") != nullptr; }));
    }
    // The check box of the suggestion with this description.
    HWND SuggestionBox(const std::string& description) {
        HWND label = FindDescendant(wizard, "Static", description);
        return label ? GetWindow(label, GW_HWNDPREV) : nullptr;
    }
    void Finish() {
        Press(wizard, "&Finish");
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(wizard); }));
    }
    // Cancel, and OK to "Close the setup guide?".
    void CancelWizard(HWND which) {
        Press(which, "Cancel");
        HWND box = WaitForMessageBoxOf(corvinade.Id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), "Close the setup guide?");
        ClickButton(box, "OK");
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(which) || !IsWindowVisible(which); }));
    }
    bool FileIs(const std::vector<HotkeyEntry>& entries) {
        return WaitFor([&] { return FileContent(HotkeysIniPath()) == HotkeysIniText(entries); },
                       Milliseconds{5000});
    }
    // A click Wine's tray drops is clicked again, up to `attempts` times.
    bool PanelShowsAfterClick(int attempts = 1) {
        HWND panel = FindPanel(corvinade.Id());
        for (int attempt = 0; attempt < attempts; ++attempt) {
            ClickTrayIcon();
            if (WaitFor([&] { return IsWindowVisible(panel) != FALSE; }, Milliseconds{2500}))
                return true;
        }
        return false;
    }

    // Double clicks on the tray icon until a settings window shows.
    HWND OpenSettings() {
        HWND settings = nullptr;
        for (int attempt = 0; attempt < 5 && !settings; ++attempt) {
            DoubleClickTrayIcon();
            settings = WaitForSettingsWindow(corvinade.Id(), Milliseconds{4000});
        }
        return settings;
    }
    // "Edit", then "Save" on a row without changing it.
    void SaveRowUnchanged(HWND row) {
        PostClick(FindDescendant(row, "Button", "&Edit"));
        HWND save = nullptr;
        ASSERT_TRUE(
            WaitFor([&] { return (save = FindDescendant(row, "Button", "Save")) && IsWindowVisible(save); }));
        PostClick(save);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(save); }));
    }
    HWND LogonBox(HWND settings) {
        return FindDescendant(settings, "Button", "&Start when you log on Windows");
    }
    // With hotkeys of one's own, the guide cancelled and the settings window
    // opened from the tray: the first use is not over, so the next save
    // brings the guide back.
    void OpenSettingsWithTheGuideDue(HWND& settings) {
        WriteHotkeysIni({{true, 'K', ModWin, "capturescreen", "", ""}});
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(CancelWizard(wizard));
        settings = OpenSettings();
        ASSERT_NE(settings, nullptr);
    }
    // What a user needs at every moment: the program's window on top is the
    // one titled so and takes input; with "", whatever shows on top (if any)
    // takes input.
    void AssertUsableOnTop(const std::string& title) {
        HWND top = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            top = TopmostVisibleWindow(corvinade.Id());
            if (!top)
                return title.empty();
            return IsWindowEnabled(top) && (title.empty() || WindowText(top) == title);
        })) << "on top: "
            << DescribeWindow(top) << ", expected \"" << title << "\" enabled";
    }
    // Exit from the tray's menu ends the program, and cleanly.
    void ExitFromTheTray() {
        ASSERT_TRUE(ChooseTrayExit());
        ASSERT_TRUE(corvinade.WaitForExit(Milliseconds{10000})) << "Exit did not end the program";
        EXPECT_EQ(corvinade.ExitCode(), 0u);
    }

    Process corvinade;
    HWND wizard = nullptr;
};

// Next, Next, Finish with everything checked: the five suggestions, the
// first use over, start at log-on quoted, and WIN+S a live hotkey at once.
// The next start shows no wizard.
TEST_F(FirstRunTest, FinishWritesTheSuggestionsAndTheyWorkAtOnce) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ToSuggestions());
    for (const char* d : {"Minimize active window", "Maximize or restore active window",
                          "Save screen capture", "Capture a region of the screen", "Open notepad"})
        EXPECT_TRUE(IsChecked(SuggestionBox(d))) << d;
    EXPECT_EQ(WindowText(SuggestionBox("Save screen capture")), "WIN + S");
    ASSERT_NO_FATAL_FAILURE(Finish());
    EXPECT_TRUE(FileIs(Suggestions)) << FileContent(HotkeysIniPath()).value_or("(none)");
    EXPECT_EQ(SettingText("FirstUse"), "0");
    EXPECT_EQ(LogonEntry(), Quoted(WindowsPath(CorvinadeExe())));
    ASSERT_TRUE(WaitForHotkeyRegistration('S', ModWin));
    PressHotkey('S', ModWin);
    EXPECT_TRUE(WaitForVisible("Save Capture")) << "WIN+S did not capture";

    corvinade.Terminate();
    corvinade = Process::Start(CorvinadeExe());
    ASSERT_TRUE(WaitForHotkeyRegistration('S', ModWin));
    // The start's check for the guide was posted before this hotkey came:
    // once the hotkey's capture window shows, the check has run.
    PressHotkey('S', ModWin);
    ASSERT_TRUE(WaitForVisible("Save Capture")) << "WIN+S did not capture";
    EXPECT_TRUE(FindTopWindows({.title = "Setup Corvinade", .processId = corvinade.Id()}).empty());
}

// As the Windows shell holds them: WIN+S, WIN+A, WIN+N and WIN+ALT+N, and
// the keypad's * with WIN and with every fallback. S, A and N are offered with
// the first free fallback, * is left unchecked and says why; Finish writes
// what the boxes name and registers every one of them.
TEST_F(FirstRunTest, TakenSuggestionsAreOfferedWithFreeCombinations) {
    const std::pair<UINT, UINT> held[] = {{'S', ModWin},
                                          {'A', ModWin},
                                          {'N', ModWin},
                                          {'N', ModWin | ModAlt},
                                          {Multiply, ModWin},
                                          {Multiply, ModWin | ModAlt},
                                          {Multiply, ModWin | ModCtrl | ModAlt},
                                          {Multiply, ModWin | ModShift | ModAlt}};
    int id = 0;
    for (const auto& [key, modifiers] : held)
        ASSERT_TRUE(RegisterHotKey(nullptr, ++id, modifiers, key));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ToSuggestions());
    EXPECT_EQ(WindowText(SuggestionBox("Minimize active window")), "WIN + Num /");
    EXPECT_EQ(WindowText(SuggestionBox("Maximize or restore active window")), "WIN + Num * (taken)");
    EXPECT_FALSE(IsChecked(SuggestionBox("Maximize or restore active window")));
    EXPECT_EQ(WindowText(SuggestionBox("Save screen capture")), "ALT + WIN + S");
    EXPECT_EQ(WindowText(SuggestionBox("Capture a region of the screen")), "ALT + WIN + A");
    EXPECT_EQ(WindowText(SuggestionBox("Open notepad")), "ALT + CTRL + WIN + N");
    EXPECT_NE(
        FindDescendant(wizard, "Static",
                       "Windows or another program uses WIN + Num *, WIN + S, WIN + A and WIN + N on "
                       "this computer, so the boxes offer free combinations. None was free for WIN + Num *: "
                       "its box is unchecked."),
        nullptr);

    ASSERT_NO_FATAL_FAILURE(Finish());
    EXPECT_TRUE(FileIs({Suggestions[0],
                        {true, 'S', ModWin | ModAlt, "capturescreen", "", ""},
                        {true, 'A', ModWin | ModAlt, "captureregion", "", ""},
                        {true, 'N', ModWin | ModCtrl | ModAlt, "openfile", "notepad.exe", ""}}))
        << FileContent(HotkeysIniPath()).value_or("(none)");
    EXPECT_TRUE(WaitForHotkeyRegistration(Divide, ModWin));
    EXPECT_TRUE(WaitForHotkeyRegistration('N', ModWin | ModCtrl | ModAlt));
    ASSERT_TRUE(WaitForHotkeyRegistration('S', ModWin | ModAlt));
    PressHotkey('S', ModWin | ModAlt);
    EXPECT_TRUE(WaitForVisible("Save Capture")) << "ALT+WIN+S did not capture";
}

// At 192 dpi on a 1280 x 800 screen every window opens within the work
// area: the guide centred on the screen, the settings window from its
// "Setup more hotkeys", and the new-hotkey wizard centred on that.
TEST_F(FirstRunTest, EveryWindowFitsASmallScreenAt192Dpi) {
    auto outside = [](HWND window) {
        MONITORINFO monitor = {sizeof monitor};
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
        RECT r = {}, both = {};
        GetWindowRect(window, &r);
        IntersectRect(&both, &r, &monitor.rcWork);
        return EqualRect(&both, &r) ? std::string()
                                    : WindowText(window) + " " + std::to_string(r.right - r.left) + " x " +
                                          std::to_string(r.bottom - r.top) + " at " + std::to_string(r.left) +
                                          ", " + std::to_string(r.top);
    };
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(outside(wizard), "");
    ASSERT_NO_FATAL_FAILURE(ToSuggestions());
    Press(wizard, "&Setup more hotkeys");
    HWND settings = WaitForSettingsWindow(corvinade.Id());
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(outside(settings), "");
    Press(settings, "&New hotkey");
    HWND adding = WaitForVisible("New hotkey");
    ASSERT_NE(adding, nullptr);
    EXPECT_EQ(outside(adding), "");
    RECT over = {}, under = {};
    GetWindowRect(adding, &over);
    GetWindowRect(settings, &under);
    EXPECT_LE(std::abs((over.left + over.right) - (under.left + under.right)), 2)
        << "not centred on its owner";
    EXPECT_LE(std::abs((over.top + over.bottom) - (under.top + under.bottom)), 2)
        << "not centred on its owner";
    Press(adding, "Cancel");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(adding) || !IsWindowVisible(adding); }));
    Press(settings, "Close");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
    ASSERT_NO_FATAL_FAILURE(Finish());
}

// Existing definitions: a WIN+N for another program stays first (and is the
// one that runs), notepad's is appended; the unchecked capture suggestion
// removes an inactive WIN+S capture; a present suggestion moves to the end.
TEST_F(FirstRunTest, FinishMergesWithTheHotkeysAlreadyThere) {
    RecorderLog log;
    WriteHotkeysIni({{true, 'N', ModWin, "openfile", TestProgram("recorder.exe"), "first"},
                     {false, 'S', ModWin, "capturescreen", "", ""},
                     {true, Multiply, ModWin, "maximize", "", ""},
                     {true, 'Q', ModCtrl, "close", "", ""}});
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ToSuggestions());
    PostClick(SuggestionBox("Save screen capture"));
    ASSERT_TRUE(WaitFor([&] { return !IsChecked(SuggestionBox("Save screen capture")); }));
    ASSERT_NO_FATAL_FAILURE(Finish());
    EXPECT_TRUE(FileIs({{true, 'N', ModWin, "openfile", TestProgram("recorder.exe"), "first"},
                        {true, 'Q', ModCtrl, "close", "", ""},
                        Suggestions[0],
                        Suggestions[1],
                        Suggestions[3],
                        Suggestions[4]}))
        << FileContent(HotkeysIniPath()).value_or("(none)");
    ASSERT_TRUE(WaitForHotkeyRegistration('N', ModWin));
    EXPECT_FALSE(IsCombinationTaken('S', ModWin));
    PressHotkey('N', ModWin);
    ASSERT_TRUE(log.WaitForRuns(1)) << "the first WIN+N did not run";
    EXPECT_EQ(log.Runs()[0].Parameters(), "first");
}

// Left unfinished, the wizard makes way for the settings window, modal,
// its empty list saying how to begin, and with the tray icon deaf to
// clicks. A new hotkey saved there brings the wizard back once the settings
// window is closed, with every box checked again.
TEST_F(FirstRunTest, CancelLeadsToTheSettingsWindowAndTheWizardComesBack) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ToSuggestions());
    PostClick(SuggestionBox("Open notepad"));
    ASSERT_TRUE(WaitFor([&] { return !IsChecked(SuggestionBox("Open notepad")); }));
    ASSERT_NO_FATAL_FAILURE(CancelWizard(wizard));
    HWND settings = WaitForSettingsWindow(corvinade.Id());
    ASSERT_NE(settings, nullptr);
    HWND empty = FindDescendant(settings, "Static", "No hotkeys yet. Click New hotkey to add one.");
    EXPECT_TRUE(empty && IsWindowVisible(empty)) << "the empty list says nothing";
    EXPECT_FALSE(PanelShowsAfterClick()) << "the tray icon takes clicks while the settings window is modal";
    EXPECT_EQ(FileContent(HotkeysIniPath()), std::nullopt);
    EXPECT_EQ(SettingText("FirstUse"), std::nullopt);

    Press(settings, "&New hotkey");
    HWND adding = WaitForVisible("New hotkey");
    ASSERT_NE(adding, nullptr);
    ASSERT_EQ(FillNewHotkeyWizard(adding, 'Q', "Close active window"), "");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(adding) || !IsWindowVisible(adding); }));
    EXPECT_TRUE(FileIs({{true, 'Q', ModWin, "close", "", ""}}));
    EXPECT_TRUE(WaitForHotkeyRegistration('Q', ModWin));
    ASSERT_TRUE(WaitFor([&] { return RowCaptions(settings).size() == 1; }));

    // The guide the save brings back waits for the modal window to close.
    Press(settings, "Close");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
    wizard = WaitForVisible("Setup Corvinade");
    ASSERT_NE(wizard, nullptr) << "the save did not bring the first-use wizard back";
    EXPECT_TRUE(IsChecked(SuggestionBox("Open notepad"))) << "a new wizard starts with every box checked";
    ASSERT_NO_FATAL_FAILURE(CancelWizard(wizard));
    EXPECT_TRUE(PanelShowsAfterClick()) << "the tray icon takes clicks again";
}

// "&Setup more hotkeys" writes the suggestions and opens the settings
// window; notepad's hotkey deleted there is unchecked back in the wizard,
// and Finish leaves it out.
TEST_F(FirstRunTest, SetupMoreHotkeysThenFinishFollowsWhatTheSettingsChanged) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ToSuggestions());
    Press(wizard, "&Setup more hotkeys");
    HWND settings = WaitForSettingsWindow(corvinade.Id());
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(WaitFor([&] { return RowCaptions(settings).size() == 5; }));
    EXPECT_EQ(SettingText("FirstUse"), "0");
    HWND notepad = HotkeyRows(settings).front();
    ASSERT_EQ(WindowText(notepad), "WIN + N, Open file, notepad.exe, active");
    PostClick(FindDescendant(notepad, "Button", "&Delete"));
    HWND box = WaitForMessageBoxOf(corvinade.Id());
    ASSERT_NE(box, nullptr);
    ClickButton(box, "&Yes");
    ASSERT_TRUE(WaitFor([&] { return RowCaptions(settings).size() == 4; }));
    Press(settings, "Close");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }));

    ASSERT_TRUE(WaitFor([&] { return !IsChecked(SuggestionBox("Open notepad")); }));
    EXPECT_TRUE(IsChecked(SuggestionBox("Save screen capture")));
    ASSERT_NO_FATAL_FAILURE(Finish());
    EXPECT_TRUE(FileIs({Suggestions[0], Suggestions[1], Suggestions[2], Suggestions[3]}))
        << FileContent(HotkeysIniPath()).value_or("(none)");
}

// The guide left unfinished comes back after a save, and only once that save
// is done. What its Finish writes shows at once in the open settings window
// (the suggestions, the log-on box), so the next save there keeps it all.
TEST_F(FirstRunTest, WhatTheGuideWritesAfterASaveIsKeptByTheNextSave) {
    const HotkeyEntry own = {true, 'K', ModWin, "capturescreen", "", ""};
    WriteHotkeysIni({own});
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(CancelWizard(wizard));
    HWND settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    EXPECT_FALSE(IsChecked(LogonBox(settings)));
    ASSERT_NO_FATAL_FAILURE(SaveRowUnchanged(HotkeyRows(settings).front()));

    wizard = WaitForVisible("Setup Corvinade");
    ASSERT_NE(wizard, nullptr) << "the guide did not come back after the save";
    ASSERT_NO_FATAL_FAILURE(ToSuggestions());
    ASSERT_NO_FATAL_FAILURE(Finish());
    ASSERT_TRUE(WaitFor([&] { return RowCaptions(settings).size() == 5; }));
    EXPECT_EQ(RowCaptions(settings).back(), "WIN + K, Capture screen, active");
    EXPECT_TRUE(IsChecked(LogonBox(settings))) << "the box shows the stored choice";

    ASSERT_NO_FATAL_FAILURE(SaveRowUnchanged(HotkeyRows(settings).back()));
    std::vector<HotkeyEntry> all = {own};
    all.insert(all.end(), Suggestions.begin(), Suggestions.end());
    EXPECT_TRUE(FileIs(all)) << FileContent(HotkeysIniPath()).value_or("(none)");
    EXPECT_EQ(LogonEntry(), Quoted(WindowsPath(CorvinadeExe())));
}

// One settings window, however it is asked for: the tray's, open while the
// guide runs, is the one "&Setup more hotkeys" brings up (with the
// suggestions), and after it closes the tray opens one window again.
TEST_F(FirstRunTest, SetupMoreHotkeysBringsUpTheSettingsWindowAlreadyOpen) {
    WriteHotkeysIni({{true, 'K', ModWin, "capturescreen", "", ""}});
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    ASSERT_NO_FATAL_FAILURE(ToSuggestions());
    Press(wizard, "&Setup more hotkeys");
    ASSERT_TRUE(WaitFor([&] { return RowCaptions(settings).size() == 5; }));
    EXPECT_THAT(SettingsWindows(corvinade.Id()), ElementsAre(settings));
    Press(settings, "Close");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
    ASSERT_NO_FATAL_FAILURE(Finish());

    settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    EXPECT_THAT(SettingsWindows(corvinade.Id()), ElementsAre(settings));
    EXPECT_EQ(RowCaptions(settings).size(), 5u);
}

// The first start without a file: a settings window the tray opened while
// the guide ran is the one that follows the cancelled guide, modally,
// without an error; the program then answers as usual.
TEST_F(FirstRunTest, CancelledGuideTakesOverTheSettingsWindowAlreadyOpen) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    ASSERT_NO_FATAL_FAILURE(CancelWizard(wizard));
    Press(settings, "&New hotkey");
    HWND adding = WaitForVisible("New hotkey");
    ASSERT_NE(adding, nullptr) << "the settings window does not answer";
    EXPECT_EQ(WaitForMessageBoxOf(corvinade.Id(), Milliseconds{0}), nullptr);
    EXPECT_THAT(SettingsWindows(corvinade.Id()), ElementsAre(settings));
    Press(adding, "Cancel");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(adding) || !IsWindowVisible(adding); }));
    Press(settings, "Close");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
    EXPECT_TRUE(PanelShowsAfterClick(3)) << "the tray icon takes clicks again";
}

// A save while the first use is not over brings the guide back over the
// settings window it came from; "Setup more hotkeys" there turns to that
// window, which must take input then: the user finishes with it and closes
// it, and Exit ends the program.
TEST_F(FirstRunTest, SetupMoreHotkeysFromTheGuideASaveBroughtBackLeavesTheSettingsUsable) {
    HWND settings = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenSettingsWithTheGuideDue(settings));
    ASSERT_NO_FATAL_FAILURE(SaveRowUnchanged(HotkeyRows(settings).front()));
    wizard = WaitForVisible("Setup Corvinade");
    ASSERT_NE(wizard, nullptr) << "the guide did not come back after the save";
    ASSERT_NO_FATAL_FAILURE(AssertUsableOnTop("Setup Corvinade"));
    ASSERT_NO_FATAL_FAILURE(ToSuggestions());
    Press(wizard, "&Setup more hotkeys");
    ASSERT_NO_FATAL_FAILURE(AssertUsableOnTop("Settings"));
    settings = WaitForSettingsWindow(corvinade.Id());
    Press(settings, "Close");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings) || !IsWindowVisible(settings); }));
    ASSERT_NO_FATAL_FAILURE(AssertUsableOnTop(""));
    ASSERT_NO_FATAL_FAILURE(ExitFromTheTray());
}

// The same guide brought back by an import, whose report box is still open
// when the import saves: "Setup more hotkeys", then Exit from the tray, end
// the program cleanly, no freed window used on the way (wine-run.sh fails
// the run on a heap error or page fault).
TEST_F(FirstRunTest, ExitAfterTheGuideAnImportBroughtBackEndsCleanly) {
    HWND settings = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenSettingsWithTheGuideDue(settings));
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::string import = Utf8Of(temp) + "import.ini";
    std::ofstream(std::filesystem::path(WideOf(import)), std::ios::binary)
        << HotkeysIniText({{true, 'J', ModWin, "capturescreen", "", ""}});
    ASSERT_TRUE(ClickButton(settings, "&Import..."));
    HWND dialog = WaitForWindow({"#32770", "Import hotkeys", corvinade.Id(), true});
    ASSERT_NE(dialog, nullptr);
    const std::wstring name = WideOf(import);
    SendMessageW(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_TRUE(PressDialogButton(dialog, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    HWND preview = WaitForWindow({"CorvinadeForm", "Import hotkeys", corvinade.Id(), true});
    ASSERT_NE(preview, nullptr) << "no dialog showing what the import brings";
    ASSERT_TRUE(ClickButton(preview, "&Add to my hotkeys"));

    // The user answers what shows on top: the import's report, then the
    // guide, or the guide first.
    bool reported = false;
    ASSERT_TRUE(WaitFor([&] {
        HWND top = TopmostVisibleWindow(corvinade.Id());
        if (top && WindowText(top) == "Setup Corvinade")
            return (wizard = top) != nullptr;
        if (!reported && top && IsWindowEnabled(top) && WindowClass(top) == "#32770" &&
            MessageBoxText(top).starts_with("Added 1 hotkey"))
            reported = ClickButton(top, "OK");
        return false;
    })) << "on top: "
        << DescribeWindow(TopmostVisibleWindow(corvinade.Id()));
    ASSERT_NO_FATAL_FAILURE(ToSuggestions());
    Press(wizard, "&Setup more hotkeys");
    ASSERT_TRUE(WaitFor([&] { return WindowText(TopmostVisibleWindow(corvinade.Id())) == "Settings"; }))
        << "on top: " << DescribeWindow(TopmostVisibleWindow(corvinade.Id()));
    ASSERT_NO_FATAL_FAILURE(ExitFromTheTray());
}

// Ended while the first start's settings window is modal (WM_CLOSE to the
// application window, as Windows' shut-down sends it): a clean exit.
TEST_F(FirstRunTest, EndingDuringTheFirstStartsSettingsWindowExitsCleanly) {
    SetSettingText("FirstUse", "0");
    corvinade = Process::Start(CorvinadeExe());
    HWND settings = WaitForSettingsWindow(corvinade.Id());
    ASSERT_NE(settings, nullptr);
    std::vector<HWND> application =
        FindTopWindows({.className = "CorvinadeApplication", .processId = corvinade.Id()});
    ASSERT_EQ(application.size(), 1u);
    PostMessageA(application[0], WM_CLOSE, 0, 0);
    ASSERT_TRUE(corvinade.WaitForExit(Milliseconds{10000}));
    EXPECT_EQ(corvinade.ExitCode(), 0u);
}

} // namespace
} // namespace corvinade::test
