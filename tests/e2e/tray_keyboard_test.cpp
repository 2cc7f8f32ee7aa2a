// End-to-end tests of the tray for keyboard and screen-reader users: the
// shell's keyboard callbacks on the icon (version 4: the event and the icon
// in lParam) open the panel with the focus in it, or the menu; the panel's
// keys; and what a screen reader in another process reads of the panel
// through its accessible object.
#include <gmock/gmock.h>

#include "Harness.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"

#include <oleacc.h>
#include <shellapi.h>

namespace corvinade::test {
namespace {

constexpr UINT TrayCallback = 0x0800; // the program's callback message
constexpr UINT IconId = 1;

// What a screen reader asks of one part of an accessible object.
struct Part {
    std::string name;
    long role = 0;
    std::string defaultAction;
};

std::string Text(BSTR text) {
    std::string utf8 = text ? Utf8Of(text) : "";
    SysFreeString(text);
    return utf8;
}

Part Read(IAccessible& object, long child) {
    VARIANT id;
    id.vt = VT_I4;
    id.lVal = child;
    Part part;
    BSTR text = nullptr;
    if (object.get_accName(id, &text) == S_OK)
        part.name = Text(text);
    VARIANT role;
    VariantInit(&role);
    if (object.get_accRole(id, &role) == S_OK && role.vt == VT_I4)
        part.role = role.lVal;
    text = nullptr;
    if (object.get_accDefaultAction(id, &text) == S_OK)
        part.defaultAction = Text(text);
    return part;
}

long FocusedChild(IAccessible& object) {
    VARIANT focus;
    VariantInit(&focus);
    return object.get_accFocus(&focus) == S_OK && focus.vt == VT_I4 ? focus.lVal : -1;
}

class TrayKeyboardTest : public DesktopTest {
protected:
    void SetUp() override {
        SetSettingText("FirstUse", "0");
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override {
        if (panelObject)
            panelObject->Release();
        CoUninitialize();
        DesktopTest::TearDown();
    }

    void Start(const std::vector<HotkeyEntry>& entries) {
        WriteHotkeysIni(entries);
        corvinade = Process::Start(CorvinadeExe());
        app = WaitForWindow({"CorvinadeApplication", "", corvinade.Id(), false});
        ASSERT_NE(app, nullptr);
        ASSERT_TRUE(WaitFor([&] { return (panel = FindPanel(corvinade.Id())) != nullptr; }));
        for (const HotkeyEntry& e : entries)
            ASSERT_TRUE(WaitForHotkeyRegistration(e.key, e.shift));
    }

    // What the shell sends for a keyboard event on the icon, anchored at the
    // icon's place.
    void IconEvent(UINT event) {
        const POINT icon = TrayIconPoint();
        PostMessageW(app, TrayCallback, MAKEWPARAM(icon.x, icon.y), MAKELPARAM(event, IconId));
    }

    bool Shown() const { return IsWindowVisible(panel) != FALSE; }

    bool PanelHasFocus() const {
        GUITHREADINFO info = {sizeof info};
        return GetGUIThreadInfo(GetWindowThreadProcessId(panel, nullptr), &info) && info.hwndFocus == panel;
    }

    Process corvinade;
    HWND app = nullptr, panel = nullptr;
    IAccessible* panelObject = nullptr;
};

// Enter on the icon opens the panel with the focus on its first row; a
// screen reader in this process reads the rows, the links and the button;
// Down moves the focus (the reader follows), Esc closes, so does another
// program taking the foreground; Enter on a row opens its row of the
// settings window in edit mode; the menu key opens the menu.
TEST_F(TrayKeyboardTest, KeyboardOpensThePanelAndScreenReadersReadIt) {
    ASSERT_NO_FATAL_FAILURE(Start({
        {true, 'N', ModWin, "openfile", "notepad.exe", ""},
        {true, 'S', ModCtrl | ModAlt, "capturescreen", "", ""},
    }));
    IconEvent(NIN_KEYSELECT);
    ASSERT_TRUE(WaitFor([&] { return Shown() && PanelHasFocus(); })) << "no panel with the focus";

    const HRESULT got = AccessibleObjectFromWindow(panel, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                   reinterpret_cast<void**>(&panelObject));
    ASSERT_EQ(got, S_OK) << "no accessible object across processes";
    const Part table = Read(*panelObject, CHILDID_SELF);
    EXPECT_EQ(table.name, "Active hotkeys");
    EXPECT_EQ(table.role, ROLE_SYSTEM_TABLE);
    long count = 0;
    ASSERT_EQ(panelObject->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 5);
    const Part expected[] = {
        {"WIN + N, Open file, notepad.exe", ROLE_SYSTEM_ROW, "Edit"},
        {"ALT + CTRL + S, Capture screen", ROLE_SYSTEM_ROW, "Edit"},
        {"Manage hotkeys", ROLE_SYSTEM_LINK, "Jump"},
        {"Check for updates", ROLE_SYSTEM_LINK, "Jump"},
        {"Close", ROLE_SYSTEM_PUSHBUTTON, "Press"},
    };
    for (long child = 1; child <= count; ++child) {
        const Part part = Read(*panelObject, child);
        const Part& want = expected[child - 1];
        EXPECT_EQ(part.name, want.name) << "child " << child;
        EXPECT_EQ(part.role, want.role) << want.name;
        EXPECT_EQ(part.defaultAction, want.defaultAction) << want.name;
    }
    EXPECT_EQ(FocusedChild(*panelObject), 1);

    PressHotkey(VK_DOWN, 0);
    EXPECT_TRUE(WaitFor([&] { return FocusedChild(*panelObject) == 2; }));
    PressHotkey(VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return !Shown(); }));

    // Opened by the keyboard it stays without the pointer over it, until the
    // user turns to another program.
    IconEvent(NIN_KEYSELECT);
    ASSERT_TRUE(WaitFor([&] { return Shown() && PanelHasFocus(); }));
    TestWindow elsewhere(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(BringToForeground(elsewhere.Handle()));
    EXPECT_TRUE(WaitFor([&] { return !Shown(); }));

    // Space on the icon, Down, Enter: the second hotkey's row in edit mode.
    IconEvent(NIN_KEYSELECT);
    ASSERT_TRUE(WaitFor([&] { return Shown() && PanelHasFocus(); }));
    PressHotkey(VK_DOWN, 0);
    ASSERT_TRUE(WaitFor([&] { return FocusedChild(*panelObject) == 2; }));
    PressHotkey(VK_RETURN, 0);
    HWND settings = WaitForSettingsWindow(corvinade.Id());
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !Shown(); }));
    ASSERT_TRUE(WaitFor([&] { return HotkeyRows(settings).size() == 2; }));
    HWND row = HotkeyRows(settings)[0]; // the newest on top: CTRL + ALT + S
    HWND save = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        return (save = FindDescendant(row, "Button", "Save")) && IsWindowVisible(save);
    })) << "the row is not in edit mode";
    HWND other = FindDescendant(HotkeyRows(settings)[1], "Button", "Save");
    EXPECT_FALSE(other && IsWindowVisible(other)) << "the other row is in edit mode";

    // The menu key on the icon.
    IconEvent(WM_CONTEXTMENU);
    HWND menu = WaitForWindow({"#32768", "", 0, true});
    ASSERT_NE(menu, nullptr) << "no menu";
    PressHotkey(VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
}

// The panel, opened from the keyboard beside the settings window, stays
// across a change made there and shows the new list at once, the focus on
// the hotkey it was on: Enter then edits that hotkey, not the one now at
// its old place.
TEST_F(TrayKeyboardTest, PanelFollowsAChangeAndEnterEditsTheSameHotkey) {
    ASSERT_NO_FATAL_FAILURE(Start({
        {true, 'N', ModWin, "openfile", "notepad.exe", ""},
        {true, 'S', ModCtrl | ModAlt, "capturescreen", "", ""},
        {true, 'K', ModWin, "openwebsite", "example.org", ""},
    }));
    HWND settings = nullptr;
    for (int attempt = 0; attempt < 5 && !settings; ++attempt) {
        ASSERT_TRUE(DoubleClickTrayIcon());
        settings = WaitForSettingsWindow(corvinade.Id(), Milliseconds{4000});
    }
    ASSERT_NE(settings, nullptr);
    IconEvent(NIN_KEYSELECT);
    ASSERT_TRUE(WaitFor([&] { return Shown() && PanelHasFocus(); })) << "no panel with the focus";
    ASSERT_EQ(AccessibleObjectFromWindow(panel, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&panelObject)),
              S_OK);
    PressHotkey(VK_DOWN, 0);
    ASSERT_TRUE(WaitFor([&] { return FocusedChild(*panelObject) == 2; })); // ALT + CTRL + S

    // WIN + N deleted in the settings window (its rows: the newest on top).
    HWND notepad = nullptr;
    for (HWND row : HotkeyRows(settings))
        if (WindowText(row).rfind("WIN + N,", 0) == 0)
            notepad = row;
    ASSERT_NE(notepad, nullptr);
    PostClick(FindDescendant(notepad, "Button", "&Delete"));
    EXPECT_EQ(AnswerMessageBox(corvinade.Id(), "&Yes"),
              "Are you sure you want to delete this global hotkey?\n\nWIN + N, Open file");
    ASSERT_TRUE(WaitFor([] { return !IsCombinationTaken('N', ModWin); }));

    EXPECT_TRUE(Shown()) << "the panel went with the change";
    long count = 0;
    EXPECT_TRUE(WaitFor([&] { return panelObject->get_accChildCount(&count) == S_OK && count == 5; }))
        << count;
    EXPECT_EQ(Read(*panelObject, 1).name, "ALT + CTRL + S, Capture screen");

    ASSERT_TRUE(BringToForeground(panel));
    ASSERT_TRUE(WaitFor([&] { return PanelHasFocus(); }));
    EXPECT_EQ(FocusedChild(*panelObject), 1) << "the focus left its hotkey";
    PressHotkey(VK_RETURN, 0);
    EXPECT_TRUE(WaitFor([&] { return !Shown(); }));
    HWND edited = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        for (HWND row : HotkeyRows(settings)) {
            HWND save = FindDescendant(row, "Button", "Save");
            if (save && IsWindowVisible(save))
                edited = row;
        }
        return edited != nullptr;
    })) << "no row in edit mode";
    EXPECT_THAT(WindowText(edited), testing::StartsWith("ALT + CTRL + S,"));
}

} // namespace
} // namespace corvinade::test
