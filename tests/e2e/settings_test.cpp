// End-to-end tests of the settings window: the real corvinade.exe in Wine's
// virtual desktop, opened from the tray and driven from this process as a
// user drives it (clicks, keys, choices), checked in hotkeys.ini, in the
// registrations and in the log-on entry.
#include <gmock/gmock.h>

#include <cstdlib>

#include "Harness.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"

#include <uxtheme.h>
#include <vssym32.h>

namespace corvinade::test {
namespace {

using ::testing::ElementsAre;

class SettingsTest : public DesktopTest {
protected:
    void Start(const std::vector<HotkeyEntry>& entries, const std::string& exe = CorvinadeExe()) {
        SetSettingText("FirstUse", "0");
        WriteHotkeysIni(entries);
        corvinade = Process::Start(exe);
        for (const HotkeyEntry& e : entries)
            if (e.active) {
                ASSERT_TRUE(WaitForHotkeyRegistration(e.key, e.shift));
            }
    }
    // Double clicks on the tray icon until the settings window shows.
    void Open() {
        for (int attempt = 0; attempt < 5 && !settings; ++attempt) {
            ASSERT_TRUE(DoubleClickTrayIcon());
            settings = WaitForSettingsWindow(corvinade.Id(), Milliseconds{4000});
        }
        ASSERT_NE(settings, nullptr) << "no settings window after double clicks on the tray icon";
        ASSERT_TRUE(WaitFor([&] { return !HotkeyRows(settings).empty() || rowsExpected == 0; }));
    }
    HWND Row(size_t index) {
        std::vector<HWND> rows = HotkeyRows(settings);
        return index < rows.size() ? rows[index] : nullptr;
    }
    // Clicks "Edit" of a row and waits for its edit panel.
    void Edit(HWND row) {
        PostClick(FindDescendant(row, "Button", "&Edit"));
        ASSERT_TRUE(WaitFor([&] { return Control(row, "Button", "Save") != nullptr; }));
    }
    // A visible control of a row's edit panel.
    HWND Control(HWND row, const std::string& cls, const std::string& caption = "") {
        HWND w = FindDescendant(row, cls, caption);
        return w && IsWindowVisible(w) ? w : nullptr;
    }
    void TypeKey(HWND row, UINT key) {
        HWND field = FindDescendant(row, "Edit");
        ASSERT_TRUE(BringToForeground(settings));
        ASSERT_TRUE(ClickWindow(field));
        ASSERT_TRUE(WaitFor([&] { return IsFocusIn(field); })) << [&] {
            GUITHREADINFO info = {sizeof info};
            GetGUIThreadInfo(GetWindowThreadProcessId(field, nullptr), &info);
            RECT r = {};
            GetWindowRect(field, &r);
            HWND at = WindowFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
            POINT cursor = {};
            GetCursorPos(&cursor);
            return "at the field: " + WindowClass(at) + " \"" + WindowText(at) + "\" enabled " +
                   std::to_string(IsWindowEnabled(field)) + " cursor " + std::to_string(cursor.x) + "," +
                   std::to_string(cursor.y) + " field " + std::to_string(r.left) + "," +
                   std::to_string(r.top) + " focus on " + WindowClass(info.hwndFocus) + " \"" +
                   WindowText(info.hwndFocus) + "\", active " + WindowText(info.hwndActive) + ", capture " +
                   WindowClass(info.hwndCapture);
        }();
        SendKeyEvent(key, false);
        SendKeyEvent(key, true);
        ASSERT_TRUE(WaitFor([&] { return WindowText(field) == std::string(1, static_cast<char>(key)); }));
    }
    bool IsFocusIn(HWND window) { return Focus() == window; }
    HWND Focus() {
        GUITHREADINFO info = {sizeof info};
        return GetGUIThreadInfo(GetWindowThreadProcessId(settings, nullptr), &info) ? info.hwndFocus
                                                                                    : nullptr;
    }
    // A key pressed and let go, with Ctrl held when asked.
    void Press(UINT key, bool ctrl = false) {
        if (ctrl)
            SendKeyEvent(VK_CONTROL, false);
        SendKeyEvent(key, false);
        SendKeyEvent(key, true);
        if (ctrl)
            SendKeyEvent(VK_CONTROL, true);
    }
    // Ctrl+Tab, as a user turns the tabs, until the page with this tab shows.
    void ShowPage(const std::string& tab) {
        HWND page = FindDescendant(settings, "CorvinadePanel", tab);
        ASSERT_NE(page, nullptr) << "no page \"" << tab << "\"";
        if (IsWindowVisible(page))
            return;
        ASSERT_TRUE(BringToForeground(settings));
        Press(VK_TAB, true);
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(page) != FALSE; })) << "no page \"" << tab << "\"";
    }
    // The filter box, in the strip with "&New hotkey".
    HWND FilterBox() { return FindDescendant(GetParent(FindButton(settings, "&New hotkey")), "Edit"); }
    void Save(HWND row) {
        PostClick(Control(row, "Button", "Save"));
        ASSERT_TRUE(WaitFor([&] { return Control(row, "Button", "Save") == nullptr; }));
    }
    std::string File() { return FileContent(HotkeysIniPath()).value_or("(none)"); }
    bool FileIs(const std::vector<HotkeyEntry>& entries) {
        return WaitFor([&] { return File() == HotkeysIniText(entries); }, Milliseconds{5000});
    }
    // Answers the next message box of the program; returns its text.
    std::string Answer(const std::string& button) { return AnswerMessageBox(corvinade.Id(), button); }

    // What a row paints in its view, not its accessible caption: the key's
    // name (at 272, 24 in the row) and the Active box (13 x 13 pixels at 72,
    // 25) as the system draws a disabled check box, ticked or not.
    bool RowPaints(HWND row, const std::string& key, bool active) {
        POINT keyAt = {66 + 206, 24}, boxAt = {66 + 6, 25}, blankAt = {66 + 200, 3};
        ClientToScreen(row, &keyAt);
        ClientToScreen(row, &boxAt);
        ClientToScreen(row, &blankAt);
        const RECT keyArea = {keyAt.x, keyAt.y, keyAt.x + 83, keyAt.y + 13};
        const RECT boxArea = {boxAt.x, boxAt.y, boxAt.x + 13, boxAt.y + 13};
        return WaitFor(
            [&] {
                const COLORREF blank =
                    ScreenPixels({blankAt.x, blankAt.y, blankAt.x + 1, blankAt.y + 1}).at(0);
                const COLORREF background = RGB((blank >> 16) & 0xFF, (blank >> 8) & 0xFF, blank & 0xFF);
                return ScreenPixels(boxArea) == DisabledCheckBox(active, background) &&
                       ScreenPixels(keyArea) == RenderText(key, false, 83, 13, GetSysColor(COLOR_BTNTEXT),
                                                           background,
                                                           DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            },
            Milliseconds{5000});
    }
    // A disabled 13 x 13 check box as the system draws it on `background`,
    // themed where a theme is on, as 0x00RRGGBB pixels.
    static std::vector<COLORREF> DisabledCheckBox(bool checked, COLORREF background) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 13, 13);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT r = {0, 0, 13, 13};
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        HTHEME theme = OpenThemeData(nullptr, L"BUTTON");
        if (!theme ||
            FAILED(DrawThemeBackground(theme, dc, BP_CHECKBOX,
                                       checked ? CBS_CHECKEDDISABLED : CBS_UNCHECKEDDISABLED, &r, nullptr)))
            DrawFrameControl(dc, &r, DFC_BUTTON,
                             DFCS_BUTTONCHECK | DFCS_INACTIVE | (checked ? DFCS_CHECKED : 0));
        if (theme)
            CloseThemeData(theme);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                pixels.push_back(
                    static_cast<COLORREF>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c)));
            }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return pixels;
    }
    // Minimized as by the button on its title bar.
    void Minimize() {
        PostMessageA(settings, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(WaitFor([&] { return IsIconic(settings) != FALSE; }));
    }
    bool RestoredInFront() {
        return WaitFor([&] { return !IsIconic(settings) && GetForegroundWindow() == settings; });
    }

    Process corvinade;
    HWND settings = nullptr;
    size_t rowsExpected = 1;
};

// The other page reads the version as Windows writes it, and its links are
// underlined as far as their text goes, not past it.
TEST_F(SettingsTest, OtherPageShowsTheVersionAndLinksUnderlinedToTheirEnd) {
    ASSERT_NO_FATAL_FAILURE(Start({{true, 'N', ModWin, "openfile", "notepad.exe", ""}}));
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(BringToForeground(settings));
    PressHotkey(VK_TAB, ModCtrl);
    HWND version = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        version = FindDescendant(settings, "Static", "Corvinade 1.0.0.0");
        return version && IsWindowVisible(version);
    })) << "no version as Windows writes it";
    HWND link = nullptr;
    for (HWND w : AllDescendants(settings))
        if (IsWindowVisible(w) && WindowText(w).find("pelmorra.example/") != std::string::npos)
            link = w;
    ASSERT_NE(link, nullptr);
    RECT r = {};
    GetWindowRect(link, &r);
    const int width = r.right - r.left;
    // The underline is the fullest row; the text's ink ends in the others.
    int textRight = 0, underlineRight = 0, fullest = 0;
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<COLORREF> pixels = ScreenPixels(r);
        const COLORREF background = pixels.at(0);
        textRight = underlineRight = fullest = 0;
        for (int y = 0; y < r.bottom - r.top; ++y) {
            int count = 0, right = 0;
            for (int x = 0; x < width; ++x)
                if (pixels[static_cast<std::size_t>(y * width + x)] != background) {
                    ++count;
                    right = x + 1;
                }
            if (count > fullest) {
                textRight = std::max(textRight, underlineRight);
                fullest = count;
                underlineRight = right;
            } else {
                textRight = std::max(textRight, right);
            }
        }
        return fullest > width / 2;
    })) << "no underline";
    EXPECT_LE(underlineRight, textRight) << "the underline runs past the text";
    EXPECT_GE(underlineRight, textRight - 2) << "the underline stops short of the text";
}

// The tray icon's double click, its menu's "Settings..." and the panel's
// "Manage hotkeys" all bring up the one window, restored when it was
// minimized; the file's last hotkey is on top and the inactive one is shown
// unchecked and not registered.
TEST_F(SettingsTest, OpensOneWindowThreeWaysWithTheLastHotkeyOnTop) {
    ASSERT_NO_FATAL_FAILURE(Start({{true, 'N', ModWin, "openfile", "notepad.exe", ""},
                                   {false, 'I', ModWin, "maximize", "", ""},
                                   {true, 'K', ModWin, "openwebsite", "example.org/?a&b", ""}}));
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_THAT(RowCaptions(settings), ElementsAre("WIN + K, Open website, example.org/?a&b, active",
                                                   "WIN + I, Maximize active window, inactive",
                                                   "WIN + N, Open file, notepad.exe, active"));
    EXPECT_FALSE(IsCombinationTaken('I', ModWin));
    ASSERT_TRUE(BringToForeground(settings));
    EXPECT_TRUE(RowPaints(Row(0), "K", true)) << "the first row does not paint K, active";
    EXPECT_TRUE(RowPaints(Row(1), "I", false)) << "the second row does not paint I, inactive";
    Edit(Row(1));
    EXPECT_FALSE(IsChecked(Control(Row(1), "Button", "Active")));
    EXPECT_TRUE(IsChecked(Control(Row(1), "Button", "WIN")));

    // The menu's first item, "Settings...", by the keyboard: the window
    // comes back from the taskbar.
    ASSERT_NO_FATAL_FAILURE(Minimize());
    ASSERT_TRUE(ClickTrayIcon(3));
    ASSERT_TRUE(
        WaitFor([] { return !FindTopWindows({.className = "#32768", .visibleOnly = true}).empty(); }));
    SendKeyEvent(VK_DOWN, false);
    SendKeyEvent(VK_DOWN, true);
    SendKeyEvent(VK_RETURN, false);
    SendKeyEvent(VK_RETURN, true);
    ASSERT_TRUE(WaitFor([] { return FindTopWindows({.className = "#32768", .visibleOnly = true}).empty(); }));
    ASSERT_TRUE(Handled(settings)); // the menu's command has run
    EXPECT_THAT(SettingsWindows(corvinade.Id()), ElementsAre(settings));
    EXPECT_TRUE(RestoredInFront()) << "\"Settings...\" left the window minimized";

    // A double click on the icon brings it back too.
    ASSERT_NO_FATAL_FAILURE(Minimize());
    for (int attempt = 0; attempt < 5 && IsIconic(settings); ++attempt) {
        ASSERT_TRUE(DoubleClickTrayIcon());
        WaitFor([&] { return !IsIconic(settings); }, Milliseconds{4000});
    }
    EXPECT_TRUE(RestoredInFront()) << "the double click left the window minimized";

    // The panel's "Manage hotkeys" link, 21 pixels above its bottom edge.
    ASSERT_NO_FATAL_FAILURE(Minimize());
    HWND panel = FindPanel(corvinade.Id());
    for (int attempt = 0; attempt < 5 && !IsWindowVisible(panel); ++attempt) {
        ClickTrayIcon();
        WaitFor([&] { return IsWindowVisible(panel) != FALSE; }, Milliseconds{4000});
    }
    RECT r = {};
    GetWindowRect(panel, &r);
    ASSERT_TRUE(MovePointer(r.left + 20, r.bottom - 15) && Xdotool("click 1"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(panel); }));
    EXPECT_THAT(SettingsWindows(corvinade.Id()), ElementsAre(settings));
    EXPECT_TRUE(RestoredInFront()) << "\"Manage hotkeys\" left the window minimized";
    EXPECT_TRUE(Control(Row(1), "Button", "Save")) << "the same window, the row still in edit mode";

    ClickButton(settings, "Close");
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
}

// Cancel puts the stored values back; Save writes the row in its place and
// the live hotkeys follow; an active conflict is refused with nothing
// written, an inactive one is saved; Maximize keeps the stored parameter;
// Enter in the parameter box saves the row.
TEST_F(SettingsTest, RowsEditCancelSaveAndRefuseConflicts) {
    std::vector<HotkeyEntry> file = {{true, 'N', ModWin, "openfile", "notepad.exe", "C:\\a.txt"},
                                     {false, 'J', ModCtrl | ModAlt, "close", "", ""},
                                     {true, 'K', ModWin, "openwebsite", "example.org", ""}};
    ASSERT_NO_FATAL_FAILURE(Start(file));
    ASSERT_NO_FATAL_FAILURE(Open());
    HWND top = Row(0);

    Edit(top);
    PostClick(Control(top, "Button", "WIN"));
    ASSERT_TRUE(WaitFor([&] { return !IsChecked(Control(top, "Button", "WIN")); }));
    PostClick(Control(top, "Button", "Cancel"));
    ASSERT_TRUE(WaitFor([&] { return Control(top, "Button", "Save") == nullptr; }));
    Edit(top);
    EXPECT_TRUE(IsChecked(Control(top, "Button", "WIN")));

    ASSERT_NO_FATAL_FAILURE(TypeKey(top, 'L'));
    PostClick(Control(top, "Button", "SHIFT"));
    Save(top);
    file[2] = {true, 'L', ModWin | ModShift, "openwebsite", "example.org", ""};
    EXPECT_TRUE(FileIs(file)) << File();
    EXPECT_TRUE(WaitForHotkeyRegistration('L', ModWin | ModShift));
    EXPECT_FALSE(IsCombinationTaken('K', ModWin));
    EXPECT_EQ(WindowText(top), "SHIFT + WIN + L, Open website, example.org, active");

    // WIN+N belongs to the active bottom row: refused, nothing written.
    Edit(top);
    ASSERT_NO_FATAL_FAILURE(TypeKey(top, 'N'));
    PostClick(Control(top, "Button", "SHIFT"));
    PostClick(Control(top, "Button", "Save"));
    EXPECT_EQ(Answer("OK"), "The selected hotkey is already in use.");
    EXPECT_EQ(File(), HotkeysIniText(file));
    EXPECT_TRUE(Control(top, "Button", "Save")) << "still in edit mode";
    // SHIFT alone would take the capital J from every program: refused.
    ASSERT_NO_FATAL_FAILURE(TypeKey(top, 'J'));
    for (const char* box : {"WIN", "SHIFT"})
        PostClick(Control(top, "Button", box));
    PostClick(Control(top, "Button", "Save"));
    EXPECT_EQ(Answer("OK"), "SHIFT alone would take this character from every program: select ALT, CTRL or "
                            "WIN too.");
    EXPECT_EQ(File(), HotkeysIniText(file));
    // CTRL+ALT+J belongs to an inactive row: saved.
    for (const char* box : {"SHIFT", "CTRL", "ALT"})
        PostClick(Control(top, "Button", box));
    Save(top);
    file[2] = {true, 'J', ModCtrl | ModAlt, "openwebsite", "example.org", ""};
    EXPECT_TRUE(FileIs(file)) << File();

    // Maximize has no parameter box, but the stored text stays.
    Edit(top);
    ASSERT_TRUE(ChooseListItem(Control(top, "ComboBox"), "Maximize active window"));
    Save(top);
    file[2].func = "maximize";
    EXPECT_TRUE(FileIs(file)) << File();

    // Enter in the bottom row's parameter box saves that row.
    HWND bottom = Row(2);
    Edit(bottom);
    HWND params = FindDescendant(bottom, "Edit", "notepad.exe");
    ASSERT_NE(params, nullptr);
    SendMessageA(params, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("calc.exe"));
    ASSERT_TRUE(BringToForeground(settings));
    ASSERT_TRUE(ClickWindow(params));
    ASSERT_TRUE(WaitFor([&] { return IsFocusIn(params); }));
    SendKeyEvent(VK_RETURN, false);
    SendKeyEvent(VK_RETURN, true);
    ASSERT_TRUE(WaitFor([&] { return Control(bottom, "Button", "Save") == nullptr; }));
    file[0].params = "calc.exe";
    EXPECT_TRUE(FileIs(file)) << File();
    EXPECT_TRUE(IsWindow(settings));
}

// Close, the close box and Esc ask about a row edited with changes, as a
// program asks about unsaved work: Cancel keeps the window and the input,
// Yes saves (refused, the window stays), No drops it. A double click on a
// row edits it; a stored text's line breaks read as spaces.
TEST_F(SettingsTest, ClosingAsksAboutARowEditedWithChanges) {
    std::vector<HotkeyEntry> file = {
        {true, 'N', ModWin, "openfile", "notepad.exe", ""},
        {true, VK_F5, ModWin, "placeinclipboard", "Dear sir,<?CR?><?LF?>thank you", ""}};
    const std::string question = "Save the changes to WIN + F5?";
    ASSERT_NO_FATAL_FAILURE(Start(file));
    ASSERT_NO_FATAL_FAILURE(Open());
    HWND top = Row(0);
    EXPECT_EQ(WindowText(top), "WIN + F5, Place in clipboard, Dear sir, thank you, active");
    POINT blank = {66 + 420, 85};
    ClientToScreen(top, &blank);
    ASSERT_TRUE(BringToForeground(settings));
    ASSERT_TRUE(MovePointer(blank.x, blank.y) && Xdotool("click --repeat 2 --delay 80 1"));
    ASSERT_TRUE(WaitFor([&] { return Control(top, "Button", "Save") != nullptr; }))
        << "no edit on a double click";
    PostClick(Control(top, "Button", "SHIFT"));
    ASSERT_TRUE(WaitFor([&] { return IsChecked(Control(top, "Button", "SHIFT")); }));

    ClickButton(settings, "Close");
    EXPECT_EQ(Answer("Cancel"), question);
    ASSERT_TRUE(Handled(settings));
    EXPECT_TRUE(IsWindowVisible(settings)) << "Cancel closed the window";
    EXPECT_TRUE(IsChecked(Control(top, "Button", "SHIFT"))) << "the input went";

    // WIN + N, which the other row holds: Yes is refused, the window stays.
    PostClick(Control(top, "Button", "SHIFT"));
    ASSERT_NO_FATAL_FAILURE(TypeKey(top, 'N'));
    PostMessageA(settings, WM_SYSCOMMAND, SC_CLOSE, 0); // the close box
    EXPECT_EQ(Answer("&Yes"), question);
    EXPECT_EQ(Answer("OK"), "The selected hotkey is already in use.");
    ASSERT_TRUE(Handled(settings));
    EXPECT_TRUE(IsWindowVisible(settings)) << "a refused save closed the window";

    ClickButton(settings, "Close");
    EXPECT_EQ(Answer("&No"), question);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
    EXPECT_EQ(File(), HotkeysIniText(file));

    // Esc in the empty filter box closes the window: Yes saves first.
    settings = nullptr;
    ASSERT_NO_FATAL_FAILURE(Open());
    Edit(Row(0));
    ASSERT_NO_FATAL_FAILURE(TypeKey(Row(0), 'G'));
    ASSERT_TRUE(ClickWindow(FilterBox()));
    ASSERT_TRUE(WaitFor([&] { return IsFocusIn(FilterBox()); }));
    Press(VK_ESCAPE);
    EXPECT_EQ(Answer("&Yes"), question);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
    file[1].key = 'G';
    EXPECT_TRUE(FileIs(file)) << File();
}

// Delete asks first, naming the hotkey: No keeps it, Yes removes it from the
// file and the live hotkeys. The new-hotkey wizard's Cancel asks before it
// drops what was typed; "&New hotkey" adds a hotkey last in the file, on top
// of the rows and live.
TEST_F(SettingsTest, DeleteAsksAndNewHotkeyComesOnTop) {
    std::vector<HotkeyEntry> file = {{true, 'N', ModWin, "openfile", "notepad.exe", ""},
                                     {true, 'K', ModWin, "capturescreen", "", ""}};
    ASSERT_NO_FATAL_FAILURE(Start(file));
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::string question =
        "Are you sure you want to delete this global hotkey?\n\nWIN + K, Capture screen";
    PostClick(FindDescendant(Row(0), "Button", "&Delete"));
    EXPECT_EQ(Answer("&No"), question);
    EXPECT_EQ(HotkeyRows(settings).size(), 2u);
    PostClick(FindDescendant(Row(0), "Button", "&Delete"));
    EXPECT_EQ(Answer("&Yes"), question);
    file.pop_back();
    EXPECT_TRUE(FileIs(file)) << File();
    EXPECT_TRUE(WaitFor([&] { return !IsCombinationTaken('K', ModWin); }));
    EXPECT_THAT(RowCaptions(settings), ElementsAre("WIN + N, Open file, notepad.exe, active"));

    // Cancel asks before it drops what was entered; the keystrokes' text
    // dialog opens over the wizard.
    ClickButton(settings, "&New hotkey");
    HWND wizard = WaitForWindow({.title = "New hotkey", .processId = corvinade.Id(), .visibleOnly = true});
    ASSERT_NE(wizard, nullptr);
    PostClick(FindDescendant(wizard, "Button", "&WIN"));
    ASSERT_TRUE(WaitFor([&] { return IsChecked(FindDescendant(wizard, "Button", "&WIN")); }));
    ClickButton(wizard, "Cancel");
    EXPECT_EQ(Answer("&No"), "Discard the new hotkey?");
    ASSERT_TRUE(Handled(wizard));
    EXPECT_TRUE(IsWindowVisible(wizard)) << "No closed the wizard";
    HWND field = FindDescendant(wizard, "Edit");
    ASSERT_TRUE(BringToForeground(wizard) && ClickWindow(field));
    SendKeyEvent('Q', false);
    SendKeyEvent('Q', true);
    ASSERT_TRUE(WaitFor([&] { return WindowText(field) == "Q"; }));
    ClickButton(wizard, "&Next");
    ASSERT_TRUE(WaitFor([&] { return FindButton(wizard, "&Finish") != nullptr; }));
    ASSERT_TRUE(ChooseListItem(FindDescendant(wizard, "ComboBox"), "Send keystrokes"));
    ClickButton(wizard, "...");
    HWND input = WaitForWindow({.title = "Input text", .processId = corvinade.Id(), .visibleOnly = true});
    ASSERT_NE(input, nullptr);
    RECT over = {}, under = {};
    GetWindowRect(input, &over);
    GetWindowRect(wizard, &under);
    EXPECT_LE(std::abs((over.left + over.right) - (under.left + under.right)), 2)
        << "not centred on the wizard";
    EXPECT_LE(std::abs((over.top + over.bottom) - (under.top + under.bottom)), 2)
        << "not centred on the wizard";
    ClickButton(input, "Cancel");
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(input); }));
    PostMessageA(wizard, WM_SYSCOMMAND, SC_CLOSE, 0); // the close box
    EXPECT_EQ(Answer("&Yes"), "Discard the new hotkey?");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(wizard) || !IsWindowVisible(wizard); }));
    EXPECT_TRUE(FileIs(file)) << File();

    ClickButton(settings, "&New hotkey");
    wizard = WaitForWindow({.title = "New hotkey", .processId = corvinade.Id(), .visibleOnly = true});
    ASSERT_NE(wizard, nullptr);
    ASSERT_EQ(FillNewHotkeyWizard(wizard, 'Q', "Minimize active window"), "");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(wizard) || !IsWindowVisible(wizard); }));
    file.push_back({true, 'Q', ModWin, "minimize", "", ""});
    EXPECT_TRUE(FileIs(file)) << File();
    EXPECT_TRUE(WaitForHotkeyRegistration('Q', ModWin));
    EXPECT_TRUE(WaitFor([&] { return RowCaptions(settings).size() == 2; }));
    EXPECT_THAT(RowCaptions(settings), ElementsAre("WIN + Q, Minimize active window, active",
                                                   "WIN + N, Open file, notepad.exe, active"));
}

// What another version of the program wrote survives a row's save: a
// section whose action this version does not know (shown, never
// registered), a value it does not read, and a number under the log-on
// entry's name, which the unticked log-on box leaves alone.
TEST_F(SettingsTest, ASaveKeepsWhatThisVersionDoesNotKnow) {
    const std::string notepad = "[key0]\r\nactive=1\r\nkey=78\r\nshift=8\r\nfunc=openfile\r\n"
                                "mode=later\r\nparams=notepad.exe\r\nparams2=\r\n\r\n",
                      later = "[key1]\r\nfunc=x-later-action\r\nactive=1\r\nkey=75\r\nshift=8\r\n\r\n",
                      capture = "[key2]\r\nactive=1\r\nkey=83\r\nshift=8\r\nfunc=capturescreen\r\nparams=\r\n"
                                "params2=\r\n\r\n";
    SetRegistryDword(RunKeyPath, "Corvinade", 1);
    SetSettingText("FirstUse", "0");
    WriteHotkeysIni(notepad + later + capture);
    corvinade = Process::Start(CorvinadeExe());
    ASSERT_TRUE(WaitForHotkeyRegistration('N', ModWin));
    ASSERT_TRUE(WaitForHotkeyRegistration('S', ModWin));
    EXPECT_FALSE(IsCombinationTaken('K', ModWin)) << "an unknown action is registered";
    rowsExpected = 3;
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(WaitFor([&] { return HotkeyRows(settings).size() == 3; }));

    Edit(Row(0));
    PostClick(Control(Row(0), "Button", "Active"));
    ASSERT_TRUE(WaitFor([&] { return !IsChecked(Control(Row(0), "Button", "Active")); }));
    Save(Row(0));
    const std::string saved = notepad + later + capture.substr(0, 8) + "active=0" + capture.substr(16);
    EXPECT_TRUE(WaitFor([&] { return File() == saved; }, Milliseconds{5000})) << File();
    EXPECT_TRUE(WaitFor([] { return !IsCombinationTaken('S', ModWin); }));
    EXPECT_EQ(RegistryValueType(RunKeyPath, "Corvinade"), static_cast<DWORD>(REG_DWORD));
}

// The log-on box writes the entry as it is clicked, no row saved: quoted,
// and deleted when unticked; the next window shows it as stored. Windows'
// list of startup apps may have turned it off: the box shows it unticked,
// with a line saying so, and ticking turns it on there too (the rest of the
// bytes kept). An entry another copy wrote meanwhile stays through an untick
// and the close.
// The program runs from a folder whose name no ANSI code page holds.
TEST_F(SettingsTest, LogonBoxWritesTheEntryAtOnceAndLeavesAnotherCopysEntry) {
    const char* approvedKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
    const std::string exe = CopyInto(WindowsPath(CorvinadeExe()), MakeUnicodeFolder());
    ASSERT_NO_FATAL_FAILURE(Start({{true, 'N', ModWin, "openfile", "notepad.exe", ""}}, exe));
    const std::string file = File();
    ASSERT_NO_FATAL_FAILURE(Open());
    HWND box = FindDescendant(settings, "Button", "&Start when you log on Windows");
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsChecked(box));
    ASSERT_NO_FATAL_FAILURE(ShowPage("Other settings"));
    const auto click = [&](bool ticked) {
        PostClick(box);
        ASSERT_TRUE(WaitFor([&] { return IsChecked(box) == ticked; }));
        ASSERT_TRUE(Handled(settings)); // the click's handler has run
    };
    ASSERT_NO_FATAL_FAILURE(click(true));
    EXPECT_EQ(LogonEntry(), Quoted(exe));
    ASSERT_NO_FATAL_FAILURE(click(false));
    EXPECT_EQ(LogonEntry(), std::nullopt);
    ASSERT_NO_FATAL_FAILURE(click(true));
    const auto reopen = [&] {
        ASSERT_TRUE(ClickButton(settings, "Close"));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
        settings = nullptr;
        ASSERT_NO_FATAL_FAILURE(Open());
        box = FindDescendant(settings, "Button", "&Start when you log on Windows");
        ASSERT_NE(box, nullptr);
        ASSERT_NO_FATAL_FAILURE(ShowPage("Other settings"));
    };
    ASSERT_NO_FATAL_FAILURE(reopen());
    EXPECT_TRUE(IsChecked(box));
    EXPECT_EQ(File(), file) << "the box wrote the hotkeys";

    const std::vector<BYTE> turnedOff = {3, 0, 0, 0, 0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0x01};
    SetRegistryBinary(approvedKey, "Corvinade", turnedOff);
    ASSERT_NO_FATAL_FAILURE(reopen());
    HWND turnedOffLine = FindDescendant(settings, "Static",
                                        "Windows has turned this off. Turn it on in "
                                        "Settings > Apps > Startup.");
    ASSERT_NE(turnedOffLine, nullptr);
    EXPECT_TRUE(IsWindowVisible(turnedOffLine));
    EXPECT_FALSE(IsChecked(box));
    ASSERT_NO_FATAL_FAILURE(click(true));
    std::vector<BYTE> turnedOn = turnedOff;
    turnedOn[0] = 2;
    EXPECT_EQ(RegistryBinary(approvedKey, "Corvinade"), turnedOn);
    EXPECT_EQ(LogonEntry(), Quoted(exe));
    EXPECT_FALSE(IsWindowVisible(turnedOffLine));

    const std::string another = Quoted("C:\\Tools\\Corvinade\\corvinade.exe");
    SetRegistryText(RunKeyPath, "Corvinade", another);
    ASSERT_NO_FATAL_FAILURE(click(false));
    EXPECT_EQ(LogonEntry(), another);
    ASSERT_NO_FATAL_FAILURE(reopen());
    EXPECT_FALSE(IsChecked(box)) << "another copy's entry shows as ticked";
    ASSERT_TRUE(ClickButton(settings, "Close"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
    EXPECT_EQ(LogonEntry(), another);
}

// The rows show every text as stored, in their captions and in their boxes.
// A file in the ANSI code page ("caf\xE9") is written back byte for byte
// while every text fits it; a Cyrillic text makes it UTF-8 behind its mark,
// and the program reads that back the same at its next start.
TEST_F(SettingsTest, RowsShowAndSaveAnyText) {
    const std::string cafe = "caf\xC3\xA9", privet = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
                      chinese = "\xE4\xB8\xAD\xE6\x96\x87";
    std::vector<HotkeyEntry> file = {{true, 'N', ModWin, "openfile", "notepad.exe", ""},
                                     {true, 'K', ModWin, "placeinclipboard", "caf\xE9", ""}};
    ASSERT_NO_FATAL_FAILURE(Start(file));
    ASSERT_NO_FATAL_FAILURE(Open());
    HWND top = Row(0);
    EXPECT_EQ(WindowText(top), "WIN + K, Place in clipboard, " + cafe + ", active");
    Edit(top);
    EXPECT_NE(FindDescendant(top, "Edit", cafe), nullptr) << "no parameter box showing the text";
    ASSERT_NO_FATAL_FAILURE(TypeKey(top, 'L'));
    Save(top);
    file[1].key = 'L';
    EXPECT_TRUE(FileIs(file)) << File();

    Edit(top);
    HWND params = FindDescendant(top, "Edit", cafe);
    ASSERT_NE(params, nullptr);
    SendMessageW(params, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideOf(privet + " " + chinese).c_str()));
    Save(top);
    file[1].params = privet + " " + chinese;
    EXPECT_TRUE(WaitFor([&] { return File() == "\xEF\xBB\xBF" + HotkeysIniText(file); }, Milliseconds{5000}))
        << File();
    EXPECT_EQ(WindowText(top), "WIN + L, Place in clipboard, " + privet + " " + chinese + ", active");

    corvinade.Terminate();
    settings = nullptr;
    corvinade = Process::Start(CorvinadeExe());
    ASSERT_TRUE(WaitForHotkeyRegistration('L', ModWin));
    const DWORD before = GetClipboardSequenceNumber();
    PressHotkey('L', ModWin);
    ASSERT_TRUE(WaitForClipboardChange(before));
    EXPECT_EQ(ClipboardText(), privet + " " + chinese);
}

// A save that went through stays, whatever fails after it. With "FirstUse"
// of the wrong type, the check for the setup guide after each save fails and
// says so; the saved row keeps its new values, the wizard's new hotkey is
// not called taken, and a later save keeps both.
TEST_F(SettingsTest, ASaveStaysWhenWhatFollowsItFails) {
    std::vector<HotkeyEntry> file = {{true, 'N', ModWin, "openfile", "notepad.exe", ""},
                                     {true, 'K', ModWin, "capturescreen", "", ""}};
    WriteHotkeysIni(file);
    SetSettingDword("FirstUse", 1);
    corvinade = Process::Start(CorvinadeExe());
    const std::string typeError = ErrorDisplayText("Invalid data type for 'FirstUse'");
    EXPECT_EQ(Answer("OK"), typeError);
    ASSERT_TRUE(WaitForHotkeyRegistration('K', ModWin));
    ASSERT_NO_FATAL_FAILURE(Open());

    Edit(Row(0));
    ASSERT_NO_FATAL_FAILURE(TypeKey(Row(0), 'L'));
    Save(Row(0));
    EXPECT_EQ(Answer("OK"), typeError);
    EXPECT_EQ(WindowText(Row(0)), "WIN + L, Capture screen, active");
    file[1].key = 'L';
    EXPECT_TRUE(FileIs(file)) << File();

    ClickButton(settings, "&New hotkey");
    HWND wizard = WaitForWindow({.title = "New hotkey", .processId = corvinade.Id(), .visibleOnly = true});
    ASSERT_NE(wizard, nullptr);
    ASSERT_EQ(FillNewHotkeyWizard(wizard, 'Q', "Close active window"), "");
    EXPECT_EQ(Answer("OK"), typeError);
    file.push_back({true, 'Q', ModWin, "close", "", ""});
    EXPECT_TRUE(FileIs(file)) << File();
    ASSERT_TRUE(WaitFor([&] { return RowCaptions(settings).size() == 3; }));

    Edit(Row(2));
    Save(Row(2));
    EXPECT_EQ(Answer("OK"), typeError);
    EXPECT_TRUE(FileIs(file)) << File();
    EXPECT_TRUE(WaitForHotkeyRegistration('Q', ModWin));
}

// Every window shows the one document: the wizard's new hotkey shows on
// top at once, while a row being edited keeps the user's input; its Save
// then writes it beside the new hotkey.
TEST_F(SettingsTest, ChangesMadeElsewhereShowAtOnceAndEditedInputStays) {
    std::vector<HotkeyEntry> file = {{true, 'N', ModWin, "openfile", "notepad.exe", ""}};
    ASSERT_NO_FATAL_FAILURE(Start(file));
    ASSERT_NO_FATAL_FAILURE(Open());
    HWND edited = Row(0);
    Edit(edited);
    ASSERT_NO_FATAL_FAILURE(TypeKey(edited, 'L'));

    ClickButton(settings, "&New hotkey");
    HWND wizard = WaitForWindow({.title = "New hotkey", .processId = corvinade.Id(), .visibleOnly = true});
    ASSERT_NE(wizard, nullptr);
    ASSERT_EQ(FillNewHotkeyWizard(wizard, 'Q', "Minimize active window"), "");
    ASSERT_TRUE(WaitFor([&] { return RowCaptions(settings).size() == 2; }));
    EXPECT_EQ(WindowText(Row(0)), "WIN + Q, Minimize active window, active");
    EXPECT_EQ(Row(1), edited);
    EXPECT_TRUE(Control(edited, "Button", "Save")) << "the row being edited left edit mode";
    EXPECT_EQ(WindowText(FindDescendant(edited, "Edit")), "L");

    Save(edited);
    EXPECT_TRUE(
        FileIs({{true, 'L', ModWin, "openfile", "notepad.exe", ""}, {true, 'Q', ModWin, "minimize", "", ""}}))
        << File();
}

// A thousand hotkeys: the window holds windows only for the rows in view
// (and a few beside them), the file's last hotkey on top. Tab walks the rows
// one by one and scrolls, each row named for a screen reader and painting
// its own hotkey; the scroll bar's end shows the file's first.
TEST_F(SettingsTest, AThousandHotkeysOpenWithWindowsOnlyForTheRowsInView) {
    std::vector<HotkeyEntry> file;
    for (int i = 0; i < 1000; ++i)
        file.push_back({false, 'A' + i % 26, ModWin, "openwebsite", "example.org/" + std::to_string(i), ""});
    auto caption = [](int i) {
        return "WIN + " + std::string(1, static_cast<char>('A' + i % 26)) + ", Open website, example.org/" +
               std::to_string(i) + ", inactive";
    };
    ASSERT_NO_FATAL_FAILURE(Start(file));
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_LT(AllDescendants(settings).size(), 100u);
    ASSERT_GE(RowCaptions(settings).size(), 2u);
    EXPECT_EQ(RowCaptions(settings)[0], caption(999));
    EXPECT_EQ(RowCaptions(settings)[1], caption(998));
    EXPECT_TRUE(InView(HotkeyRows(settings)[1]));

    // Ctrl+F to the filter box, then Tab: row after row, Edit and Delete.
    ASSERT_TRUE(BringToForeground(settings));
    Press('F', true);
    ASSERT_TRUE(WaitFor([&] { return IsFocusIn(FilterBox()); }));
    for (int tab = 0; tab < 11; ++tab) {
        const HWND before = Focus();
        Press(VK_TAB);
        ASSERT_TRUE(WaitFor([&] { return Focus() != before; })) << "Tab " << tab;
    }
    const HWND row = GetParent(Focus());
    EXPECT_EQ(WindowText(Focus()), "&Edit");
    EXPECT_EQ(WindowText(row), caption(994)) << "the sixth row has the focus";
    EXPECT_TRUE(InView(row)) << "the focused row is in view";
    EXPECT_TRUE(RowPaints(row, "G", false));

    SendMessageA(GetParent(row), WM_VSCROLL, SB_BOTTOM, 0);
    ASSERT_TRUE(Handled(settings));
    EXPECT_EQ(RowCaptions(settings).back(), caption(0));
    EXPECT_TRUE(RowPaints(HotkeyRows(settings).back(), "A", false));
    EXPECT_LT(AllDescendants(settings).size(), 100u);
}

// The filter (Ctrl+F) shows the rows whose combination, action or parameters
// hold what is typed, in any case; a row being edited stays; Enter stays in
// the box; a text no row holds says so; Esc clears the box, and Esc in the
// empty box closes the window as before.
TEST_F(SettingsTest, FilterShowsTheHotkeysThatHoldItsText) {
    const std::string text = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 caf\xC3\xA9"; // Привет café
    ASSERT_NO_FATAL_FAILURE(Start({{true, 'N', ModWin, "openfile", "notepad.exe", ""},
                                   {true, 'K', ModWin, "openwebsite", "example.org", ""},
                                   {false, 'J', ModCtrl | ModAlt, "placeinclipboard", text, ""},
                                   {true, 'S', ModWin, "capturescreen", "", ""}}));
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::string s = "WIN + S, Capture screen, active",
                      j = "ALT + CTRL + J, Place in clipboard, " + text + ", inactive",
                      k = "WIN + K, Open website, example.org, active",
                      n = "WIN + N, Open file, notepad.exe, active";
    ASSERT_THAT(RowCaptions(settings), ElementsAre(s, j, k, n));
    Edit(Row(0));
    ASSERT_TRUE(BringToForeground(settings));
    Press('F', true);
    ASSERT_TRUE(WaitFor([&] { return IsFocusIn(FilterBox()); }));
    auto showsOnly = [&](std::vector<std::string> captions) {
        return WaitFor([&] { return RowCaptions(settings) == captions; });
    };

    TypeText("CAF\xC3\x89"); // CAFÉ
    EXPECT_TRUE(showsOnly({s, j})) << "the edited row and the one with café";
    Press(VK_RETURN);
    ASSERT_TRUE(Handled(settings));
    EXPECT_TRUE(IsWindowVisible(settings)) << "Enter in the box closed the window";
    Press(VK_ESCAPE);
    EXPECT_TRUE(showsOnly({s, j, k, n}));
    EXPECT_EQ(WindowText(FilterBox()), "");
    TypeText("open");
    EXPECT_TRUE(showsOnly({s, k, n}));
    Press(VK_ESCAPE);
    TypeText("win + n");
    EXPECT_TRUE(showsOnly({s, n}));
    EXPECT_TRUE(Control(Row(0), "Button", "Save")) << "the edited row left edit mode";

    PostClick(Control(Row(0), "Button", "Cancel"));
    ASSERT_TRUE(WaitFor([&] { return Control(Row(0), "Button", "Save") == nullptr; }));
    Press('F', true); // the focus went to the row's "Edit"
    ASSERT_TRUE(WaitFor([&] { return IsFocusIn(FilterBox()); }));
    Press(VK_ESCAPE);
    TypeText("zzz");
    EXPECT_TRUE(showsOnly({}));
    HWND noMatch = FindDescendant(settings, "Static", "No hotkey matches the filter.");
    EXPECT_TRUE(noMatch && IsWindowVisible(noMatch));
    Press(VK_ESCAPE);
    EXPECT_TRUE(showsOnly({s, j, k, n}));
    EXPECT_FALSE(IsWindowVisible(noMatch));
    Press(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(settings); })) << "Esc in the empty box";
}

} // namespace
} // namespace corvinade::test
