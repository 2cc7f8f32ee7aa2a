// Scaling at 144 dpi: design pixels, the default font and a form's client
// area grow by half, rounded as MulDiv rounds. ctest runs these cases with
// CORVINADE_DPI=144 (wine-run.sh sets the prefix's dpi); run by hand without
// it they skip.
#include "gui/Dpi.h"
#include "gui/Button.h"
#include "gui/Form.h"
#include "gui/Panel.h"
#include "gui/Handles.h"
#include "gui_testing.h"

#include <cstdlib>
#include <string>

namespace corvinade::gui {
namespace {

class GuiAt144Dpi : public testing::AppTest {
protected:
    void SetUp() override {
        const char* dpi = std::getenv("CORVINADE_DPI");
        if (!dpi || std::string(dpi) != "144")
            GTEST_SKIP() << "needs CORVINADE_DPI=144";
        MakeProcessDpiAware();
        WindowDC screen(nullptr);
        // The harness set the dpi: a run still at 96 is its fault, not a skip.
        ASSERT_EQ(::GetDeviceCaps(screen.Get(), LOGPIXELSY), 144);
        ASSERT_EQ(ScreenDpi(), 144);
        AppTest::SetUp();
    }
};

TEST_F(GuiAt144Dpi, ScaleRoundsHalvesAwayFromZero) {
    struct Case {
        int design, scaled;
    };
    const Case cases[] = {{0, 0}, {1, 2}, {2, 3}, {11, 17}, {415, 623}, {754, 1131}, {-3, -5}};
    for (const Case& c : cases)
        EXPECT_EQ(Scale(c.design), c.scaled) << c.design;
}

TEST_F(GuiAt144Dpi, DefaultFontIsSeventeenPixelsHigh) {
    LOGFONTA lf = {};
    ASSERT_EQ(::GetObjectA(DefaultFont(), sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -17);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");

    MemoryDC dc(::CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.Get(), DefaultFont());
    TEXTMETRICA tm = {};
    ASSERT_TRUE(::GetTextMetricsA(dc.Get(), &tm));
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 17);
}

// A form started on a 144-dpi screen: its client area, a control on a
// panel and its anchored neighbour all at 1.5 times their design.
TEST_F(GuiAt144Dpi, FormAndItsControlsStartScaled) {
    Form form({.clientWidth = 754, .clientHeight = 415, .caption = "Scaled"});
    Panel panel(form, {.left = 10, .top = 10, .width = 300, .height = 100});
    Button button(panel, {.left = 20, .top = 8, .width = 75, .height = 25, .caption = "OK"});
    Button right(form, {.left = 669, .top = 382, .width = 75, .height = 25, .caption = "Close",
                        .anchors = akRight | akBottom});
    form.Show();
    EXPECT_EQ(form.Dpi(), 144);
    RECT client = {};
    ASSERT_TRUE(::GetClientRect(form.Handle(), &client));
    EXPECT_EQ(client.right, 1131);
    EXPECT_EQ(client.bottom, 623);
    RECT r = {};
    ::GetWindowRect(button.Handle(), &r);
    ::MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 15 + 30);
    EXPECT_EQ(r.top, 15 + 12);
    EXPECT_EQ(r.right - r.left, 113);
    ::GetWindowRect(right.Handle(), &r);
    ::MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(client.right - r.right, 15); // 10 design pixels from the edge
    EXPECT_EQ(client.bottom - r.bottom, 12);
}

} // namespace
} // namespace corvinade::gui
