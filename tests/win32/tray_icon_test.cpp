// The tray icon and timer components under Wine: the icon is back after the
// shell announces a new taskbar, a disabled icon fires nothing, a click with
// no double-click handler fires on the release, and a timer with period 0
// stays running without ticks until a period is set again; minimizing the
// owner goes to the tray when asked.
#include "components/SimpleTimer.h"
#include "components/TrayIcon.h"
#include "gui/Form.h"
#include "gui_testing.h"

#include <shellapi.h>

namespace corvinade {
namespace {

using gui::testing::AppTest;

class TrayIconTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        form = std::make_unique<gui::Form>(gui::FormArgs{.clientWidth = 100, .clientHeight = 50});
        icon = std::make_unique<TTrayIcon>(form.get());
        icon->SetIcon(::LoadIconA(nullptr, IDI_APPLICATION));
        icon->SetHint("Corvinade");
    }
    void TearDown() override {
        icon.reset();
        form.reset();
        AppTest::TearDown();
    }

    // The shell's callback for a mouse message on the icon.
    void Callback(UINT mouseMessage) {
        ::SendMessageA(TTrayIcon::HandlerWindow(), TTrayIcon::TrayCallbackMessage, icon->IconId(),
                       mouseMessage);
    }

    std::unique_ptr<gui::Form> form;
    std::unique_ptr<TTrayIcon> icon;
};

TEST_F(TrayIconTest, IconIsAddedAgainWhenTheTaskbarIsCreated) {
    icon->SetIconVisible(true);
    ASSERT_TRUE(icon->RefreshInTray()) << "the icon is not in the tray";
    // The shell forgets it, as a restarted shell does.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = TTrayIcon::HandlerWindow();
    data.uID = static_cast<UINT>(icon->IconId());
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
    EXPECT_FALSE(icon->RefreshInTray());
    ASSERT_NE(TTrayIcon::TaskbarCreatedMessage(), 0u);
    ::SendMessageA(app->Handle(), TTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(icon->RefreshInTray());
    // A hidden icon stays away.
    icon->SetIconVisible(false);
    ::SendMessageA(app->Handle(), TTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_FALSE(icon->RefreshInTray());
}

// A component test of TTrayIcon alone: the program never sets
// MinimizeToTray, so nothing here is something the program does.
TEST_F(TrayIconTest, MinimizingTheOwnerGoesToTheTrayOnlyWhenAsked) {
    form->Show();
    int minimized = 0;
    icon->OnMinimizeToTray = [&] { ++minimized; };
    ::SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(minimized, 0) << "MinimizeToTray is off";
    ::SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    icon->MinimizeToTray = true;
    ::SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(minimized, 1);
    // Gone with the icon: the owner minimizes as any window again.
    icon.reset();
    form->Show();
    ::SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(minimized, 1);
}

TEST_F(TrayIconTest, ClickWithoutDoubleClickHandlerFiresOnReleaseAndNotWhileDisabled) {
    int clicks = 0, downs = 0;
    icon->OnClick = [&] { ++clicks; };
    icon->OnMouseDown = [&](gui::MouseButton b, gui::ShiftState s, int, int) {
        EXPECT_EQ(b, gui::MouseButton::Left);
        EXPECT_TRUE(s & gui::ssLeft);
        ++downs;
    };
    icon->Enabled = false;
    Callback(WM_LBUTTONDOWN);
    Callback(WM_LBUTTONUP);
    EXPECT_EQ(clicks + downs, 0);
    icon->Enabled = true;
    Callback(WM_LBUTTONDOWN);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(clicks, 0);
    Callback(WM_LBUTTONUP);
    EXPECT_EQ(clicks, 1);
}

// Version 4: the event and the icon in lParam. The NIN_SELECT that follows
// a click's release is the click's; one on its own, or NIN_KEYSELECT, is the
// keyboard's. Another icon's events pass by.
TEST_F(TrayIconTest, Version4TellsTheKeyboardFromTheMouse) {
    icon->SetCallbackVersion(NOTIFYICON_VERSION_4);
    int clicks = 0, keys = 0;
    icon->OnClick = [&] { ++clicks; };
    icon->OnKeySelect = [&] { ++keys; };
    auto event = [&](UINT what, UINT id) {
        ::SendMessageA(TTrayIcon::HandlerWindow(), TTrayIcon::TrayCallbackMessage, MAKEWPARAM(10, 20),
                       MAKELPARAM(what, id));
    };
    const UINT own = static_cast<UINT>(icon->IconId());
    event(WM_LBUTTONDOWN, own);
    event(WM_LBUTTONUP, own);
    event(NIN_SELECT, own);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(keys, 0);
    event(NIN_SELECT, own);
    event(NIN_KEYSELECT, own);
    EXPECT_EQ(keys, 2);
    event(NIN_KEYSELECT, own + 1);
    event(WM_LBUTTONDOWN, own + 1);
    event(WM_LBUTTONUP, own + 1);
    EXPECT_EQ(keys, 2);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TrayIconTest, IconIndexPastTheListSelectsTheLastImage) {
    gui::ImageList list(16, 16);
    ASSERT_TRUE(list.AddIcon(::LoadIconA(nullptr, IDI_APPLICATION)));
    ASSERT_TRUE(list.AddIcon(::LoadIconA(nullptr, IDI_WARNING)));
    icon->SetIconList(&list);
    EXPECT_EQ(icon->IconIndex(), 0);
    icon->SetIconIndex(5);
    EXPECT_EQ(icon->IconIndex(), 1);
    EXPECT_NE(icon->Icon(), nullptr);
    icon->SetIconList(nullptr);
}

TEST_F(AppTest, TimerWithPeriodZeroKeepsRunningWithoutTicks) {
    int ticks = 0;
    TSimpleTimer timer(20, [&](TSimpleTimer&) { ++ticks; });
    const int armedBefore = TSimpleTimer::ArmedCount();
    ASSERT_TRUE(timer.Arm());
    EXPECT_EQ(TSimpleTimer::ArmedCount(), armedBefore + 1);
    timer.SetPeriodMs(0);
    EXPECT_TRUE(timer.Running());
    EXPECT_EQ(TSimpleTimer::ArmedCount(), armedBefore);
    timer.SetPeriodMs(20);
    EXPECT_EQ(TSimpleTimer::ArmedCount(), armedBefore + 1);
    MSG msg;
    while (ticks < 2 && ::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    EXPECT_GE(ticks, 2);
    timer.StopOnFire = true;
    while (timer.Running() && ::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    EXPECT_FALSE(timer.Running());
    EXPECT_EQ(TSimpleTimer::ArmedCount(), armedBefore);
}

} // namespace
} // namespace corvinade
