// End-to-end tests of a portable copy: corvinade.exe in a folder that holds
// a file named "portable", started in a fresh prefix. Its hotkeys and its
// "FirstUse" live beside it and the registry is left alone.
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

#include "Harness.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"

namespace corvinade::test {
namespace {

constexpr const char* LogonBoxCaption = "&Start when you log on Windows";

bool RegistryKeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, WideOf(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WideOf(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string AppDataFolder() {
    const std::string ini = HotkeysIniPath(); // ...\Pelmorra\Corvinade\Data\hotkeys.ini
    return ini.substr(0, ini.find("\\Pelmorra\\"));
}

class PortableTest : public DesktopTest {
protected:
    // The program and the marker in `folder`.
    void MakeCopy(const std::string& folder) {
        exe = CopyInto(CorvinadeExe(), folder);
        std::ofstream(std::filesystem::path(WideOf(folder + "\\portable")));
    }
    HWND StartToGuide() {
        corvinade = Process::Start(exe);
        return WaitForWindow({.title = "Setup Corvinade", .processId = corvinade.Id(), .visibleOnly = true});
    }
    // Next, Next: the page of the suggestions and "&Finish".
    void ToFinish(HWND guide) {
        ASSERT_TRUE(ClickButton(guide, "&Next"));
        ASSERT_TRUE(ClickButton(guide, "&Next"));
        ASSERT_TRUE(WaitFor([&] { return FindButton(guide, "&Finish") != nullptr; }));
    }
    void NothingInTheRegistry() {
        EXPECT_FALSE(RegistryKeyExists("Software\\Pelmorra"));
        EXPECT_EQ(LogonEntry(), std::nullopt);
        EXPECT_FALSE(FolderExists(AppDataFolder() + "\\Pelmorra"));
    }

    std::string exe;
    Process corvinade;
};

// The guide's log-on box starts unticked; "Finish" writes the suggestions and
// the first use beside the program, and they work at once. The next start
// reads them there: no guide.
TEST_F(PortableTest, APortableCopyKeepsItsFilesBesideItAndWritesNoRegistry) {
    const std::string folder = MakeUnicodeFolder();
    MakeCopy(folder);
    HWND guide = StartToGuide();
    ASSERT_NE(guide, nullptr) << "no setup guide";
    ASSERT_NO_FATAL_FAILURE(ToFinish(guide));
    EXPECT_FALSE(IsChecked(FindDescendant(guide, "Button", LogonBoxCaption)));
    ASSERT_TRUE(ClickButton(guide, "&Finish"));
    ASSERT_TRUE(WaitForHotkeyRegistration('S', ModWin));
    EXPECT_THAT(FileContent(folder + "\\hotkeys.ini").value_or("(none)"),
                testing::HasSubstr("func=capturescreen\r\n"));
    EXPECT_EQ(FileContent(folder + "\\settings.ini"), "[Corvinade]\r\nFirstUse=0\r\n\r\n");
    NothingInTheRegistry();

    corvinade.Terminate();
    corvinade = Process::Start(exe);
    ASSERT_TRUE(WaitForHotkeyRegistration('S', ModWin));
    // The start's check for the guide was posted before this hotkey came.
    PressHotkey('S', ModWin);
    ASSERT_TRUE(WaitForWindow({.title = "Save Capture", .processId = corvinade.Id(), .visibleOnly = true}));
    EXPECT_TRUE(FindTopWindows({.title = "Setup Corvinade", .processId = corvinade.Id()}).empty());
    NothingInTheRegistry();
}

// A copy on a read-only folder: "Finish" gives the file error of every
// save, writes nothing, and the program goes on.
TEST_F(PortableTest, AReadOnlyFolderGivesTheFileErrorOnSave) {
    const std::string unixFolder = "/tmp/corvinade-readonly-" + UniqueRunToken();
    if (RunUnixCommand("mkdir -p '" + unixFolder + "' && mount -t tmpfs -o size=8m corvinade-ro '" +
                       unixFolder + "'") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs over " << unixFolder << " (needs root and the right to mount)";
    struct Unmount {
        std::string folder;
        ~Unmount() { RunUnixCommand("umount '" + folder + "' && rmdir '" + folder + "'"); }
    } unmount{unixFolder};
    const std::string folder = WindowsPath(unixFolder);
    MakeCopy(folder);
    ASSERT_EQ(RunUnixCommand("mount -o remount,ro '" + unixFolder + "'"), 0);

    HWND guide = StartToGuide();
    ASSERT_NE(guide, nullptr) << "no setup guide";
    ASSERT_NO_FATAL_FAILURE(ToFinish(guide));
    ASSERT_TRUE(ClickButton(guide, "&Finish"));
    HWND box = WaitForWindow({"#32770", "Corvinade", corvinade.Id(), true});
    ASSERT_NE(box, nullptr) << "no error box";
    EXPECT_THAT(MessageBoxText(box),
                testing::StartsWith("Cannot create file \"" + folder + "\\hotkeys.ini\". "));
    ClickButton(box, "OK");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_FALSE(FileContent(folder + "\\hotkeys.ini"));

    // Leaving the guide brings the settings window, as on any first start.
    ASSERT_TRUE(ClickButton(guide, "Cancel"));
    HWND question = WaitForMessageBoxOf(corvinade.Id());
    ASSERT_NE(question, nullptr);
    ClickButton(question, "OK");
    EXPECT_NE(WaitForSettingsWindow(corvinade.Id()), nullptr);
    NothingInTheRegistry();
}

} // namespace
} // namespace corvinade::test
