// End-to-end tests of pausing the hotkeys: from the tray's menu, with the
// pause hotkey (which stays registered while the others are paused), and
// while a program in front covers its monitor. A paused combination is
// free: another program can register it.
#include "ActionTest.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"

#include <oleacc.h>

namespace corvinade::test {
namespace {

constexpr UINT PauseKey = 'P', PauseShift = ModCtrl | ModAlt;

class PauseTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override {
        CoUninitialize();
        ActionTest::TearDown();
    }

    static bool Free(UINT key, UINT shift) { return !IsCombinationTaken(key, shift); }
    bool AllFree() { return Free('M', ModWin) && Free(ProbeKey, ProbeShift); }

    // What a screen reader hears as the panel's name.
    std::string PanelName() {
        IAccessible* object = nullptr;
        if (AccessibleObjectFromWindow(FindPanel(corvinade.Id()), static_cast<DWORD>(OBJID_CLIENT),
                                       IID_IAccessible, reinterpret_cast<void**>(&object)) != S_OK)
            return "(no accessible object)";
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        std::string text = object->get_accName(self, &name) == S_OK && name ? Utf8Of(name) : "";
        SysFreeString(name);
        object->Release();
        return text;
    }
};

// The menu's "Pause hotkeys" (just above "Exit") gives every combination
// back but the pause hotkey's; that one resumes them.
TEST_F(PauseTest, TheTrayPausesAndThePauseHotkeyResumes) {
    ASSERT_NO_FATAL_FAILURE(
        StartCorvinade({Hotkey('M', ModWin, "maximize"), Hotkey(PauseKey, PauseShift, "togglehotkeys")}));
    HWND menu = nullptr;
    for (int attempt = 0; attempt < 5 && !menu; ++attempt) {
        ASSERT_TRUE(ClickTrayIcon(3));
        menu = WaitForWindow({"#32768", "", 0, true}, Milliseconds{4000});
    }
    ASSERT_NE(menu, nullptr) << "no popup menu";
    PressHotkey(VK_UP, 0); // "Exit"
    PressHotkey(VK_UP, 0); // "Pause hotkeys"
    PressHotkey(VK_RETURN, 0);

    ASSERT_TRUE(WaitFor([&] { return AllFree(); })) << "the paused combinations are still held";
    EXPECT_TRUE(IsCombinationTaken(PauseKey, PauseShift)) << "the pause hotkey was given up too";
    EXPECT_EQ(PanelName(), "Active hotkeys, paused");

    PressHotkey(PauseKey, PauseShift);
    ASSERT_TRUE(WaitForHotkeyRegistration('M', ModWin));
    ASSERT_NO_FATAL_FAILURE(ProveHotkeysWork());
    EXPECT_EQ(PanelName(), "Active hotkeys");
}

// The option, ticked in the settings window, is stored; a window that
// covers the monitor pauses the hotkeys while it is in front.
TEST_F(PauseTest, AWindowCoveringItsMonitorPausesTheHotkeysWhileInFront) {
    ASSERT_NO_FATAL_FAILURE(StartCorvinade({Hotkey('M', ModWin, "maximize")}));
    ASSERT_TRUE(DoubleClickTrayIcon());
    HWND settings = WaitForSettingsWindow(corvinade.Id());
    ASSERT_NE(settings, nullptr);
    HWND box = FindDescendant(settings, "Button", "&Pause while a program runs full screen");
    ASSERT_NE(box, nullptr);
    ASSERT_FALSE(IsChecked(box));
    ASSERT_TRUE(BringToForeground(settings));
    SendKeyEvent(VK_CONTROL, false); // Ctrl+Tab: "Other settings"
    SendKeyEvent(VK_TAB, false);
    SendKeyEvent(VK_TAB, true);
    SendKeyEvent(VK_CONTROL, true);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(box) != FALSE; }));
    ASSERT_TRUE(PostClick(box));
    ASSERT_TRUE(WaitFor([] { return SettingText("PauseFullScreen") == "1"; }));

    TestWindow game(WS_POPUP);
    SetWindowPos(game.Handle(), HWND_TOP, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_SHOWWINDOW);
    ASSERT_TRUE(BringToForeground(game.Handle()));
    ASSERT_TRUE(WaitFor([&] { return AllFree(); })) << "a full-screen window did not pause the hotkeys";

    TestWindow other(WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(BringToForeground(other.Handle()));
    ASSERT_TRUE(WaitForHotkeyRegistration('M', ModWin));
    ASSERT_NO_FATAL_FAILURE(ProveHotkeysWork());
}

} // namespace
} // namespace corvinade::test
