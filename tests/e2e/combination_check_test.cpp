// End-to-end tests of the line beside the key field: this test process
// holds WIN+S as the Windows shell does, and the new-hotkey wizard and a
// hotkey row say at once, as the key or a modifier changes, whether the
// combination is free, used by another of the user's hotkeys, or held
// elsewhere; Finish and Save keep a held combination and say so once.
#include <gmock/gmock.h>

#include "Harness.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"

namespace corvinade::test {
namespace {

constexpr int HeldId = 1;
const std::string Free = "This combination is free.";
const std::string Notepads = "Used by another of your hotkeys: WIN + N (Open file).";
const std::string Held = "Windows or another program uses this combination; it works once freed.";

class CombinationCheckTest : public DesktopTest {
protected:
    void TearDown() override {
        UnregisterHotKey(nullptr, HeldId);
        DesktopTest::TearDown();
    }
    void Start(const std::vector<HotkeyEntry>& entries) {
        ASSERT_TRUE(RegisterHotKey(nullptr, HeldId, ModWin, 'S'));
        SetSettingText("FirstUse", "0");
        WriteHotkeysIni(entries);
        corvinade = Process::Start(CorvinadeExe());
        for (const HotkeyEntry& e : entries)
            ASSERT_TRUE(WaitForHotkeyRegistration(e.key, e.shift));
        for (int attempt = 0; attempt < 5 && !settings; ++attempt) {
            ASSERT_TRUE(DoubleClickTrayIcon());
            settings = WaitForSettingsWindow(corvinade.Id(), Milliseconds{4000});
        }
        ASSERT_NE(settings, nullptr) << "no settings window";
        ASSERT_TRUE(WaitFor([&] { return HotkeyRows(settings).size() == entries.size(); }));
    }
    // Types a key into the key field of `window` (the wizard or the settings window).
    static void TypeKey(HWND window, HWND field, UINT key) {
        ASSERT_TRUE(BringToForeground(window));
        ASSERT_TRUE(ClickWindow(field));
        SendKeyEvent(key, false);
        SendKeyEvent(key, true);
        ASSERT_TRUE(WaitFor([&] { return WindowText(field) == std::string(1, static_cast<char>(key)); }));
    }
    // The line: the label made right after the key field.
    static bool LineSays(HWND field, const std::string& text) {
        return WaitFor([&] { return WindowText(GetWindow(field, GW_HWNDNEXT)) == text; }, Milliseconds{5000});
    }
    // The one warning of Finish or Save, in the line's words, answered with OK.
    void ConfirmWarning() {
        HWND box = WaitForMessageBoxOf(corvinade.Id());
        ASSERT_NE(box, nullptr) << "no warning";
        EXPECT_EQ(WindowText(box), "Warning");
        EXPECT_EQ(MessageBoxText(box), Held);
        ClickButton(box, "OK");
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    }
    bool FileIs(const std::vector<HotkeyEntry>& entries) {
        return WaitFor([&] { return FileContent(HotkeysIniPath()) == HotkeysIniText(entries); });
    }

    Process corvinade;
    HWND settings = nullptr;
};

const HotkeyEntry Notepad{true, 'N', ModWin, "openfile", "notepad.exe", ""};

TEST_F(CombinationCheckTest, TheWizardSaysWhoHasTheCombinationBeforeFinish) {
    ASSERT_NO_FATAL_FAILURE(Start({Notepad}));
    ASSERT_TRUE(ClickButton(settings, "&New hotkey"));
    HWND wizard = WaitForWindow({.title = "New hotkey", .processId = corvinade.Id(), .visibleOnly = true});
    ASSERT_NE(wizard, nullptr);
    HWND field = FindDescendant(wizard, "Edit");
    EXPECT_TRUE(LineSays(field, "")) << "a line without a key";

    ASSERT_NO_FATAL_FAILURE(TypeKey(wizard, field, 'N'));
    EXPECT_TRUE(LineSays(field, Free));
    PostClick(FindDescendant(wizard, "Button", "&WIN"));
    EXPECT_TRUE(LineSays(field, Notepads));
    ASSERT_NO_FATAL_FAILURE(TypeKey(wizard, field, 'S'));
    EXPECT_TRUE(LineSays(field, Held));

    ClickButton(wizard, "&Next");
    ASSERT_TRUE(WaitFor([&] { return FindButton(wizard, "&Finish") != nullptr; }));
    ASSERT_TRUE(ChooseListItem(FindDescendant(wizard, "ComboBox"), "Capture screen"));
    ClickButton(wizard, "&Finish");
    ASSERT_NO_FATAL_FAILURE(ConfirmWarning());
    EXPECT_TRUE(FileIs({Notepad, {true, 'S', ModWin, "capturescreen", "", ""}}))
        << FileContent(HotkeysIniPath()).value_or("(none)");
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(wizard); }));
}

// The row's own combination is its own (our registration answers, no probe
// that our own registration would refuse).
TEST_F(CombinationCheckTest, ARowSaysItTooAndSaveKeepsAHeldCombination) {
    ASSERT_NO_FATAL_FAILURE(Start({Notepad, {true, 'Q', ModCtrl, "close", "", ""}}));
    HWND row = HotkeyRows(settings).front();
    PostClick(FindDescendant(row, "Button", "&Edit"));
    HWND save = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (save = FindDescendant(row, "Button", "Save")) && IsWindowVisible(save); }));
    HWND field = FindDescendant(row, "Edit");
    EXPECT_TRUE(LineSays(field, Free));

    ASSERT_NO_FATAL_FAILURE(TypeKey(settings, field, 'N'));
    PostClick(FindDescendant(row, "Button", "CTRL"));
    PostClick(FindDescendant(row, "Button", "WIN"));
    EXPECT_TRUE(LineSays(field, Notepads));
    ASSERT_NO_FATAL_FAILURE(TypeKey(settings, field, 'S'));
    EXPECT_TRUE(LineSays(field, Held));

    PostClick(save);
    ASSERT_NO_FATAL_FAILURE(ConfirmWarning());
    EXPECT_TRUE(FileIs({Notepad, {true, 'S', ModWin, "close", "", ""}}))
        << FileContent(HotkeysIniPath()).value_or("(none)");
    EXPECT_TRUE(WaitFor([&] {
        return WindowText(HotkeyRows(settings).front()) ==
               "WIN + S, Close active window, active, not registered: Another program uses this combination.";
    })) << WindowText(HotkeyRows(settings).front());
}

} // namespace
} // namespace corvinade::test
