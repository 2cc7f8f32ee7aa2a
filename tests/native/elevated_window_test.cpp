// The notice for windows of programs that run as administrator: the action
// is held back and the user told, once per window, whether the integrity
// level gave it away or the system refused the call.
#include "app/ElevatedWindow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace corvinade {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Balloon = std::pair<std::string, std::string>;

class FakeWindows : public TargetWindowPort {
public:
    bool RunsAboveUs(std::uintptr_t window) override { return elevated.contains(window); }
    std::string WindowTitle(std::uintptr_t window) override {
        return window == 3 ? "" : "Window " + std::to_string(window);
    }
    std::set<std::uintptr_t> elevated;
};

class FakeTray : public TrayBalloonPort {
public:
    bool ShowBalloon(const std::string& title, const std::string& text) override {
        shown.emplace_back(title, text);
        return true;
    }
    std::vector<Balloon> shown;
};

TEST(ElevatedWindowNotice, EachElevatedWindowIsToldOnce) {
    FakeWindows windows;
    FakeTray tray;
    TElevatedWindowNotice notice;
    windows.elevated = {1, 3};
    EXPECT_TRUE(notice.CanControl(2, windows, tray));
    EXPECT_TRUE(notice.CanControl(0, windows, tray)); // no foreground window: nothing to tell
    EXPECT_THAT(tray.shown, IsEmpty());

    EXPECT_FALSE(notice.CanControl(1, windows, tray));
    EXPECT_FALSE(notice.CanControl(1, windows, tray));
    notice.Refused(1, windows, tray);
    EXPECT_FALSE(notice.CanControl(3, windows, tray));
    // A refusal the integrity level did not foretell.
    notice.Refused(2, windows, tray);
    notice.Refused(2, windows, tray);
    EXPECT_THAT(
        tray.shown,
        ElementsAre(Balloon{"Corvinade", "\"Window 1\" runs as administrator; Corvinade can't control it."},
                    Balloon{"Corvinade", "This window runs as administrator; Corvinade can't control it."},
                    Balloon{"Corvinade", "\"Window 2\" runs as administrator; Corvinade can't control it."}));
}

} // namespace
} // namespace corvinade
