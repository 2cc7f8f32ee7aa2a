// A row of the settings window in edit mode, driven with the keyboard: its
// key field records a combination with its modifiers, bare Enter saves the
// row and bare Esc cancels its edit; a click picks a row, Enter edits it.
#include "Harness.h"
#include "gui_testing.h"
#include "program_parts.h"
#include "ui/SettingsWindow.h"

namespace corvinade {
namespace {

BOOL CALLBACK FindKeyField(HWND child, LPARAM found) {
    char cls[16] = {};
    ::GetClassNameA(child, cls, sizeof cls);
    if (std::string(cls) == "Edit" && (::GetWindowLongA(child, GWL_STYLE) & ES_READONLY))
        *reinterpret_cast<HWND*>(found) = child;
    return *reinterpret_cast<HWND*>(found) == nullptr;
}

class SettingsRowTest : public gui::testing::KeyboardAppTest {
protected:
    void SetUp() override {
        KeyboardAppTest::SetUp();
        test::SetSettingText("FirstUse", "0");
        test::WriteHotkeysIni({{true, 'M', test::ModWin, "maximize", "", ""}});
        parts = std::make_unique<gui::testing::ProgramParts>();
        settings = std::make_unique<SettingsWindow>(app->Handle(), parts->hotkeys, parts->updateCheck);
        settings->Show();
        ::SetForegroundWindow(settings->Handle());
        app->ProcessMessages();
    }
    void TearDown() override {
        EXPECT_FALSE(guard.Fired());
        settings.reset();
        parts.reset();
        KeyboardAppTest::TearDown();
    }
    // Edit, then the focus in the row's key field (its read-only edit box).
    void EditWithFocusInKeyField(HotkeyRow& row) {
        row.OnEditClick();
        HWND field = nullptr;
        ::EnumChildWindows(row.Handle(), FindKeyField, reinterpret_cast<LPARAM>(&field));
        ASSERT_NE(field, nullptr);
        ::SetFocus(field);
    }

    gui::testing::HangGuard guard{40000};
    std::unique_ptr<gui::testing::ProgramParts> parts;
    std::unique_ptr<SettingsWindow> settings;
};

TEST_F(SettingsRowTest, KeyFieldTakesTheCombinationEnterSavesEscCancels) {
    HotkeyRow& row = *settings->HotkeyRows().front();
    ASSERT_NO_FATAL_FAILURE(EditWithFocusInKeyField(row));
    Keys({VK_CONTROL, VK_MENU, 'J'});
    EXPECT_TRUE(PumpUntil([&] { return row.GetKey() == 'J'; }));
    EXPECT_EQ(row.GetShift(), ModifierCtrl | ModifierAlt);
    Keys({VK_RETURN});
    EXPECT_TRUE(PumpUntil([&] { return !row.Editing(); }));
    EXPECT_EQ(parts->hotkeys.Document().Entries().front().Definition.Key, 'J');
    EXPECT_EQ(parts->hotkeys.Document().Entries().front().Definition.Shift, ModifierCtrl | ModifierAlt);

    ASSERT_NO_FATAL_FAILURE(EditWithFocusInKeyField(row));
    Keys({'Q'});
    EXPECT_TRUE(PumpUntil([&] { return row.GetKey() == 'Q'; }));
    Keys({VK_ESCAPE});
    EXPECT_TRUE(PumpUntil([&] { return !row.Editing(); }));
    EXPECT_EQ(row.GetKey(), 'J');
    EXPECT_EQ(parts->hotkeys.Document().Entries().front().Definition.Key, 'J');
}

// A click on the row's texts picks it (its Edit has the focus): Enter then
// opens it for editing, as in a list.
TEST_F(SettingsRowTest, AClickPicksARowAndEnterEditsIt) {
    HotkeyRow& row = *settings->HotkeyRows().front();
    settings->btnClose.SetFocus();
    RECT r = {};
    ::GetWindowRect(row.Handle(), &r);
    const POINT at = {r.left + row.Scale(66 + 420), r.top + row.Scale(85)};
    ::SetCursorPos(at.x, at.y);
    ASSERT_EQ(::WindowFromPoint(at), row.Handle());
    for (DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = ::MulDiv(at.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = ::MulDiv(at.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        ::SendInput(1, &input, sizeof input);
    }
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == row.btnEdit.Handle(); }));
    Keys({VK_RETURN});
    EXPECT_TRUE(PumpUntil([&] { return row.Editing(); }));
}

} // namespace
} // namespace corvinade
