// End-to-end tests of the window actions on the foreground window: Wine's
// Notepad, and windows of the test process whose style the test chooses and
// which record the system commands they receive.
#include "ActionTest.h"

#include <algorithm>

namespace corvinade::test {
namespace {

constexpr UINT MaximizeKey = 'X';
constexpr UINT MinimizeKey = 'N';
constexpr UINT CloseKey = 'Q';

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

// How many SC_MINIMIZE system commands the window received (the low four
// bits of the command are the system's own).
long MinimizeCommands(const TestWindow& window) {
    const std::vector<WPARAM>& commands = window.SystemCommands();
    return std::count_if(commands.begin(), commands.end(),
                         [](WPARAM command) { return (command & 0xFFF0) == SC_MINIMIZE; });
}

class ActionsWindowTest : public ActionTest {
protected:
    void StartWithWindowActions() {
        StartCorvinade({Hotkey(MaximizeKey, ModWin, "maximize"), Hotkey(MinimizeKey, ModWin, "minimize"),
                        Hotkey(CloseKey, ModWin, "close")});
    }

    // Presses the probe after an action: its text in the clipboard shows the
    // action has run; what the action posted to the test's own windows is
    // then in the queue, and is dispatched here.
    void AfterTheAction() {
        ASSERT_NO_FATAL_FAILURE(ProveHotkeysWork());
        PumpMessagesFor(Milliseconds(0));
    }
};

TEST_F(ActionsWindowTest, MaximizeTogglesNotepadBetweenMaximizedAndRestored) {
    ASSERT_NO_FATAL_FAILURE(StartWithWindowActions());
    const HWND window = StartNotepad();
    ASSERT_NE(window, nullptr) << "no Notepad window";
    ASSERT_FALSE(IsZoomed(window));

    PressHotkey(MaximizeKey, ModWin);
    EXPECT_TRUE(WaitFor([&] { return IsZoomed(window); })) << "not maximized";
    PressHotkey(MaximizeKey, ModWin);
    EXPECT_TRUE(WaitFor([&] { return !IsZoomed(window) && !IsIconic(window); })) << "not restored";

    // Minimized but still the active window: maximized, not restored.
    ShowWindow(window, SW_SHOWMINIMIZED);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(window) && GetForegroundWindow() == window; }));
    PressHotkey(MaximizeKey, ModWin);
    EXPECT_TRUE(WaitFor([&] { return IsZoomed(window); })) << "a minimized window was not maximized";
}

// Only a window with a maximize box is maximized or restored; one without it
// keeps its state, normal or maximized.
TEST_F(ActionsWindowTest, MaximizeLeavesAWindowWithoutMaximizeBoxAlone) {
    struct Case {
        const char* name;
        DWORD style;
        bool maximizedBefore;
        bool maximizedAfter;
    };
    const Case cases[] = {
        {"dialog", DialogStyle, false, false},
        {"maximized dialog", DialogStyle, true, true},
        {"dialog with maximize box", DialogStyle | WS_MAXIMIZEBOX, false, true},
    };
    ASSERT_NO_FATAL_FAILURE(StartWithWindowActions());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow target(c.style, c.name);
        if (c.maximizedBefore)
            ShowWindow(target.Handle(), SW_SHOWMAXIMIZED);
        ASSERT_TRUE(BringToForeground(target.Handle()));
        ASSERT_EQ(IsZoomed(target.Handle()) != FALSE, c.maximizedBefore);

        PressHotkey(MaximizeKey, ModWin);
        ASSERT_NO_FATAL_FAILURE(AfterTheAction());
        EXPECT_EQ(IsZoomed(target.Handle()) != FALSE, c.maximizedAfter);
    }
}

TEST_F(ActionsWindowTest, MinimizeMakesNotepadIconic) {
    ASSERT_NO_FATAL_FAILURE(StartWithWindowActions());
    const HWND window = StartNotepad();
    ASSERT_NE(window, nullptr) << "no Notepad window";

    PressHotkey(MinimizeKey, ModWin);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(window); })) << "not minimized";
}

// The request arrives as the system command SC_MINIMIZE, and only for a
// window with a minimize box.
TEST_F(ActionsWindowTest, MinimizeArrivesAsASystemCommandOnlyWithAMinimizeBox) {
    struct Case {
        const char* name;
        DWORD style;
        bool minimized;
    };
    const Case cases[] = {
        {"dialog", DialogStyle, false},
        {"dialog with minimize box", DialogStyle | WS_MINIMIZEBOX, true},
    };
    ASSERT_NO_FATAL_FAILURE(StartWithWindowActions());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow target(c.style, c.name);
        ASSERT_TRUE(BringToForeground(target.Handle()));

        PressHotkey(MinimizeKey, ModWin);
        ASSERT_NO_FATAL_FAILURE(AfterTheAction());
        EXPECT_EQ(MinimizeCommands(target), c.minimized ? 1 : 0);
        EXPECT_EQ(IsIconic(target.Handle()) != FALSE, c.minimized);
    }
}

TEST_F(ActionsWindowTest, CloseClosesNotepad) {
    ASSERT_NO_FATAL_FAILURE(StartWithWindowActions());
    const HWND window = StartNotepad();
    ASSERT_NE(window, nullptr) << "no Notepad window";

    PressHotkey(CloseKey, ModWin);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); })) << "Notepad's window is still there";
    EXPECT_TRUE(notepad.WaitForExit(DefaultTimeout)) << "Notepad still runs";
    ASSERT_NO_FATAL_FAILURE(ProveHotkeysWork());
}

} // namespace
} // namespace corvinade::test
