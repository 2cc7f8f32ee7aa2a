// The action catalogue in a real drop-down list: display names in their
// order, each item carrying its action code.
#include <gtest/gtest.h>

#include "core/Hotkeys.h"
#include "gui/Controls.h"
#include "gui/Form.h"
#include "gui_testing.h"

using namespace corvinade;

namespace {

class ActionComboTest : public gui::testing::AppTest {};

} // namespace

TEST_F(ActionComboTest, FillsNamesWithTheirCodesAndAppendsOnEveryCall) {
    gui::FormArgs formArgs;
    formArgs.clientWidth = 300;
    formArgs.clientHeight = 100;
    gui::Form form(formArgs);
    gui::ComboBox combo(form, {.left = 8, .top = 8, .width = 250, .height = 200});

    FillActionCombo(combo);
    ASSERT_EQ(combo.Count(), 12);
    for (int i = 0; i < combo.Count(); ++i) {
        const auto action = static_cast<THotkeyAction>(combo.ItemData(i));
        EXPECT_EQ(combo.ItemText(i), ActionDisplayName(action)) << i;
        EXPECT_EQ(action, ActionComboOrder[i]) << i;
    }
    EXPECT_EQ(combo.ItemText(4), "Open website");
    EXPECT_EQ(combo.ItemData(4), 9);
    EXPECT_EQ(combo.ItemText(6), "Place file comtent in clipboard");

    FillActionCombo(combo);
    EXPECT_EQ(combo.Count(), 24);
    EXPECT_EQ(combo.ItemData(12), 1);
    EXPECT_EQ(combo.ItemData(23), 8);
}
