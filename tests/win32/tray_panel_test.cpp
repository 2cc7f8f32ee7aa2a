// The tray panel's window object going while the panel is shown ("Exit"
// with the panel open): its hide event runs while the whole panel object
// still exists, never from the base part's destructor on a half-gone one.
#include "gui_testing.h"
#include "program_parts.h"
#include "ui/TrayPanel.h"

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

namespace corvinade {
namespace {

using TrayPanelTest = gui::testing::AppTest;

TEST_F(TrayPanelTest, DestroyingTheShownPanelHidesItWhileItIsWhole) {
    gui::testing::ProgramParts parts;
    auto form = std::make_unique<TrayPanel>(parts.hotkeys, parts.updateCheck);
    // Only the hide handler matters here: it is the test's probe.
    form->OnShow = nullptr;
    const gui::Form* base = form.get();
    int hides = 0;
    bool whole = false;
    form->OnHide = [&] {
        ++hides;
        // Inside the base part's destructor the object is a gui::Form only.
        whole = typeid(*base) == typeid(TrayPanel);
    };
    form->Show();
    ASSERT_TRUE(form->Visible());
    form.reset();
    EXPECT_EQ(hides, 1);
    EXPECT_TRUE(whole) << "the hide event ran on a half-destroyed panel";
}

} // namespace
} // namespace corvinade
