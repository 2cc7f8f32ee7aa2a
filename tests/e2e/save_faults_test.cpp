// Saves of hotkeys.ini that are cut short must lose nothing: a program that
// saves with the program's own save, over and over, is killed at random
// moments; each time the file holds one whole content or the other, and the
// temporary files of cut saves do not pile up.
#include "Harness.h"

#include <gmock/gmock.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace corvinade::test {
namespace {

// When the file was last replaced: each save puts a new file in place.
std::uint64_t LastWrite(const std::string& name) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

std::optional<std::string> ReadIfThere(const std::string& name) {
    HANDLE file =
        CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string text;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
        text.append(buffer, n);
    CloseHandle(file);
    return text;
}

// The save's temporary files in the folder.
std::vector<std::string> Leftovers(const std::string& folder) {
    return FolderListing(folder + "\\corvinade-save-*.tmp");
}

std::string Quote(const std::string& text) {
    return "\"" + text + "\"";
}

TEST(SaveFaults, AKilledSaveLeavesOneWholeContentAndNoPileOfTemporaryFiles) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "corvinade-kill-" + UniqueRunToken();
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string file = folder + "\\hotkeys.ini";

    Process texts = Process::Start(TestProgram("saver.exe"), "texts " + Quote(folder));
    ASSERT_TRUE(texts.WaitForExit(DefaultTimeout));
    ASSERT_EQ(texts.ExitCode(), 0u);
    const std::optional<std::string> a = ReadIfThere(folder + "\\a.txt"), b = ReadIfThere(folder + "\\b.txt");
    ASSERT_TRUE(a && b);
    ASSERT_NE(*a, *b);
    DeleteFileA((folder + "\\a.txt").c_str());
    DeleteFileA((folder + "\\b.txt").c_str());

    const std::string eventName = "corvinade-saver-" + UniqueRunToken();
    UniqueHandle running(CreateEventA(nullptr, FALSE, FALSE, eventName.c_str()));
    ASSERT_TRUE(running);
    const unsigned seed = GetTickCount();
    std::mt19937 random(seed);
    SCOPED_TRACE("random seed " + std::to_string(seed));

    // A few hundred rounds, within a minute whatever the machine's speed.
    constexpr int MaxRounds = 300;
    constexpr DWORD MaxMs = 60000;
    int rounds = 0, none = 0, first = 0, second = 0, cut = 0;
    const DWORD start = GetTickCount();
    for (; rounds < MaxRounds && GetTickCount() - start < MaxMs; ++rounds) {
        Process saver = Process::Start(TestProgram("saver.exe"), "loop " + Quote(file) + " " + eventName);
        ASSERT_EQ(WaitForSingleObject(running.Get(), static_cast<DWORD>(DefaultTimeout.count())),
                  WAIT_OBJECT_0);
        Sleep(random() % 30);
        TerminateProcess(saver.Handle(), 99);
        ASSERT_TRUE(saver.WaitForExit(DefaultTimeout));
        ASSERT_EQ(saver.ExitCode(), 99u) << "the saver ended by itself (a save failed) in round " << rounds;

        const std::optional<std::string> content = ReadIfThere(file);
        if (!content)
            ++none;
        else if (*content == *a)
            ++first;
        else if (*content == *b)
            ++second;
        else
            FAIL() << "round " << rounds << ": the file holds " << content->size()
                   << " bytes, neither whole content";
        const std::vector<std::string> left = Leftovers(folder);
        ASSERT_LE(left.size(), 1u) << "temporary files pile up after round " << rounds << ": "
                                   << testing::PrintToString(left);
        cut += static_cast<int>(left.size());
    }
    std::printf("kill during save: %d rounds in %lu ms; file missing %d, first content %d, second %d; "
                "%d rounds left a cut save's temporary file\n",
                rounds, GetTickCount() - start, none, first, second, cut);
    // The first save of all may be cut before the file exists; later ones
    // find the file of an earlier round.
    EXPECT_GT(first + second, 0);

    for (const std::string& name : Leftovers(folder))
        DeleteFileA((folder + "\\" + name).c_str());
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

// Two programs save the same file over and over at once, each clearing
// leftovers first: neither deletes the temporary file the other is filling
// (its save would fail and end it), and the file always holds one whole
// content.
TEST(SaveFaults, TwoProcessesSavingAtOnceTakeTurns) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "corvinade-two-" + UniqueRunToken();
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string file = folder + "\\hotkeys.ini";
    Process texts = Process::Start(TestProgram("saver.exe"), "texts " + Quote(folder));
    ASSERT_TRUE(texts.WaitForExit(DefaultTimeout));
    const std::optional<std::string> a = ReadIfThere(folder + "\\a.txt"), b = ReadIfThere(folder + "\\b.txt");
    ASSERT_TRUE(a && b);
    DeleteFileA((folder + "\\a.txt").c_str());
    DeleteFileA((folder + "\\b.txt").c_str());

    const std::string eventName = "corvinade-savers-" + UniqueRunToken();
    UniqueHandle running(CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(running);
    Process first = Process::Start(TestProgram("saver.exe"), "loop " + Quote(file) + " " + eventName);
    Process second = Process::Start(TestProgram("saver.exe"), "loop " + Quote(file) + " " + eventName);
    ASSERT_EQ(WaitForSingleObject(running.Get(), static_cast<DWORD>(DefaultTimeout.count())), WAIT_OBJECT_0);
    int reads = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 5000; ++reads) {
        ASSERT_TRUE(first.Running() && second.Running())
            << "a save failed after " << reads << " reads (exit codes " << first.ExitCode().value_or(0)
            << ", " << second.ExitCode().value_or(0) << "): one saver removed the other's file";
        // A read holds the file for a moment, which a save waits out for a
        // while only: one read per save that went through.
        const std::uint64_t seen = LastWrite(file);
        if (!WaitFor([&] { return LastWrite(file) != seen; }, Milliseconds{2000}))
            continue;
        const std::optional<std::string> content = ReadIfThere(file);
        if (content) {
            ASSERT_TRUE(*content == *a || *content == *b)
                << "read " << reads << ": " << content->size() << " bytes, neither whole content";
        }
    }
    std::printf("two savers at once: %d reads\n", reads);
    first.Terminate();
    second.Terminate();
    for (const std::string& name : FolderListing(folder + "\\*"))
        DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace
} // namespace corvinade::test
