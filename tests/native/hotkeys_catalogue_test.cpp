// The action catalogue, the action combo filler and the display text of key
// combinations.
#include "core/Hotkeys.h"

#include <gtest/gtest.h>

#include <set>

namespace corvinade {
namespace {

using A = THotkeyAction;

struct CatalogueRow {
    A action;
    const char* name;
    const char* display;
    bool params, params2, button;
};

const CatalogueRow Rows[] = {
    {A::None, "", "Unknown action", false, false, false},
    {A::Maximize, "maximize", "Maximize active window", false, false, false},
    {A::Minimize, "minimize", "Minimize active window", false, false, false},
    {A::Close, "close", "Close active window", false, false, false},
    {A::OpenFile, "openfile", "Open file", true, true, true},
    {A::CaptureWindow, "capturewindow", "Capture active window", false, false, false},
    {A::CaptureScreen, "capturescreen", "Capture screen", false, false, false},
    {A::ExitWindows, "exitwindows", "Exit windows", false, false, false},
    {A::SendKeystrokes, "sendkeystrokes", "Send keystrokes", true, false, true},
    {A::OpenWebsite, "openwebsite", "Open website", true, false, false},
    {A::PlaceInClipboard, "placeinclipboard", "Place in clipboard", true, false, true},
    {A::PlaceFileContentInClipboard, "placefilecontentinclipboard", "Place file comtent in clipboard", true,
     false, true},
    {A::CaptureRegion, "captureregion", "Capture region", false, false, false},
};

TEST(HotkeysCatalogue, EveryActionHasItsNamesAndParameterRules) {
    for (int code = 0; code < 13; ++code) {
        const CatalogueRow& row = Rows[code];
        SCOPED_TRACE(row.name);
        ASSERT_EQ(static_cast<int>(row.action), code);
        EXPECT_EQ(ActionToName(row.action), row.name);
        EXPECT_EQ(ActionDisplayName(row.action), row.display);
        EXPECT_EQ(ActionHasParams(row.action), row.params);
        EXPECT_EQ(ActionHasParams2(row.action), row.params2);
        EXPECT_EQ(ActionHasParamsButton(row.action), row.button);
        EXPECT_EQ(ActionFromName(row.name), row.action);
        EXPECT_EQ(ActionHasCaptureOptions(row.action), row.action == A::CaptureWindow ||
                                                           row.action == A::CaptureScreen ||
                                                           row.action == A::CaptureRegion);
    }
}

// An editor gives the options its action takes; the others stay as read.
TEST(HotkeysCatalogue, CaptureOptionsAnEditorGives) {
    const TCaptureOptions shown{.Delay = 5, .Cursor = true, .SameArea = false};
    const TCaptureOptions stored{.Delay = 2, .Cursor = false, .SameArea = true};
    EXPECT_EQ(CaptureOptionsOf(A::CaptureRegion, shown, stored), shown);
    EXPECT_EQ(CaptureOptionsOf(A::CaptureScreen, shown, stored),
              (TCaptureOptions{.Delay = 5, .Cursor = true, .SameArea = true}));
    EXPECT_EQ(CaptureOptionsOf(A::OpenFile, shown, stored), stored);
}

TEST(HotkeysCatalogue, NamesAreReadExactlyAndCaseSensitively) {
    const struct {
        const char* text;
        A expected;
    } cases[] = {
        {"placefilecontentinclipboard", A::PlaceFileContentInClipboard},
        {"PlaceInClipboard", A::None},
        {"Maximize", A::None},
        {" maximize", A::None},
        {"maximize ", A::None},
        {"MAXIMIZE", A::None},
        {"maximiz", A::None},
        {"maximizee", A::None},
        {"placeinclipboard", A::PlaceInClipboard},
        {"", A::None},
        {"Unknown action", A::None},
        {"Maximize active window", A::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ActionFromName(c.text), c.expected) << '"' << c.text << '"';
    // A name with an embedded NUL is not the name before it.
    EXPECT_EQ(ActionFromName(std::string_view("close\0x", 7)), A::None);
}

TEST(HotkeysCatalogue, ValuesOutsideTheCatalogueReadAsNoAction) {
    const auto bogus = static_cast<A>(200);
    EXPECT_EQ(ActionToName(bogus), "");
    EXPECT_EQ(ActionDisplayName(bogus), "Unknown action");
    EXPECT_FALSE(ActionHasParams(bogus));
}

struct RecordingCombo {
    std::vector<std::pair<std::string, std::intptr_t>> items;
    void AddItem(const std::string& text, std::intptr_t data) { items.emplace_back(text, data); }
};

TEST(HotkeysCatalogue, ComboListsTheTwelveActionsInMenuOrder) {
    RecordingCombo combo;
    FillActionCombo(combo);
    const char* expected[] = {"Maximize active window",
                              "Minimize active window",
                              "Close active window",
                              "Open file",
                              "Open website",
                              "Place in clipboard",
                              "Place file comtent in clipboard",
                              "Capture active window",
                              "Capture screen",
                              "Capture region",
                              "Exit windows",
                              "Send keystrokes"};
    const std::intptr_t codes[] = {1, 2, 3, 4, 9, 10, 11, 5, 6, 12, 7, 8};
    ASSERT_EQ(combo.items.size(), 12u);
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(combo.items[i].first, expected[i]);
        EXPECT_EQ(combo.items[i].second, codes[i]);
    }
    EXPECT_EQ(combo.items[4].second, 9); // position 4 is "Open website", not action 5
}

TEST(HotkeysCatalogue, ComboIsAppendedToNotCleared) {
    RecordingCombo combo;
    combo.AddItem("existing", -1);
    FillActionCombo(combo);
    FillActionCombo(combo);
    ASSERT_EQ(combo.items.size(), 25u);
    EXPECT_EQ(combo.items[0].first, "existing");
    std::set<std::intptr_t> codes;
    for (std::size_t i = 1; i < combo.items.size(); ++i)
        codes.insert(combo.items[i].second);
    EXPECT_EQ(codes.size(), 12u); // each action once per fill, never "no action"
    EXPECT_EQ(codes.count(0), 0u);
}

// Answers with a recognisable name and records what it was asked.
class FakeKeyNames : public KeyNamePort {
public:
    std::string LayoutKeyName(std::uint16_t key) const override {
        asked.push_back(key);
        if (key == 0)
            return ""; // as a layout without a scan code for it
        return "layout" + std::to_string(key);
    }
    mutable std::vector<std::uint16_t> asked;
};

TEST(HotkeysText, ModifiersThenKeyName) {
    const struct {
        std::uint16_t key, shift;
        const char* expected;
    } cases[] = {
        {0x53, 8, "WIN + S"},
        {0x70, 3, "ALT + CTRL + F1"},
        {0x65, 6, "CTRL + SHIFT + 5"},
        {0x41, 0, "A"},
        {0x41, 16, "A"}, // bits above WIN are ignored
        {0x41, 0xFFF0, "A"},
        {0x141, 1, "ALT + "}, // a key with bits above the low byte has no name
        {0xFF41, 0, ""},
        {0, 0, ""},
        {0x2E, 15, "ALT + CTRL + SHIFT + WIN + Del"},
        {0x2E, 0xFFFF, "ALT + CTRL + SHIFT + WIN + Del"},
        {0x08, 0, "BkSp"},
        {0x09, 0, "Tab"},
        {0x0D, 0, "Enter"},
        {0x1B, 4, "SHIFT + Esc"},
        {0x20, 2, "CTRL + Space"},
        {0x21, 0, "PgUp"},
        {0x22, 0, "PgDn"},
        {0x23, 0, "End"},
        {0x24, 0, "Home"},
        {0x25, 0, "Left"},
        {0x26, 0, "Up"},
        {0x27, 0, "Right"},
        {0x28, 0, "Down"},
        {0x2D, 0, "Ins"},
        {0x30, 0, "0"},
        {0x39, 0, "9"},
        {0x5A, 0, "Z"},
        {0x60, 0, "0"},
        {0x69, 0, "9"},
        {0x87, 0, "F24"},
        {0x7B, 0, "F12"},
        {0x6A, 8, "WIN + Num *"}, // the keypad's operators as Windows names them
        {0x6B, 0, "Num +"},
        {0x6C, 0, "layout108"}, // the separator key is the layout's
        {0x6D, 0, "Num -"},
        {0x6E, 0, "Num Del"},
        {0x6F, 0, "Num /"},
        {0x90, 0, "layout144"}, // Num Lock
        {0x3A, 0, "layout58"},  // just past the digits
        {0x40, 0, "layout64"},  // just before the letters
        {0x5B, 0, "layout91"},  // just past the letters
        {0x88, 0, "layout136"},
    };
    FakeKeyNames layout;
    for (const auto& c : cases)
        EXPECT_EQ(HotkeyText(c.key, c.shift, layout), c.expected) << std::hex << c.key << " " << c.shift;
}

TEST(HotkeysText, OnlyKeysOutsideTheFixedTableAskTheLayout) {
    std::set<std::uint16_t> fixed = {0x08, 0x09, 0x0D, 0x1B, 0x20, 0x21, 0x22, 0x23,
                                     0x24, 0x25, 0x26, 0x27, 0x28, 0x2D, 0x2E};
    for (std::uint16_t k = 0x30; k <= 0x39; ++k)
        fixed.insert(k);
    for (std::uint16_t k = 0x41; k <= 0x5A; ++k)
        fixed.insert(k);
    for (std::uint16_t k = 0x60; k <= 0x6F; ++k)
        fixed.insert(k);
    fixed.erase(0x6C);
    for (std::uint16_t k = 0x70; k <= 0x87; ++k)
        fixed.insert(k);
    for (std::uint16_t key = 0; key <= 0x1FF; ++key) {
        FakeKeyNames layout;
        std::string text = HotkeyText(key, 0, layout);
        if (key > 0xFF) {
            EXPECT_TRUE(layout.asked.empty()) << key;
            EXPECT_EQ(text, "") << key;
        } else if (fixed.count(key)) {
            EXPECT_TRUE(layout.asked.empty()) << key;
            EXPECT_FALSE(text.empty()) << key;
        } else {
            ASSERT_EQ(layout.asked.size(), 1u) << key;
            EXPECT_EQ(layout.asked[0], key);
            EXPECT_EQ(text, layout.LayoutKeyName(key)) << key;
        }
    }
}

TEST(HotkeysText, ANamelessKeyLeavesTheModifiers) {
    FakeKeyNames layout;
    EXPECT_EQ(HotkeyText(0, 9, layout), "ALT + WIN + ");
}

} // namespace
} // namespace corvinade
