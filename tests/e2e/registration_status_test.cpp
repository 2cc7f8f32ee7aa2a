// End-to-end test of hotkeys that fail to register: one whose combination
// this test process holds (another program, to Corvinade), one taken by an
// earlier hotkey of the list. The tray panel shows them in bold red with a
// line that says so, their settings rows say why (the mark's tooltip and
// the row's name), and once the combination is free a save registers it.
#include <gmock/gmock.h>

#include "Harness.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"
#include "app/PanelLayout.h"

#include <wtsapi32.h>

namespace corvinade::test {
namespace {

using ::testing::ElementsAre;

constexpr int HeldId = 1;
constexpr int SecondHeldId = 2;
const COLORREF FailedColour = RGB(192, 0, 0);

class RegistrationStatusTest : public DesktopTest {
protected:
    void TearDown() override {
        UnregisterHotKey(nullptr, HeldId);
        UnregisterHotKey(nullptr, SecondHeldId);
        DesktopTest::TearDown();
    }

    // One text cell of the panel, in panel coordinates, drawn as expected.
    static bool CellShows(HWND panel, int left, int top, int width, const std::string& text, bool bold,
                          COLORREF colour) {
        RECT p = {};
        GetWindowRect(panel, &p);
        const RECT area = {p.left + left, p.top + top, p.left + left + width, p.top + top + 13};
        const std::vector<COLORREF> expected = RenderCell(text, bold, width, 13, colour);
        return WaitFor([&] { return ScreenPixels(area) == expected; }, Milliseconds{5000});
    }

    // The visible tooltip of the process, as the mouse resting on `point` brings it up.
    HWND TooltipAt(POINT point) {
        HWND tip = nullptr;
        MovePointer(point.x - 3, point.y);
        MovePointer(point.x, point.y);
        WaitFor([&] {
            const auto tips = FindTopWindows({"tooltips_class32", "", corvinade.Id(), true});
            tip = tips.empty() ? nullptr : tips.front();
            return tip != nullptr;
        });
        return tip;
    }

    Process corvinade;
};

TEST_F(RegistrationStatusTest, FailedHotkeysAreMarkedAndTriedAgainAtTheNextReload) {
    SetSettingText("FirstUse", "0");
    ASSERT_TRUE(RegisterHotKey(nullptr, HeldId, ModWin, 'S'));
    WriteHotkeysIni({{true, 'N', ModWin, "openfile", "notepad.exe", ""},
                     {true, 'S', ModWin, "capturescreen", "", ""},
                     {true, 'N', ModWin, "openwebsite", "example.org", ""}});
    corvinade = Process::Start(CorvinadeExe());
    // The start registers all three in one go; the panel shows once it is over.
    ASSERT_TRUE(WaitForHotkeyRegistration('N', ModWin));

    // The panel: the two that failed in bold red, the first WIN + N as it was.
    HWND panel = FindPanel(corvinade.Id());
    ASSERT_NE(panel, nullptr);
    // Wine's balloon covers the tray icon for its first seconds.
    for (int attempt = 0; attempt < 8 && !IsWindowVisible(panel); ++attempt) {
        ASSERT_TRUE(ClickTrayIcon());
        WaitFor([&] { return IsWindowVisible(panel) != FALSE; }, Milliseconds{4000});
    }
    ASSERT_TRUE(IsWindowVisible(panel)) << "the panel did not show after clicks on the tray icon";
    const COLORREF text = GetSysColor(COLOR_INFOTEXT);
    // The columns are sized to their widest texts, the failed ones bold.
    const int hotkeyWidth =
        std::max({TextWidth("Hotkey", true), TextWidth("WIN + N", true), TextWidth("WIN + S", true)});
    const int actionWidth = std::max({TextWidth("Action", true), TextWidth("Open file", false),
                                      TextWidth("Capture screen", false), TextWidth("Open website", false)});
    const auto columns = PanelColumns({hotkeyWidth, actionWidth, TextWidth("example.org", false)}, 579);
    const int action = columns[1].left;
    EXPECT_TRUE(CellShows(panel, 8, 25, hotkeyWidth, "WIN + N", false, text));
    EXPECT_TRUE(CellShows(panel, action, 25, actionWidth, "Open file", false, text));
    EXPECT_TRUE(CellShows(panel, 8, 46, hotkeyWidth, "WIN + S", true, FailedColour));
    EXPECT_TRUE(CellShows(panel, action, 46, actionWidth, "Capture screen", false, text));
    EXPECT_TRUE(CellShows(panel, 8, 67, hotkeyWidth, "WIN + N", true, FailedColour));
    EXPECT_TRUE(
        CellShows(panel, 138, 95, 320, "Hotkeys in red could not be registered.", false, FailedColour));

    // The settings window, from the panel's "Manage hotkeys": the file's last
    // hotkey on top, each failed row saying why.
    RECT p = {};
    GetWindowRect(panel, &p);
    ASSERT_TRUE(MovePointer(p.left + 30, p.bottom - 15));
    ASSERT_TRUE(Xdotool("click 1"));
    HWND settings = WaitForSettingsWindow(corvinade.Id());
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(WaitFor([&] { return HotkeyRows(settings).size() == 3; }));
    EXPECT_THAT(
        RowCaptions(settings),
        ElementsAre("WIN + N, Open website, example.org, active, not registered: An earlier hotkey of "
                    "this list, WIN + N (Open file), takes this combination.",
                    "WIN + S, Capture screen, active, not registered: Another program uses this "
                    "combination.",
                    "WIN + N, Open file, notepad.exe, active"));
    // The mark lies under the modifiers and the key: 142 + 30, 62 + 8 in the row.
    HWND heldRow = HotkeyRows(settings)[1];
    POINT mark = {172, 70};
    ClientToScreen(heldRow, &mark);
    HWND tip = TooltipAt(mark);
    ASSERT_NE(tip, nullptr) << "no tooltip over the mark";
    EXPECT_EQ(WindowText(tip), "Another program uses this combination.");

    // The other program lets the combination go; the next save registers it.
    ASSERT_TRUE(UnregisterHotKey(nullptr, HeldId));
    PostClick(FindDescendant(heldRow, "Button", "&Edit"));
    HWND save = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (save = FindDescendant(heldRow, "Button", "Save")) && IsWindowVisible(save); }));
    PostClick(save);
    EXPECT_TRUE(WaitForHotkeyRegistration('S', ModWin));
    EXPECT_TRUE(WaitFor([&] { return RowCaptions(settings).at(1) == "WIN + S, Capture screen, active"; }))
        << RowCaptions(settings).at(1);
}

// After an unlock and after a resume the program tries its failed hotkeys
// again: a combination another program let go meanwhile is taken.
TEST_F(RegistrationStatusTest, UnlockAndResumeRegisterFailedHotkeysAgain) {
    SetSettingText("FirstUse", "0");
    ASSERT_TRUE(RegisterHotKey(nullptr, HeldId, ModWin, 'S'));
    ASSERT_TRUE(RegisterHotKey(nullptr, SecondHeldId, ModWin, 'K'));
    WriteHotkeysIni({{true, 'N', ModWin, "openfile", "notepad.exe", ""},
                     {true, 'S', ModWin, "capturescreen", "", ""},
                     {true, 'K', ModWin, "maximize", "", ""}});
    corvinade = Process::Start(CorvinadeExe());
    ASSERT_TRUE(WaitForHotkeyRegistration('N', ModWin));
    const HWND app = WaitForWindow({"CorvinadeApplication", "", corvinade.Id(), false});
    ASSERT_NE(app, nullptr);

    ASSERT_TRUE(UnregisterHotKey(nullptr, HeldId));
    SendMessageA(app, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    EXPECT_TRUE(WaitForHotkeyRegistration('S', ModWin)) << "not registered again after the unlock";

    ASSERT_TRUE(UnregisterHotKey(nullptr, SecondHeldId));
    SendMessageA(app, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(WaitForHotkeyRegistration('K', ModWin)) << "not registered again after the resume";
    EXPECT_TRUE(IsCombinationTaken('N', ModWin));
}

} // namespace
} // namespace corvinade::test
