// A short soak: hotkeys of every kind of action pressed at corvinade.exe leave
// its windows, GDI objects, kernel handles and private memory where they were
// (scripts/soak.sh runs the long one).
#include "Harness.h"
#include "Soak.h"

namespace corvinade::test {
namespace {

class SoakTest : public DesktopTest {};

TEST_F(SoakTest, TwoHundredPressesAndFourCaptureWindowsLeaveNothingBehind) {
    SetSettingText("FirstUse", "0");
    const SoakResult result = RunSoak({.presses = 200, .captures = 4});
    ASSERT_EQ(result.failure, "");
    ASSERT_EQ(result.presses, 200);
    EXPECT_EQ(result.end.windows, result.start.windows);
    ASSERT_GE(result.start.gdiObjects, 0) << "the program did not answer its handle counts";
    EXPECT_EQ(result.end.gdiObjects, result.start.gdiObjects);
    EXPECT_EQ(result.end.kernelHandles, result.start.kernelHandles);
    // The heap may settle a little; a leaked capture image alone is megabytes.
    EXPECT_LT(result.end.privateMb - result.start.privateMb, 1.0)
        << FiguresText(result.start) << " -> " << FiguresText(result.end);
}

} // namespace
} // namespace corvinade::test
