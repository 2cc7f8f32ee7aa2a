// End-to-end tests of the settings window's "Import..." and "Export...":
// the real corvinade.exe, its file dialogs, the import's dialog and message
// boxes driven from this process, checked in hotkeys.ini, the registrations
// and the rows.
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

#include "Harness.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"

namespace corvinade::test {
namespace {

const HotkeyEntry Notepad{true, 'N', ModWin, "openfile", "notepad.exe", ""};
const HotkeyEntry Capture{true, 'S', ModWin, "capturescreen", "", ""};
const HotkeyEntry Site{true, 'K', ModWin, "openwebsite", "example.org", ""};
const HotkeyEntry Close{false, 'Q', ModCtrl, "close", "", ""};
// WIN + N again: the list's "Open file" comes first and takes it.
const HotkeyEntry SiteOnN{true, 'N', ModWin, "openwebsite", "example.net", ""};

class ImportExportTest : public DesktopTest {
protected:
    void Start(const std::vector<HotkeyEntry>& entries) {
        SetSettingText("FirstUse", "0");
        WriteHotkeysIni(entries);
        corvinade = Process::Start(CorvinadeExe());
        for (const HotkeyEntry& e : entries)
            if (e.active) {
                ASSERT_TRUE(WaitForHotkeyRegistration(e.key, e.shift));
            }
        for (int attempt = 0; attempt < 5 && !settings; ++attempt) {
            ASSERT_TRUE(DoubleClickTrayIcon());
            settings = WaitForSettingsWindow(corvinade.Id(), Milliseconds{4000});
        }
        ASSERT_NE(settings, nullptr) << "no settings window after double clicks on the tray icon";
    }
    // A file in this run's temporary folder.
    static std::string TempFile(const std::string& name) {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        return Utf8Of(temp) + name;
    }
    static void WriteFile(const std::string& path, const std::string& text) {
        std::ofstream(std::filesystem::path(WideOf(path)), std::ios::binary) << text;
    }
    // Clicks the button, then names the file in the dialog titled `title`.
    void ChooseFile(const std::string& button, const std::string& title, const std::string& file) {
        ASSERT_TRUE(ClickButton(settings, button));
        HWND dialog = WaitForWindow({"#32770", title, corvinade.Id(), true});
        ASSERT_NE(dialog, nullptr) << "no dialog \"" << title << "\"";
        const std::wstring name = WideOf(file);
        SendMessageW(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        ASSERT_TRUE(PressDialogButton(dialog, IDOK));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    }
    // The dialog that shows what an import brings (a window of ours, not
    // the file dialog of the same title).
    HWND WaitForImportDialog() {
        return WaitForWindow({"CorvinadeForm", "Import hotkeys", corvinade.Id(), true});
    }
    // Answers the next message box; returns its text.
    std::string Answer(const std::string& button) { return AnswerMessageBox(corvinade.Id(), button); }
    std::string File() { return FileContent(HotkeysIniPath()).value_or("(none)"); }
    bool FileIs(const std::vector<HotkeyEntry>& entries) {
        return WaitFor([&] { return File() == HotkeysIniText(entries); }, Milliseconds{5000});
    }

    Process corvinade;
    HWND settings = nullptr;
};

// "Import..." shows what the file brings before anything is saved: each of
// its hotkeys with what adding does with it (new, already in the list, not
// allowed: a key without a modifier; a section whose action this version
// does not know comes as it is), and asks in one dialog whose buttons say
// what they do. Cancel changes nothing. Adding saves and registers the new
// ones and says so plainly; an added hotkey whose combination an earlier
// one takes says so in its row. A file all of whose hotkeys the list has
// says that. Replacing, once confirmed, leaves the file's allowed hotkeys
// alone in the list. A file without a hotkey changes nothing.
TEST_F(ImportExportTest, ImportShowsWhatItBringsAndAddsOrReplaces) {
    ASSERT_NO_FATAL_FAILURE(Start({Notepad, Capture}));
    const HotkeyEntry bare{true, 'J', 0, "openwebsite", "example.com", ""};
    const std::string import = TempFile("import.ini");
    const std::string unknown = "active=1\r\nkey=77\r\nshift=9\r\nfunc=Maximize\r\n\r\n";
    WriteFile(import, HotkeysIniText({Capture, Site, bare, Close}) + "[bad]\r\n" + unknown +
                          HotkeysIniText({SiteOnN}).replace(1, 4, "last"));

    ASSERT_NO_FATAL_FAILURE(ChooseFile("&Import...", "Import hotkeys", WindowsPath(import)));
    HWND dialog = WaitForImportDialog();
    ASSERT_NE(dialog, nullptr) << "no dialog showing what the import brings";
    EXPECT_NE(FindDescendant(dialog, "Static", "\"import.ini\" holds 6 hotkeys:"), nullptr);
    HWND list = FindDescendant(dialog, "SysListView32");
    ASSERT_NE(list, nullptr);
    using Row = std::vector<std::string>;
    EXPECT_THAT(ListViewRows(list, 4),
                testing::ElementsAre(
                    Row{"WIN + S", "Capture screen", "Already in your list", ""},
                    Row{"WIN + K", "Open website", "New", "example.org"},
                    Row{"J", "Open website", "Not allowed: no ALT, CTRL, SHIFT or WIN", "example.com"},
                    Row{"CTRL + Q", "Close active window", "New", ""},
                    Row{"ALT + WIN + M", "Unknown action: Maximize", "New", ""},
                    Row{"WIN + N", "Open website", "New", "example.net"}));
    EXPECT_NE(
        FindDescendant(dialog, "Static",
                       "4 are new (1 with an action this version does not know, kept but not run); 1 is "
                       "already in your list; 1 is not allowed and stays out."),
        nullptr);
    ASSERT_TRUE(ClickButton(dialog, "Cancel"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(File(), HotkeysIniText({Notepad, Capture})) << "a cancelled import wrote the file";

    ASSERT_NO_FATAL_FAILURE(ChooseFile("&Import...", "Import hotkeys", WindowsPath(import)));
    ASSERT_TRUE(ClickButton(dialog = WaitForImportDialog(), "&Add to my hotkeys"));
    EXPECT_EQ(Answer("OK"),
              "Added 4 hotkeys (1 with an action this version does not know, kept but not run); 1 "
              "was already in your list; 1 was not allowed.");
    EXPECT_TRUE(WaitFor(
        [&] {
            return File() == HotkeysIniText({Notepad, Capture, Site, Close}) + "[key4]\r\n" + unknown +
                                 HotkeysIniText({SiteOnN}).replace(1, 4, "key5");
        },
        Milliseconds{5000}))
        << File();
    EXPECT_TRUE(WaitForHotkeyRegistration('K', ModWin));
    EXPECT_TRUE(WaitFor([&] {
        const std::vector<std::string> rows = RowCaptions(settings);
        return !rows.empty() && rows[0] == "WIN + N, Open website, example.net, active, not registered: An "
                                           "earlier hotkey of this list, WIN + N (Open file), takes this "
                                           "combination.";
    })) << testing::PrintToString(RowCaptions(settings));

    WriteFile(import, HotkeysIniText({Site, Notepad, Capture, Close}));
    ASSERT_NO_FATAL_FAILURE(ChooseFile("&Import...", "Import hotkeys", WindowsPath(import)));
    ASSERT_TRUE(ClickButton(WaitForImportDialog(), "&Add to my hotkeys"));
    EXPECT_EQ(Answer("OK"), "All 4 hotkeys in the file are already in your list.");

    const std::string empty = TempFile("empty.ini");
    WriteFile(empty, "; no section\r\nfunc=close\r\n");
    ASSERT_NO_FATAL_FAILURE(ChooseFile("&Import...", "Import hotkeys", WindowsPath(empty)));
    EXPECT_EQ(Answer("OK"), "\"" + empty + "\" holds no hotkey. Nothing was imported.");

    WriteFile(import, HotkeysIniText({Site, bare, Close}));
    ASSERT_NO_FATAL_FAILURE(ChooseFile("&Import...", "Import hotkeys", WindowsPath(import)));
    ASSERT_TRUE(ClickButton(WaitForImportDialog(), "&Replace my hotkeys"));
    EXPECT_EQ(Answer("OK"), "Replace your 6 hotkeys with the 2 hotkeys of \"" + import +
                                "\"? Your hotkeys now in the list are deleted.");
    EXPECT_EQ(Answer("OK"), "Replaced your hotkeys with the 2 hotkeys of the file; 1 was not allowed.");
    EXPECT_TRUE(FileIs({Site, Close})) << File();
    EXPECT_TRUE(WaitFor([] { return !IsCombinationTaken('S', ModWin); })) << "WIN + S is still registered";
    EXPECT_TRUE(WaitFor([&] { return HotkeyRows(settings).size() == 2; }));
}

// The exported file is hotkeys.ini byte for byte, and imported back in
// place of the list it gives the same file.
TEST_F(ImportExportTest, AnExportImportsBackAsTheSameList) {
    const std::vector<HotkeyEntry> list = {
        Notepad, Close, {true, 'T', ModWin, "sendkeystrokes", "a<?CR?>b", ""}};
    ASSERT_NO_FATAL_FAILURE(Start(list));
    const std::string exported = TempFile("exported.ini");
    ASSERT_NO_FATAL_FAILURE(ChooseFile("E&xport...", "Export hotkeys", WindowsPath(exported)));
    EXPECT_TRUE(WaitFor([&] { return FileContent(exported) == HotkeysIniText(list); }))
        << FileContent(exported).value_or("(none)");

    ASSERT_NO_FATAL_FAILURE(ChooseFile("&Import...", "Import hotkeys", WindowsPath(exported)));
    ASSERT_TRUE(ClickButton(WaitForImportDialog(), "&Replace my hotkeys"));
    EXPECT_THAT(Answer("OK"), testing::StartsWith("Replace your 3 hotkeys"));
    // Reported once saved.
    EXPECT_EQ(Answer("OK"), "Replaced your hotkeys with the 3 hotkeys of the file.");
    EXPECT_EQ(File(), HotkeysIniText(list));
}

} // namespace
} // namespace corvinade::test
