// hotkeys.ini on Windows (run under Wine): Windows' own INI functions as a
// second opinion on our reader and writer, and saves that fail or find the
// file held by another program.
#include <windows.h>

#include "Harness.h"
#include "core/Errors.h"
#include "core/Hotkeys_win.h"
#include "core/TextEncoding.h"
#include "core/TextFile.h"
#include "core/Wide_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace corvinade {
namespace {

using A = THotkeyAction;
using testing::ElementsAre;
using testing::StartsWith;

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

class HotkeysWin32File : public testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        for (int i = 0; dir_.empty(); ++i) {
            std::string candidate = std::string(temp) + "corvinade-hk-" +
                                    std::to_string(GetCurrentProcessId()) + "-" + std::to_string(i);
            if (CreateDirectoryA(candidate.c_str(), nullptr))
                dir_ = candidate;
            ASSERT_LT(i, 100);
        }
        file_ = dir_ + "\\hotkeys.ini";
    }
    void TearDown() override {
        for (const std::string& name : Files())
            DeleteFileA((dir_ + "\\" + name).c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    std::vector<std::string> Files() const { return test::FolderListing(dir_ + "\\*"); }
    std::string Profile(const char* section, const char* key) const {
        char value[4096];
        DWORD n = GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, file_.c_str());
        return std::string(value, n);
    }

    UnregisteredPort port_;
    std::string dir_;
    std::string file_;
};

TEST_F(HotkeysWin32File, WindowsReadsWhatWeWrite) {
    THotkeyList list(port_);
    list.Add(true, 83, 8, A::CaptureScreen, "", "");
    list.Add(false, 0x6F, 3, A::OpenFile, "C:\\Program Files\\App\\app.exe", "-x \"a b\"");
    list.Add(true, 65, 2, A::SendKeystrokes, "Hello<?CR?><?LF?>{ENTER}", "");
    list.SaveToFile(file_);

    char names[256];
    DWORD n = GetPrivateProfileSectionNamesA(names, sizeof names, file_.c_str());
    EXPECT_EQ(std::string(names, n), std::string("key0\0key1\0key2\0", 15));
    EXPECT_EQ(Profile("key0", "active"), "1");
    EXPECT_EQ(Profile("key0", "key"), "83");
    EXPECT_EQ(Profile("key0", "shift"), "8");
    EXPECT_EQ(Profile("key0", "func"), "capturescreen");
    EXPECT_EQ(Profile("key0", "params"), "");
    EXPECT_EQ(Profile("key0", "params2"), "");
    EXPECT_EQ(Profile("key1", "active"), "0");
    EXPECT_EQ(Profile("key1", "key"), "111");
    EXPECT_EQ(Profile("key1", "func"), "openfile");
    EXPECT_EQ(Profile("key1", "params"), "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(Profile("key1", "params2"), "-x \"a b\"");
    EXPECT_EQ(Profile("KEY2", "PARAMS"), "Hello<?CR?><?LF?>{ENTER}");
    EXPECT_EQ(GetPrivateProfileIntA("key2", "shift", -1, file_.c_str()), 2u);
}

TEST_F(HotkeysWin32File, WeReadWhatWindowsWrites) {
    auto put = [&](const char* section, const char* key, const char* value) {
        ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, file_.c_str()));
    };
    put("second", "func", "openwebsite");
    put("second", "active", "1");
    put("second", "key", "87");
    put("second", "shift", "10");
    put("second", "params", "http://localhost/");
    put("first", "func", "maximize");
    put("first", "key", "38");
    THotkeyList list(port_);
    list.LoadFromFile(file_, false);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Definition,
              (THotKeyData{true, 87, 10, A::OpenWebsite, "http://localhost/", ""}));
    EXPECT_EQ(list.Items(1)->Definition, (THotKeyData{false, 38, 0, A::Maximize, "", ""}));
    list.LoadFromFile(file_, true);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(HotkeysWin32File, AMissingFileOrFolderReadsAsNothing) {
    EXPECT_FALSE(ReadTextFile(file_).has_value());
    EXPECT_FALSE(ReadTextFile(dir_ + "\\no\\such\\hotkeys.ini").has_value());
    THotkeyList list(port_);
    list.Add(true, 1, 0, A::Close, "", "");
    list.LoadFromFile(file_, false);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(HotkeysWin32File, SavingReplacesTheFileAndLeavesNoTemporaryFile) {
    THotkeyList list(port_);
    list.Add(true, 83, 8, A::CaptureScreen, "", "");
    list.SaveToFile(file_);
    list.Add(true, 84, 8, A::Close, "", "");
    list.SaveToFile(file_);
    EXPECT_THAT(Files(), ElementsAre("hotkeys.ini"));
    THotkeyList again(port_);
    again.LoadFromFile(file_, false);
    EXPECT_EQ(again.Count(), 2);
    list.Clear();
    list.SaveToFile(file_);
    EXPECT_EQ(ReadTextFile(file_), std::optional<std::string>(""));
}

// The folder may be shared (a portable copy's): a save removes only what
// a save cut short left, and no file of another program, whatever its
// short (8.3) name.
TEST_F(HotkeysWin32File, ASaveRemovesOnlyItsOwnLeftovers) {
    const std::vector<std::string> others = {"cvn1A2B.tmp",
                                             "cvnotes.tmp",
                                             "corvinade-save-1-2.tmp.txt",
                                             "corvinade-save-x-2.tmp",
                                             "corvinade-save-7.tmp",
                                             "corvinade-save-1-2-3.tmp",
                                             "corvinade-save-long-notes.tmp"};
    for (const std::string& name : others)
        Handle(CreateFileA((dir_ + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    Handle(CreateFileA((dir_ + "\\corvinade-save-4711-12.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       0, nullptr));
    THotkeyList list(port_);
    list.Add(true, 83, 8, A::CaptureScreen, "", "");
    list.SaveToFile(file_);
    std::vector<std::string> expected = others;
    expected.push_back("hotkeys.ini");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Files(), expected);
}

TEST_F(HotkeysWin32File, AFileHeldByAnotherProgramKeepsItsOldContent) {
    THotkeyList list(port_);
    list.Add(true, 83, 8, A::CaptureScreen, "old", "");
    list.SaveToFile(file_);
    const std::optional<std::string> before = ReadTextFile(file_);
    ASSERT_TRUE(before.has_value());

    list.Items(0)->Definition.Params = "new";
    {
        Handle held(CreateFileA(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(held.Get(), INVALID_HANDLE_VALUE);
        try {
            list.SaveToFile(file_);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_THAT(message, StartsWith("Cannot create file \"" + file_ + "\". "));
            EXPECT_GT(message.size(), file_.size() + 23); // the system's text follows
            EXPECT_NE(message.back(), '.');               // the error display adds the period
            EXPECT_NE(message.back(), '\n');
        }
        // Reading it is refused as well, with the other message.
        THotkeyList reader(port_);
        reader.Add(true, 1, 0, A::Close, "", "");
        try {
            reader.LoadFromFile(file_, false);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), StartsWith("Cannot open file \"" + file_ + "\". "));
        }
        EXPECT_EQ(reader.Count(), 0);
    }
    EXPECT_EQ(ReadTextFile(file_), before);
    EXPECT_THAT(Files(), ElementsAre("hotkeys.ini"));
    EXPECT_EQ(list.Items(0)->Definition.Params, "new");

    list.SaveToFile(file_); // released: the save goes through
    THotkeyList again(port_);
    again.LoadFromFile(file_, false);
    ASSERT_EQ(again.Count(), 1);
    EXPECT_EQ(again.Items(0)->Definition.Params, "new");
}

TEST_F(HotkeysWin32File, AFolderThatDoesNotExistCannotBeWritten) {
    THotkeyList list(port_);
    const std::string name = dir_ + "\\missing\\hotkeys.ini";
    try {
        list.SaveToFile(name);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), StartsWith("Cannot create file \"" + name + "\". "));
    }
    EXPECT_TRUE(Files().empty());
}

// A folder deeper than MAX_PATH holds the file: saved, saved over and read
// back, and no temporary file is left beside it.
TEST_F(HotkeysWin32File, AFolderDeeperThanMaxPathHoldsTheFile) {
    std::vector<std::wstring> folders;
    std::string deep = dir_;
    while (deep.size() < 320) {
        deep += "\\" + std::string(60, 'd');
        folders.push_back(L"\\\\?\\" + Wide(deep));
        ASSERT_TRUE(CreateDirectoryW(folders.back().c_str(), nullptr));
    }
    const std::string name = deep + "\\hotkeys.ini";
    THotkeyList list(port_);
    list.Add(true, 83, 8, A::CaptureScreen, "", "");
    EXPECT_NO_THROW(list.SaveToFile(name));
    list.Add(true, 84, 8, A::Close, "", "");
    EXPECT_NO_THROW(list.SaveToFile(name));
    THotkeyList again(port_);
    EXPECT_NO_THROW(again.LoadFromFile(name, false));
    EXPECT_EQ(again.Count(), 2);
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folders.back() + L"\\*.*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        if (found.cFileName[0] != L'.')
            names.push_back(Utf8(found.cFileName));
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    EXPECT_THAT(names, ElementsAre("hotkeys.ini"));

    DeleteFileW((folders.back() + L"\\hotkeys.ini").c_str());
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
        RemoveDirectoryW(folder->c_str());
}

// Wine takes long paths without the prefix; Windows needs it, made whole.
TEST(HotkeysWin32LongPath, APathPastMaxPathTakesThePrefix) {
    const std::wstring deep = L"\\" + std::wstring(300, L'd');
    EXPECT_EQ(SystemFilePath(L"C:\\short\\hotkeys.ini"), L"C:\\short\\hotkeys.ini");
    EXPECT_EQ(SystemFilePath(L"C:/x/../y" + deep), L"\\\\?\\C:\\y" + deep);
    EXPECT_EQ(SystemFilePath(L"\\\\server\\share" + deep), L"\\\\?\\UNC\\server\\share" + deep);
    EXPECT_EQ(SystemFilePath(L"\\\\?\\C:" + deep), L"\\\\?\\C:" + deep);
}

// The tests run with Wine's ANSI code page at 1252: "é" and "€" fit, and
// what would only fit by a best-fit look-alike ("Ā" as "A") does not.
TEST(HotkeysWin32CodePage, TheSystemsCodePageDecidesWhatFits) {
    ASSERT_EQ(GetACP(), 1252u);
    const AnsiCodePage& cp = SystemCodePage();
    EXPECT_EQ(cp.ToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(cp.FromUtf8("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
    for (const char* beyond : {"\xE2\x9C\x93", "\xD0\x9F", "\xC4\x80", "\xF0\x9F\x98\x80"})
        EXPECT_EQ(cp.FromUtf8(beyond), std::nullopt) << beyond;
}

// hotkeys.ini in a folder whose name is outside the code page, with texts
// outside it: written as UTF-8 behind its mark, read back the same.
TEST(HotkeysWin32CodePage, AFolderNamedOutsideTheCodePageHoldsTheFile) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring folder = std::wstring(temp) + L"\u041F\u0440\u0438\u0432\u0435\u0442-" +
                                std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::string file = Utf8(folder) + "\\hotkeys.ini";
    UnregisteredPort port;
    THotkeyList list(port);
    list.Add(true, 65, 2, A::PlaceInClipboard, "\xD0\x9F\xD1\x80\xD0\xB8 \xE4\xB8\xAD\xE6\x96\x87", "");
    list.Add(true, 66, 2, A::OpenFile, Utf8(folder) + "\\a.txt", "");
    list.SaveToFile(file);
    const std::optional<std::string> bytes = ReadTextFile(file);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_TRUE(bytes->starts_with("\xEF\xBB\xBF[key0]\r\n"));
    THotkeyList again(port);
    again.LoadFromFile(file, false);
    ASSERT_EQ(again.Count(), 2);
    EXPECT_EQ(again.Items(0)->Definition, list.Items(0)->Definition);
    EXPECT_EQ(again.Items(1)->Definition, list.Items(1)->Definition);
    DeleteFileW(Wide(file).c_str());
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "a file was left in the folder";
}

} // namespace
} // namespace corvinade
