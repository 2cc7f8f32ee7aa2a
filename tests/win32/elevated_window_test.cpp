// The window actions of the action runner ask about their target window
// first: one whose program runs above ours (a fake says so: Wine has no
// integrity levels) is left alone and named in one tray balloon, once.
#include "Harness.h"
#include "app/ActionRunner.h"
#include "gui/Application.h"
#include "gui_testing.h"

#include <gmock/gmock.h>

namespace corvinade {
namespace {

using Balloon = std::pair<std::string, std::string>;

class FakeTargetWindows : public TargetWindowPort {
public:
    bool RunsAboveUs(std::uintptr_t window) override { return window == elevated; }
    std::string WindowTitle(std::uintptr_t window) override {
        return test::WindowText(reinterpret_cast<HWND>(window));
    }
    std::uintptr_t elevated = 0;
};

class RecordingTray : public TrayBalloonPort {
public:
    bool ShowBalloon(const std::string& title, const std::string& text) override {
        shown.emplace_back(title, text);
        return true;
    }
    std::vector<Balloon> shown;
};

using ElevatedWindowTest = gui::testing::AppTest;

TEST_F(ElevatedWindowTest, ActionsLeaveAnElevatedWindowAloneAndSaySoOnce) {
    test::SetSettingText("FirstUse", "0");
    RecordingTray tray;
    auto fake = std::make_unique<FakeTargetWindows>();
    FakeTargetWindows& windows = *fake;
    ActionRunner actions(&tray, std::move(fake));
    test::TestWindow target(WS_OVERLAPPEDWINDOW | WS_VISIBLE, "Run as administrator");
    ASSERT_TRUE(test::BringToForeground(target.Handle()));

    windows.elevated = reinterpret_cast<std::uintptr_t>(target.Handle());
    actions.CloseActiveWindow();
    actions.MaximizeOrRestoreActiveWindow();
    actions.SendKeystrokes("x");
    EXPECT_THAT(tray.shown,
                ::testing::ElementsAre(
                    Balloon{"Corvinade", "\"Run as administrator\" runs as administrator; Corvinade can't "
                                         "control it."}));
    // Once it may: the minimize arrives, after anything posted before it.
    windows.elevated = 0;
    actions.MinimizeActiveWindow();
    ASSERT_TRUE(test::WaitFor([&] { return IsIconic(target.Handle()) != FALSE; }));
    EXPECT_TRUE(IsWindow(target.Handle())) << "the close went through";
    EXPECT_FALSE(IsZoomed(target.Handle()));
    EXPECT_EQ(tray.shown.size(), 1u);
}

} // namespace
} // namespace corvinade
