// Whole-file text access on Windows: any file name (UTF-8, wide calls), the system's error texts,
// and a save that replaces the old file in one step.
#include "core/TextFile.h"

#include "core/Errors.h"
#include "core/Handles_win.h"
#include "core/Paths.h"
#include "core/SystemText_win.h"
#include "core/Wide_win.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

namespace corvinade {

namespace {

// Pauses before each retry while another program holds the file.
constexpr DWORD RetryWaits[] = {50, 100, 200, 400};

[[noreturn]] void Fail(const char* what, const std::string& name, DWORD error) {
    throw Error(std::string(what) + " \"" + name + "\". " + SystemErrorText(error));
}

bool HeldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

HANDLE OpenForReading(const std::string& name) {
    return CreateFileW(SystemFilePath(Wide(name)).c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Writes and flushes content into the open file, then closes it; 0 or the error.
DWORD WriteAndFlush(UniqueHandle file, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file.Get(), content.data() + done, chunk, &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        done += written;
    }
    if (!FlushFileBuffers(file.Get()) || !CloseHandle(file.Detach()))
        return GetLastError();
    return 0;
}

// Moves temp over name, waiting a little while another program holds name.
DWORD MoveIntoPlace(const std::wstring& temp, const std::wstring& name) {
    for (std::size_t attempt = 0;; ++attempt) {
        if (MoveFileExW(temp.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        DWORD error = GetLastError();
        if (!HeldByAnother(error) || attempt == std::size(RetryWaits))
            return error;
        Sleep(RetryWaits[attempt]);
    }
}

// A file of the folder; the folder of a file in a root ends in its delimiter already.
std::wstring InFolder(std::wstring folder, const std::wstring& name) {
    if (folder.empty() || (folder.back() != L'\\' && folder.back() != L'/'))
        folder += L'\\';
    return folder + name;
}

// A new file in the folder, open for writing, named by SaveTempName (the
// only names the clean-up removes) rather than by GetTempFileNameW, which
// holds only MAX_PATH characters. The counter goes on past a name taken.
UniqueHandle CreateTempFile(const std::wstring& folder, std::wstring& temp, DWORD& error) {
    static unsigned long counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = SystemFilePath(InFolder(folder, Wide(SaveTempName(GetCurrentProcessId(), ++counter))));
        UniqueHandle file(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return file;
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    return UniqueHandle();
}

} // namespace

std::optional<std::string> ReadTextFile(const std::string& name) {
    UniqueHandle file(OpenForReading(name));
    for (std::size_t attempt = 0; !file; ++attempt) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return std::nullopt;
        if (error != ERROR_SHARING_VIOLATION || attempt == std::size(RetryWaits))
            Fail("Cannot open file", name, error);
        Sleep(RetryWaits[attempt]);
        file.Reset(OpenForReading(name));
    }
    std::string content;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30))
        content.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &n, nullptr))
            Fail("Cannot open file", name, GetLastError());
        if (n == 0)
            return content;
        content.append(buffer, n);
    }
}

std::string ReadExistingTextFile(const std::string& name) {
    std::optional<std::string> content = ReadTextFile(name);
    if (!content)
        Fail("Cannot open file", name, ERROR_FILE_NOT_FOUND);
    return std::move(*content);
}

std::optional<std::uint64_t> TextFileSize(const std::string& name) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(name).c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return std::nullopt;
        Fail("Cannot open file", name, error);
    }
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

namespace {

// Saves of every running Corvinade take turns: one never removes as a
// leftover the temporary file another has just made and not yet filled.
class SaveTurn {
public:
    static constexpr DWORD WaitMs = 10000;

    SaveTurn() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\Corvinade.Save")) {
        if (mutex_) {
            const DWORD result = WaitForSingleObject(mutex_.Get(), WaitMs);
            // An owner that ended without letting go leaves the mutex to us.
            owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
        }
    }
    SaveTurn(const SaveTurn&) = delete;
    SaveTurn& operator=(const SaveTurn&) = delete;
    ~SaveTurn() {
        if (owned_)
            ReleaseMutex(mutex_.Get());
    }
    // False when another save held it past the wait (or there is no mutex).
    bool Owned() const { return owned_; }

private:
    UniqueHandle mutex_;
    bool owned_ = false;
};

} // namespace

void RemoveSaveLeftovers(const std::string& name) {
    const SaveTurn turn;
    if (!turn.Owned())
        return; // the leftovers wait for the next save
    const std::wstring directory = Wide(DirectoryOf(name));
    WIN32_FIND_DATAW found{};
    HANDLE search =
        FindFirstFileW(SystemFilePath(InFolder(directory, L"corvinade-save-*.tmp")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    // The pattern also meets short (8.3) names: the long name decides.
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsSaveTempName(Utf8(found.cFileName)))
            DeleteFileW(SystemFilePath(InFolder(directory, found.cFileName)).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void ReplaceTextFile(const std::string& name, const std::string& content) {
    const SaveTurn turn;
    if (!turn.Owned())
        Fail("Cannot create file", name, ERROR_TIMEOUT);
    std::wstring temp;
    DWORD error = 0;
    UniqueHandle file = CreateTempFile(Wide(DirectoryOf(name)), temp, error);
    if (!file)
        Fail("Cannot create file", name, error);
    error = WriteAndFlush(std::move(file), content);
    if (error == 0)
        error = MoveIntoPlace(temp, SystemFilePath(Wide(name)));
    if (error != 0) {
        DeleteFileW(temp.c_str());
        Fail("Cannot create file", name, error);
    }
}

} // namespace corvinade
