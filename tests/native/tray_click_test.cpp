// Single click versus double click of the tray icon, driven by a fake timer
// on a manual clock, with the system's message sequences.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "components/ClickTracker.h"
#include "components/TrayTip.h"

using namespace corvinade;

namespace {

// A one-shot-until-disarmed timer on a clock the test advances.
class FakeTimer : public ClickTimerPort {
public:
    void Arm(std::uint32_t periodMs) override {
        period_ = periodMs;
        due_ = now_ + periodMs;
    }
    void Disarm() override { due_.reset(); }
    bool Running() const override { return due_.has_value(); }

    // Advances the clock, ticking the tracker at each due time.
    void Advance(std::uint32_t ms, ClickTracker& tracker) {
        const std::uint64_t end = now_ + ms;
        while (due_ && *due_ <= end) {
            now_ = *due_;
            due_ = now_ + period_; // periodic until the tracker disarms it
            tracker.TimerElapsed();
        }
        now_ = end;
    }
    std::uint64_t Now() const { return now_; }

private:
    std::uint64_t now_ = 0;
    std::uint32_t period_ = 0;
    std::optional<std::uint64_t> due_;
};

constexpr std::uint32_t DoubleClickTime = 500;

class TrayClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        tracker.OnClick = [this] { events.push_back("click@" + std::to_string(timer.Now())); };
        tracker.OnDblClick = [this] { events.push_back("dblclick@" + std::to_string(timer.Now())); };
    }
    void Down() { tracker.LeftButtonDown(DoubleClickTime, tracker.OnDblClick != nullptr); }
    void Up() { tracker.LeftButtonUp(); }
    void Wait(std::uint32_t ms) { timer.Advance(ms, tracker); }

    FakeTimer timer;
    ClickTracker tracker{timer};
    std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST_F(TrayClickTest, SingleClickFiresOnceOneDoubleClickTimeAfterThePress) {
    Down();
    Wait(80);
    Up();
    EXPECT_TRUE(events.empty());
    Wait(2000);
    EXPECT_EQ(events, Events{"click@500"});
    EXPECT_FALSE(timer.Running());
}

TEST_F(TrayClickTest, DoubleClickFiresOnlyTheDoubleClick) {
    // The system's sequence: down, up, double-click, up.
    Down();
    Wait(60);
    Up();
    Wait(100);
    tracker.LeftButtonDoubleClick();
    Wait(60);
    Up();
    Wait(2000);
    EXPECT_EQ(events, Events{"dblclick@160"});
}

TEST_F(TrayClickTest, PressHeldPastTheDoubleClickTimeFiresOnRelease) {
    Down();
    Wait(900);
    EXPECT_TRUE(events.empty());
    Up();
    EXPECT_EQ(events, Events{"click@900"});
    Wait(2000);
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(TrayClickTest, WithoutDoubleClickHandlerTheClickFiresOnRelease) {
    tracker.OnDblClick = nullptr;
    Down();
    Wait(30);
    Up();
    EXPECT_EQ(events, Events{"click@30"});
    EXPECT_FALSE(timer.Running());
}

TEST_F(TrayClickTest, TwoSlowClicksAreTwoClicksAndADoubleClickAfterThemIsNot) {
    Down();
    Up();
    Wait(600);
    Down();
    Up();
    Wait(600);
    EXPECT_EQ(events, (Events{"click@500", "click@1100"}));
    Down();
    Up();
    tracker.LeftButtonDoubleClick();
    Up();
    Wait(600);
    EXPECT_EQ(events, (Events{"click@500", "click@1100", "dblclick@1200"}));
    // The double click's mark is cleared by its tick: the next single click counts.
    Down();
    Up();
    Wait(600);
    EXPECT_EQ(events.back(), "click@2300");
}

TEST_F(TrayClickTest, ReleaseWithoutPressFiresNothing) {
    Up();
    Wait(1000);
    EXPECT_TRUE(events.empty());
}

TEST(TrayTipTest, HintIsCutTo127UnitsOrLeftEmpty) {
    const std::string longHint(200, 'h');
    const auto cut = TrayTipText(longHint, true);
    EXPECT_EQ(std::u16string(cut.data()), std::u16string(127, u'h'));
    EXPECT_EQ(cut[127], u'\0');
    EXPECT_EQ(std::u16string(TrayTipText("Corvinade \xD0\x9F", true).data()), u"Corvinade \u041F");
    const auto exact = TrayTipText(std::string(127, 'x'), true);
    EXPECT_EQ(std::u16string(exact.data()).size(), 127u);
    // An emoji is two units: the one that would end at unit 128 is left out whole.
    std::string emoji;
    for (int i = 0; i < 64; ++i)
        emoji += "\xF0\x9F\x98\x80";
    EXPECT_EQ(std::u16string(TrayTipText(emoji, true).data()).size(), 126u);
    for (const auto& tip : {TrayTipText("", true), TrayTipText("Corvinade", false)})
        for (char16_t c : tip)
            ASSERT_EQ(c, u'\0');
}

TEST(TrayTipTest, HintCountsTheActiveHotkeys) {
    EXPECT_EQ(TrayHintText("Corvinade", 6), "Corvinade: 6 hotkeys active");
    EXPECT_EQ(TrayHintText("Corvinade", 1), "Corvinade: 1 hotkey active");
    EXPECT_EQ(TrayHintText("Corvinade", 0), "Corvinade: no hotkeys active");
}

} // namespace
