// End-to-end tests of the tray presence: the real corvinade.exe in Wine's
// virtual desktop, its tray icon clicked with xdotool as a user clicks it,
// the overview panel read back from the screen, the menu's "Exit", and the
// update check against the reference endpoint on loopback.
#include <gmock/gmock.h>

#include "Harness.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"
#include "app/PanelLayout.h"

#include <shellapi.h>

#include <array>

namespace corvinade::test {
namespace {

constexpr int PanelWidth = 579;
constexpr int Taskbar = 20; // the virtual desktop's taskbar height

HotkeyEntry Entry(bool active, UINT key, UINT shift, const std::string& func, const std::string& params = "",
                  const std::string& params2 = "") {
    return {active, static_cast<int>(key), static_cast<int>(shift), func, params, params2};
}

class TrayPanelTest : public DesktopTest {
protected:
    void SetUp() override { SetSettingText("FirstUse", "0"); }

    // Starts corvinade.exe; with hotkeys, waits for the first registration.
    void Start(const std::vector<HotkeyEntry>& entries) {
        WriteHotkeysIni(entries);
        corvinade = Process::Start(CorvinadeExe());
        ASSERT_TRUE(WaitFor([&] { return FindPanel(corvinade.Id()) != nullptr; }));
        panel = FindPanel(corvinade.Id());
        for (const HotkeyEntry& e : entries) {
            if (e.active) {
                ASSERT_TRUE(WaitForHotkeyRegistration(e.key, e.shift));
            }
        }
    }

    bool Shown() const { return IsWindowVisible(panel) != FALSE; }

    // Clicks the icon until the panel shows: the first click may come before
    // the icon is in the tray.
    void OpenPanel() {
        for (int attempt = 0; attempt < 5 && !Shown(); ++attempt) {
            ASSERT_TRUE(ClickTrayIcon());
            WaitFor([&] { return Shown(); }, Milliseconds{4000});
        }
        ASSERT_TRUE(Shown()) << "the panel did not show after clicks on the tray icon";
    }

    RECT PanelRect() const {
        RECT r = {};
        GetWindowRect(panel, &r);
        return r;
    }

    // Compares one text cell of the panel with the text drawn as the program
    // draws it. Cell geometry in panel coordinates.
    void ExpectCell(const RECT& panelRect, int left, int top, int width, const std::string& text, bool bold) {
        const RECT area = {panelRect.left + left, panelRect.top + top, panelRect.left + left + width,
                           panelRect.top + top + 13};
        // Waits for the panel's paint after it became visible.
        const std::vector<COLORREF> expected = RenderCell(text, bold, width, 13);
        EXPECT_TRUE(WaitFor([&] { return ScreenPixels(area) == expected; }, Milliseconds{5000}))
            << "cell at " << left << "," << top << " does not show \"" << text << "\"";
    }

    // Every cell of the header and the rows, the columns sized to their
    // widest texts (a heading no wider than its text).
    using Texts = std::array<std::string, 3>;
    void ExpectRows(const RECT& panelRect, const std::vector<Texts>& rows) {
        const Texts headers = {"Hotkey", "Action", "Parameters"};
        std::array<int, 3> need = {};
        for (std::size_t c = 0; c < 3; ++c) {
            need[c] = TextWidth(headers[c], true);
            for (const Texts& row : rows)
                need[c] = std::max(need[c], TextWidth(row[c], false));
        }
        const std::array<PanelColumn, 3> columns = PanelColumns(need, PanelWidth);
        for (std::size_t c = 0; c < 3; ++c)
            ExpectCell(panelRect, columns[c].left, 8, std::min(columns[c].width, TextWidth(headers[c], true)),
                       headers[c], true);
        int top = 25;
        for (const Texts& row : rows) {
            for (std::size_t c = 0; c < 3; ++c)
                ExpectCell(panelRect, columns[c].left, top, columns[c].width, row[c], false);
            top += 21;
        }
    }

    void SaveShot(const std::string& name) {
        const std::string folder = Env("CORVINADE_SHOTS");
        if (!folder.empty())
            RunUnixCommand("import -window root " + folder + "/" + name + ".png");
    }

    void ChooseExit() { ASSERT_TRUE(ChooseTrayExit()) << "no popup menu"; }

    Process corvinade;
    HWND panel = nullptr;
};

// A click shows the panel beside the taskbar, one row per active hotkey in
// file order, Params2 only for Open file, data texts as they are; "X" hides it.
TEST_F(TrayPanelTest, ClickShowsTheActiveHotkeysBesideTheTaskbar) {
    ASSERT_NO_FATAL_FAILURE(Start({
        Entry(true, 'N', ModWin, "openfile", "notepad.exe", "C:\\notes\\todo.txt"),
        Entry(false, 'I', ModWin, "openfile", "inactive.exe"),
        Entry(true, 'S', ModCtrl | ModAlt, "capturescreen"),
        Entry(true, 'K', ModShift | ModWin, "openwebsite", "example.org/?q=a&lang=en", "ignored"),
        Entry(true, 'O', ModCtrl, "openfile", "calc.exe", ""),
    }));
    EXPECT_EQ(WindowOpacity(panel), 200);
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    EXPECT_EQ(WindowOpacity(panel), 240);
    const RECT r = PanelRect();
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(r.right - r.left, PanelWidth);
    EXPECT_EQ(r.bottom - r.top, 21 * 4 + 53);
    // Bottom-right corner 3 pixels left of the taskbar's end and above its top.
    EXPECT_EQ(r.right, screenW - 3);
    EXPECT_EQ(r.bottom, screenH - Taskbar - 3);
    EXPECT_EQ(GetWindowLongA(panel, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);

    ExpectRows(r, {
                      {"WIN + N", "Open file", "notepad.exe, C:\\notes\\todo.txt"},
                      {"ALT + CTRL + S", "Capture screen", ""},
                      {"SHIFT + WIN + K", "Open website", "example.org/?q=a&lang=en"}, // "&" drawn as it is
                      {"CTRL + O", "Open file", "calc.exe"},
                  });
    SaveShot("panel-4");

    // "X": left 548, top 8, 22 x 20.
    ASSERT_TRUE(MovePointer(r.left + 559, r.top + 18));
    ASSERT_TRUE(Xdotool("click 1"));
    EXPECT_TRUE(WaitFor([&] { return !Shown(); }));
}

// The layouts for 0, 1 and 12 hotkeys: height 57, 74 and 305.
TEST_F(TrayPanelTest, HeightFollowsTheNumberOfHotkeys) {
    std::vector<HotkeyEntry> entries;
    for (int i = 0; i < 12; ++i) {
        std::string site = "http://site";
        site += std::to_string(i);
        site += ".example/";
        entries.push_back(Entry(true, 'A' + i, ModCtrl | ModAlt, "openwebsite", site));
    }
    ASSERT_NO_FATAL_FAILURE(Start(entries));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    const RECT r = PanelRect();
    EXPECT_EQ(r.bottom - r.top, 21 * 12 + 53);
    std::vector<Texts> rows;
    for (int i = 0; i < 12; ++i)
        rows.push_back({std::string("ALT + CTRL + ") + static_cast<char>('A' + i), "Open website",
                        "http://site" + std::to_string(i) + ".example/"});
    ExpectRows(r, rows);
    SaveShot("panel-12");
}

TEST_F(TrayPanelTest, NoHotkeysShowsTheHeaderOnly) {
    ASSERT_NO_FATAL_FAILURE(Start({Entry(false, 'Q', ModWin, "close")}));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    const RECT r = PanelRect();
    EXPECT_EQ(r.bottom - r.top, 57);
    ExpectRows(r, {});
    SaveShot("panel-0");
}

TEST_F(TrayPanelTest, OneHotkey) {
    ASSERT_NO_FATAL_FAILURE(Start({Entry(true, 'M', ModWin, "maximize")}));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    const RECT r = PanelRect();
    EXPECT_EQ(r.bottom - r.top, 74);
    ExpectRows(r, {{"WIN + M", "Maximize active window", ""}});
    SaveShot("panel-1");
}

// Each column as wide as what it holds: a long action or combination whole
// while the parameters have room to spare; opened with the mouse, the panel
// closes on Esc. The icon's tip counts the active hotkeys.
TEST_F(TrayPanelTest, ColumnsHoldTheirTextsEscClosesAndTheTipCounts) {
    ASSERT_NO_FATAL_FAILURE(Start({
        Entry(true, 'M', ModWin, "minimize"),
        Entry(true, 'A', ModAlt | ModCtrl | ModShift | ModWin, "openfile", "calc.exe"),
        Entry(false, 'I', ModWin, "openfile", "inactive.exe"),
    }));
    EXPECT_TRUE(WaitFor([] {
        const std::vector<std::string> tips = TrayTipTexts();
        return std::find(tips.begin(), tips.end(), "Corvinade: 2 hotkeys active") != tips.end();
    })) << testing::PrintToString(TrayTipTexts());
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    const RECT r = PanelRect();
    ExpectRows(r, {{"WIN + M", "Minimize active window", ""},
                   {"ALT + CTRL + SHIFT + WIN + A", "Open file", "calc.exe"}});
    SaveShot("panel-columns");
    PressHotkey(VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !Shown(); })) << "Esc left the panel open";
}

// A second click on the icon hides the panel.
TEST_F(TrayPanelTest, SecondClickHides) {
    ASSERT_NO_FATAL_FAILURE(Start({Entry(true, 'M', ModWin, "maximize")}));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    ASSERT_TRUE(ClickTrayIcon());
    EXPECT_TRUE(WaitFor([&] { return !Shown(); }));
}

// A double click is not a click: the panel stays hidden for well over a
// double-click time; a single click afterwards still shows it.
TEST_F(TrayPanelTest, DoubleClickFiresNoSingleClick) {
    ASSERT_NO_FATAL_FAILURE(Start({Entry(true, 'M', ModWin, "maximize")}));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    ASSERT_TRUE(ClickTrayIcon());
    ASSERT_TRUE(WaitFor([&] { return !Shown(); }));
    ASSERT_TRUE(DoubleClickTrayIcon());
    EXPECT_FALSE(WaitFor([&] { return Shown(); }, Milliseconds{3 * GetDoubleClickTime()}));
    ASSERT_TRUE(ClickTrayIcon());
    EXPECT_TRUE(WaitFor([&] { return Shown(); }));
}

// 240 while shown, 180 once the pointer has left it (over the taskbar it
// stays), hidden at the next tick with the pointer elsewhere.
TEST_F(TrayPanelTest, DimsWhenThePointerLeavesAndHidesOnTheTick) {
    ASSERT_NO_FATAL_FAILURE(Start({Entry(true, 'M', ModWin, "maximize")}));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    const RECT r = PanelRect();
    ASSERT_TRUE(MovePointer(r.left + 400, r.bottom - 30));
    ASSERT_TRUE(WaitFor([&] { return WindowOpacity(panel) == 240; }));
    ASSERT_TRUE(MovePointer(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) - 10));
    EXPECT_TRUE(WaitFor([&] { return WindowOpacity(panel) == 180; }));
    // Over the taskbar the panel stays for several ticks.
    EXPECT_FALSE(WaitFor([&] { return !Shown(); }, Milliseconds{2500}));
    ASSERT_TRUE(MovePointer(100, 100));
    EXPECT_TRUE(WaitFor([&] { return !Shown(); }));
    // Hidden is minimized with no labels: showing again starts at 240.
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    EXPECT_EQ(WindowOpacity(panel), 240);
}

// The menu's "Exit" ends the process after releasing every registration:
// its atoms are gone, which a killed process would leave behind.
TEST_F(TrayPanelTest, ExitReleasesTheRegistrations) {
    const std::vector<HotkeyEntry> entries = {Entry(true, 'M', ModWin, "maximize"),
                                              Entry(true, 'S', ModCtrl | ModAlt, "capturescreen")};
    ASSERT_NO_FATAL_FAILURE(Start(entries));
    for (const HotkeyEntry& e : entries)
        ASSERT_NE(GlobalFindAtomA(HotkeyAtomName(e.key, e.shift).c_str()), 0);
    ASSERT_NO_FATAL_FAILURE(ChooseExit());
    ASSERT_TRUE(corvinade.WaitForExit(DefaultTimeout));
    EXPECT_EQ(corvinade.ExitCode(), 0u);
    for (const HotkeyEntry& e : entries)
        EXPECT_EQ(GlobalFindAtomA(HotkeyAtomName(e.key, e.shift).c_str()), 0)
            << HotkeyAtomName(e.key, e.shift);
}

// Explorer restarted: the icon the shell has lost (taken away here by
// another program) comes back at the broadcast "TaskbarCreated" and works.
TEST_F(TrayPanelTest, IconComesBackWhenTheTaskbarIsCreatedAgain) {
    ASSERT_NO_FATAL_FAILURE(Start({Entry(true, 'M', ModWin, "maximize")}));
    const HWND app = WaitForWindow({"CorvinadeApplication", "", corvinade.Id(), false});
    ASSERT_NE(app, nullptr);
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V2_SIZE;
    icon.hWnd = app;
    icon.uID = 1; // the program's one icon
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon)) << "the program shows no icon 1";
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
    ASSERT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &icon));
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG,
                        5000, &result);
    EXPECT_TRUE(WaitFor([&] { return Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE; })) << "no icon again";
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
}

// Log-off while the settings window is open with a row in edit: the program
// agrees, ends at once and cleanly (registrations given back), and the file
// stays as it was, never half-written.
TEST_F(TrayPanelTest, LogOffEndsCleanlyWithoutWriting) {
    const std::vector<HotkeyEntry> entries = {Entry(true, 'M', ModWin, "maximize"),
                                              Entry(true, 'N', ModWin, "openfile", "notepad.exe")};
    ASSERT_NO_FATAL_FAILURE(Start(entries));
    const std::optional<std::string> before = FileContent(HotkeysIniPath());
    ASSERT_TRUE(before);
    ASSERT_TRUE(DoubleClickTrayIcon());
    HWND settings = WaitForSettingsWindow(corvinade.Id());
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(WaitFor([&] { return HotkeyRows(settings).size() == 2; }));
    HWND row = HotkeyRows(settings)[0];
    PostClick(FindDescendant(row, "Button", "&Edit"));
    HWND save = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (save = FindDescendant(row, "Button", "Save")) && IsWindowVisible(save); }));

    const std::vector<HWND> app = FindTopWindows({"CorvinadeApplication", "", corvinade.Id(), false});
    ASSERT_EQ(app.size(), 1u);
    EXPECT_EQ(SendMessageA(app[0], WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageA(app[0], WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    ASSERT_TRUE(corvinade.WaitForExit(Milliseconds{5000}));
    EXPECT_EQ(corvinade.ExitCode(), 0u);
    EXPECT_EQ(FileContent(HotkeysIniPath()), before);
    for (const HotkeyEntry& e : entries)
        EXPECT_EQ(GlobalFindAtomA(HotkeyAtomName(e.key, e.shift).c_str()), 0)
            << HotkeyAtomName(e.key, e.shift);
}

// "Exit" while the panel shows: the panel hides on the way out and the
// program ends cleanly instead of running its hide handler on a half-gone
// window object. The menu is worked with the keyboard, so the pointer stays
// on the taskbar and the panel's timer keeps it shown until the end.
TEST_F(TrayPanelTest, ExitWhileThePanelShowsEndsCleanly) {
    ASSERT_NO_FATAL_FAILURE(
        Start({Entry(true, 'M', ModWin, "maximize"), Entry(true, 'N', ModWin, "minimize")}));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    HWND menu = nullptr;
    for (int attempt = 0; attempt < 5 && !menu; ++attempt) {
        ASSERT_TRUE(ClickTrayIcon(3));
        menu = WaitForWindow({"#32768", "", 0, true}, Milliseconds{4000});
    }
    ASSERT_NE(menu, nullptr) << "no popup menu";
    ASSERT_TRUE(Shown()) << "the panel hid before Exit";
    PressHotkey(VK_UP, 0); // "Exit" is the last item
    PressHotkey(VK_RETURN, 0);
    ASSERT_TRUE(corvinade.WaitForExit(DefaultTimeout));
    EXPECT_EQ(corvinade.ExitCode(), 0u);
    EXPECT_EQ(GlobalFindAtomA(HotkeyAtomName('M', ModWin).c_str()), 0);
}

// The panel is topmost, and a window it owned would be too, floating above
// every program: the settings window its "Manage hotkeys" opens, the
// new-hotkey wizard and the message boxes there are owned by windows that
// are not topmost, and are not topmost themselves.
TEST_F(TrayPanelTest, WindowsOpenedFromThePanelAreNotTopmost) {
    ASSERT_NO_FATAL_FAILURE(Start({Entry(true, 'M', ModWin, "maximize")}));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    ASSERT_TRUE(GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_TOPMOST);
    const RECT p = PanelRect();
    ASSERT_TRUE(MovePointer(p.left + 30, p.bottom - 15));
    ASSERT_TRUE(Xdotool("click 1")); // "Manage hotkeys"
    HWND settings = WaitForWindow({.title = "Settings", .processId = corvinade.Id(), .visibleOnly = true});
    ASSERT_NE(settings, nullptr);
    auto expectNotTopmost = [](HWND window, const char* what) {
        HWND owner = GetWindow(window, GW_OWNER);
        EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) << what;
        ASSERT_NE(owner, nullptr) << what;
        EXPECT_FALSE(GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) << what << "'s owner";
    };
    expectNotTopmost(settings, "the settings window");
    EXPECT_EQ(WindowClass(GetWindow(settings, GW_OWNER)), "CorvinadeApplication");

    ASSERT_TRUE(ClickButton(settings, "&New hotkey"));
    HWND wizard = WaitForWindow({.title = "New hotkey", .processId = corvinade.Id(), .visibleOnly = true});
    ASSERT_NE(wizard, nullptr);
    expectNotTopmost(wizard, "the new-hotkey wizard");
    ASSERT_TRUE(ClickButton(wizard, "&Next")); // no key: an error box
    HWND box = WaitForWindow({.className = "#32770", .processId = corvinade.Id(), .visibleOnly = true});
    ASSERT_NE(box, nullptr);
    expectNotTopmost(box, "the message box");
    ClickButton(box, "OK");
}

} // namespace
} // namespace corvinade::test
