// CaptureScreen over a desktop of two monitors that a fake port lays over
// the one screen Wine has here: the grab comes from the monitor holding the
// foreground window, and its window opens on that monitor's work area and
// at its dpi. A window without area opens nothing and says so in one
// balloon.
#include "capture/CaptureTarget_win.h"
#include "capture/CaptureWindow.h"
#include "gui/Dpi.h"
#include "gui_testing.h"

#include <gmock/gmock.h>

#include <string>
#include <utility>
#include <vector>

namespace corvinade {
namespace {

// The 1280 x 800 screen cut in two: the primary right, a 144-dpi monitor
// left with a taskbar along its top.
class TwoMonitors : public MonitorPort {
public:
    std::vector<MonitorArea> Monitors() const override {
        return {{{640, 0, 1280, 800}, {640, 0, 1280, 800}, 96, true},
                {{0, 0, 640, 800}, {0, 40, 640, 800}, 144, false}};
    }
};

class RecordingTray : public TrayBalloonPort {
public:
    bool ShowBalloon(const std::string& title, const std::string& text) override {
        balloons.emplace_back(title, text);
        return true;
    }
    std::vector<std::pair<std::string, std::string>> balloons;
};

class CaptureScreenTest : public gui::testing::AppTest {
protected:
    // A window of ours in front, at these screen bounds.
    HWND ShowForeground(int left, int top, int width, int height) {
        foreground = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, left, top,
                                       width, height, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ::SetForegroundWindow(foreground);
        return ::GetForegroundWindow();
    }
    void TearDown() override {
        ::DestroyWindow(foreground);
        AppTest::TearDown();
    }

    HWND foreground = nullptr;
    CaptureWindowList windows;
    RecordingTray tray;
};

TEST_F(CaptureScreenTest, ScreenGrabOpensOnTheMonitorOfTheForegroundWindow) {
    ASSERT_EQ(ShowForeground(100, 200, 300, 150), foreground);
    CaptureWindow* capture = CaptureScreen(false, windows, &tray, TwoMonitors());
    ASSERT_NE(capture, nullptr);
    EXPECT_EQ(capture->CaptureImage.ImageWidth(), 640);
    EXPECT_EQ(capture->CaptureImage.ImageHeight(), 800);
    // No larger than the work area, as any form (its buttons want 780
    // pixels across at 144 dpi, more than the 640 there), the image fitted
    // inside.
    const RECT bounds = capture->Bounds();
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 40);
    EXPECT_EQ(bounds.right, 640);
    EXPECT_EQ(bounds.bottom, 800);
    EXPECT_EQ(capture->Dpi(), 144);
    // Laid out at 144 dpi. (Wine draws every frame at the system's dpi, so
    // the client area is not quite the designed one here.)
    RECT button = {};
    ::GetWindowRect(capture->btnSave.Handle(), &button);
    EXPECT_EQ(button.bottom - button.top, gui::Scale(25, 144));
    EXPECT_TRUE(tray.balloons.empty());
}

TEST_F(CaptureScreenTest, WindowWithoutAreaShowsOneBalloonAndNoWindow) {
    ASSERT_EQ(ShowForeground(300, 300, 0, 0), foreground);
    EXPECT_EQ(CaptureScreen(true, windows, &tray, TwoMonitors()), nullptr);
    EXPECT_EQ(windows.Count(), 0u);
    EXPECT_THAT(tray.balloons, ::testing::ElementsAre(std::pair<std::string, std::string>(
                                   "Nothing to capture", "The active window has no area on any screen.")));
}

} // namespace
} // namespace corvinade
