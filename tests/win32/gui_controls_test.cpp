// Scaling, the default font and the controls on a real form.
#include "core/Errors.h"
#include "gui/Controls.h"
#include "gui/Dpi.h"
#include "gui/Form.h"
#include "gui/Handles.h"
#include "gui_testing.h"

#include <climits>

namespace corvinade::gui {
namespace {

using testing::AppTest;
using testing::BoxInfo;
using testing::BoxWatcher;

TEST(GuiDpi, ScalesDesignPixelsByScreenDpi) {
    WindowDC screen(nullptr);
    int dpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
    ASSERT_EQ(ScreenDpi(), dpi);
    ASSERT_EQ(dpi, 96) << "a fresh prefix runs at 96 dpi";
    for (int pixels : {0, 1, 11, 579, -3})
        EXPECT_EQ(Scale(pixels), pixels);
}

TEST(GuiDpi, DefaultFontIsTahomaElevenPixelsHigh) {
    HFONT font = DefaultFont();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(DefaultFont(), font);
    LOGFONTA lf = {};
    ASSERT_EQ(::GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");

    // The system really has it: a DC with the font selected uses Tahoma.
    MemoryDC dc(::CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.Get(), font);
    char face[LF_FACESIZE] = {};
    ::GetTextFaceA(dc.Get(), LF_FACESIZE, face);
    EXPECT_STREQ(face, "Tahoma");
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(dc.Get(), &tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11);
}

using GuiControls = AppTest;

TEST_F(GuiControls, ControlIsScaledChildWithDefaultFontAndCaption) {
    Form form({.clientWidth = 300, .clientHeight = 100, .caption = "Controls"});
    Control label(form, L"STATIC", SS_LEFT, 0,
                  {.left = 8, .top = 12, .width = 100, .height = 13, .caption = "Hotkey"});
    Control button(form, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0,
                   {.left = 120, .top = 8, .width = 75, .height = 25, .caption = "Save"});
    EXPECT_EQ(::GetParent(label.Handle()), form.Handle());
    EXPECT_NE(label.Id(), button.Id());
    EXPECT_EQ(::GetDlgItem(form.Handle(), button.Id()), button.Handle());
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(label.Handle(), WM_GETFONT, 0, 0)), DefaultFont());
    EXPECT_EQ(label.Caption(), "Hotkey");
    RECT r = {};
    ::GetWindowRect(button.Handle(), &r);
    ::MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, Scale(120));
    EXPECT_EQ(r.top, Scale(8));
    EXPECT_EQ(r.right - r.left, Scale(75));
    EXPECT_EQ(r.bottom - r.top, Scale(25));

    button.SetCaption("Save to file...");
    EXPECT_EQ(button.Caption(), "Save to file...");
    button.SetEnabled(false);
    EXPECT_FALSE(button.Enabled());
    button.SetVisible(false);
    EXPECT_FALSE(button.Visible());
    button.Place(10, 20, 30, 40);
    ::GetWindowRect(button.Handle(), &r);
    EXPECT_EQ(r.right - r.left, Scale(30));
}

TEST_F(GuiControls, ControlOutlivedByItsWindowOrDestroyedFirst) {
    HWND child = nullptr;
    {
        Form form({.caption = "Parent"});
        {
            Control early(form, L"STATIC", 0, 0, {.width = 10, .height = 10});
            child = early.Handle();
        }
        EXPECT_FALSE(::IsWindow(child));
        auto late = std::make_unique<Control>(form, L"STATIC", 0, 0, ControlArgs{.width = 10, .height = 10});
        child = late->Handle();
        ::DestroyWindow(form.Handle()); // takes the child along
        EXPECT_FALSE(::IsWindow(child));
        EXPECT_EQ(late->Handle(), nullptr);
    }
}

TEST_F(GuiControls, ComboBoxKeepsItemsWithTheirData) {
    Form form({.clientWidth = 300, .clientHeight = 100, .caption = "Combo"});
    ComboBox combo(form, {.left = 8, .top = 8, .width = 200, .height = 21});
    EXPECT_TRUE(::GetWindowLongA(combo.Handle(), GWL_STYLE) & CBS_DROPDOWNLIST);
    int selects = 0;
    combo.OnSelect = [&] { ++selects; };
    EXPECT_EQ(combo.Count(), 0);
    EXPECT_EQ(combo.ItemIndex(), -1);

    const struct {
        std::string text;
        std::intptr_t data;
    } items[] = {{"Maximize or restore", 1},
                 {"", 0},
                 {"Capture screen", -6},
                 {"Z last", INTPTR_MAX},
                 {"A first", INTPTR_MIN}};
    int expectedIndex = 0;
    for (const auto& item : items)
        EXPECT_EQ(combo.AddItem(item.text, item.data), expectedIndex++); // appended, never sorted
    ASSERT_EQ(combo.Count(), static_cast<int>(std::size(items)));
    for (int i = 0; i < combo.Count(); ++i) {
        EXPECT_EQ(combo.ItemText(i), items[i].text);
        EXPECT_EQ(combo.ItemData(i), items[i].data);
    }

    combo.SetItemIndex(2);
    EXPECT_EQ(combo.ItemIndex(), 2);
    combo.SetItemIndex(-1);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(selects, 0); // only the user's choice is a selection

    for (int bad : {-1, 5, 100}) {
        EXPECT_THROW(combo.ItemText(bad), Error);
        EXPECT_THROW(combo.ItemData(bad), Error);
    }
    EXPECT_THROW(combo.SetItemIndex(5), Error);

    combo.Clear();
    EXPECT_EQ(combo.Count(), 0);
    EXPECT_EQ(combo.ItemIndex(), -1);
}

// The user picks with the keyboard: the real control reports CBN_SELCHANGE
// to the form, which hands it to the combo box object.
TEST_F(GuiControls, ComboBoxReportsTheUsersChoice) {
    Form form({.clientWidth = 300, .clientHeight = 100, .caption = "Combo", .center = true});
    ComboBox combo(form, {.left = 8, .top = 8, .width = 200, .height = 21});
    combo.AddItem("Minimize", 2);
    combo.AddItem("Close", 3);
    combo.AddItem("Open file", 4);
    combo.SetItemIndex(0);
    std::vector<std::intptr_t> chosen;
    combo.OnSelect = [&] { chosen.push_back(combo.ItemData(combo.ItemIndex())); };
    form.Show();
    ::SetForegroundWindow(form.Handle());
    combo.SetFocus();
    app->ProcessMessages();
    ASSERT_EQ(::GetFocus(), combo.Handle());

    ::keybd_event(VK_DOWN, 0, 0, 0);
    ::keybd_event(VK_DOWN, 0, KEYEVENTF_KEYUP, 0);
    testing::WaitFor([&] {
        app->ProcessMessages();
        return !chosen.empty();
    });
    ::SendMessageA(combo.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(chosen, (std::vector<std::intptr_t>{3, 4}));
    EXPECT_EQ(combo.ItemIndex(), 2);
}

TEST_F(GuiControls, ThrowingOnSelectShowsErrorBox) {
    Form form({.clientWidth = 300, .clientHeight = 100, .caption = "Combo"});
    ComboBox combo(form, {.left = 8, .top = 8, .width = 200, .height = 21});
    combo.AddItem("One", 1);
    combo.AddItem("Two", 2);
    combo.OnSelect = [] { throw Error("Cannot select that"); };
    BoxWatcher watcher(1, [](const BoxInfo&) { return IDOK; });
    ::SendMessageA(combo.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    watcher.Join();
    ASSERT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_EQ(watcher.Boxes()[0].text, "Cannot select that.");
    EXPECT_EQ(combo.ItemIndex(), 0);
}

} // namespace
} // namespace corvinade::gui
