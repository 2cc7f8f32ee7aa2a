// A random walk of 200 user steps through corvinade.exe's windows, from a
// fixed seed (scripts/walk.sh walks longer, from any seed).
#include "Harness.h"
#include "Walk.h"

namespace corvinade::test {
namespace {

class WalkTest : public DesktopTest {};

// After every step the program answers, its topmost window takes input,
// hotkeys.ini holds what the settings window shows, and Wine reported no
// heap error or page fault; every Exit ends it cleanly.
TEST_F(WalkTest, RandomUserStepsKeepTheProgramUsable) {
    const WalkResult result = RunWalk({.steps = 200, .seed = 1});
    ASSERT_EQ(result.failure, "");
    EXPECT_EQ(result.steps, 200);
    // The walk still finds what it acts on in the windows (their captions).
    for (const char* step : {"settings: Edit", "settings: Save", "settings: Delete", "new hotkey: Next",
                             "message box: answer", "tray: panel's Manage hotkeys"})
        EXPECT_GT(result.taken.at(step), 0) << step;
}

} // namespace
} // namespace corvinade::test
