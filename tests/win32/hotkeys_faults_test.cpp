// Saves of hotkeys.ini that the system refuses must lose nothing: on a full
// disk and onto a read-only file the save gives its message, the old file
// keeps its content, no temporary file stays, and the program goes on (here:
// the test, which caught the error as the application would). A file held
// open by another program is in hotkeys_file_test.cpp.
#include <windows.h>

#include <shlobj.h>

#include "Harness.h"
#include "TrayHarness.h"
#include "core/Errors.h"
#include "core/Hotkeys.h"
#include "core/SystemText_win.h"
#include "core/TextFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace corvinade {
namespace {

using A = THotkeyAction;
using testing::ElementsAre;

std::vector<std::string> Files(const std::string& folder) {
    return test::FolderListing(folder + "\\*");
}

// The prefix's own Data folder, made when missing.
std::string DataFolder() {
    char appData[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, TRUE))
        return {};
    std::string folder = appData;
    for (const char* part : {"\\Pelmorra", "\\Corvinade", "\\Data"}) {
        folder += part;
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    return folder;
}

// The Linux path Wine keeps a Windows path at.
std::string UnixPath(const std::string& windowsPath) {
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr)
        return {};
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* unix = convert(wide.c_str());
    if (unix == nullptr)
        return {};
    std::string path = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

TEST(HotkeysWin32Faults, AFullDiskGivesTheMessageAndKeepsTheOldFile) {
    const std::string folder = DataFolder(), file = folder + "\\hotkeys.ini";
    const std::string unixFolder = UnixPath(folder);
    ASSERT_FALSE(unixFolder.empty());
    // 64 KB of room over the Data folder; needs root with the right to mount.
    if (test::RunUnixCommand("mount -t tmpfs -o size=64k corvinade-full " + Quoted(unixFolder)) != 0)
        GTEST_SKIP() << "cannot mount a tmpfs over " << unixFolder
                     << " here (mounting needs root and the right to mount): the full disk is not tested";
    struct Unmount {
        std::string folder;
        ~Unmount() { test::RunUnixCommand("umount " + Quoted(folder)); }
    } unmount{unixFolder};

    UnregisteredPort port;
    THotkeyList list(port);
    list.Add(true, 83, 8, A::CaptureScreen, "old", "");
    list.SaveToFile(file);
    const std::optional<std::string> before = ReadTextFile(file);
    ASSERT_TRUE(before.has_value());

    // Fill the rest of the disk.
    const std::string filler = folder + "\\filler.bin";
    {
        HANDLE f = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        const std::string block(4096, 'f');
        DWORD written = 0;
        for (int i = 0; i < 64 && WriteFile(f, block.data(), 4096, &written, nullptr) && written == 4096;
             ++i) {
        }
        CloseHandle(f);
    }

    list.Items(0)->Definition.Params = std::string(20000, 'n');
    try {
        list.SaveToFile(file);
        ADD_FAILURE() << "no error on a full disk";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + file + "\". " + SystemErrorText(ERROR_DISK_FULL));
    }
    EXPECT_EQ(ReadTextFile(file), before);
    EXPECT_THAT(Files(folder), ElementsAre("filler.bin", "hotkeys.ini"));

    // With room again the same save goes through.
    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    list.SaveToFile(file);
    THotkeyList again(port);
    again.LoadFromFile(file, false);
    ASSERT_EQ(again.Count(), 1);
    EXPECT_EQ(again.Items(0)->Definition.Params, std::string(20000, 'n'));
    DeleteFileA(file.c_str());
}

// Windows refuses to replace a read-only file. Wine, running as root, might
// not: then the case cannot be reproduced here and is skipped, saying so.
TEST(HotkeysWin32Faults, AReadOnlyFileGivesTheMessageAndKeepsItsContent) {
    const std::string folder = DataFolder(), file = folder + "\\hotkeys.ini";
    UnregisteredPort port;
    THotkeyList list(port);
    list.Add(true, 83, 8, A::CaptureScreen, "old", "");
    list.SaveToFile(file);
    const std::optional<std::string> before = ReadTextFile(file);
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    struct Writable {
        std::string file;
        ~Writable() {
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        }
    } writable{file};

    list.Items(0)->Definition.Params = "new";
    try {
        list.SaveToFile(file);
        GTEST_SKIP() << "Wine replaced a read-only file here (running as "
                     << (test::RunUnixCommand("test \"$(id -u)\" = 0") == 0 ? "root" : "a user")
                     << "): the read-only case cannot be reproduced";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + file + "\". " + SystemErrorText(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(ReadTextFile(file), before);
    EXPECT_THAT(Files(folder), ElementsAre("hotkeys.ini"));
    EXPECT_EQ(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
}

} // namespace
} // namespace corvinade
