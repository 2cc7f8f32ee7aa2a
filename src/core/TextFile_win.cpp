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

constexpr wchar_t TempPrefix[] = L"cvn";

// A new file "cvnXXXXXXXX.tmp" in the folder, open for writing: named here
// rather than by GetTempFileNameW, which holds only MAX_PATH characters.
UniqueHandle CreateTempFile(const std::wstring& folder, std::wstring& temp, DWORD& error) {
    static DWORD counter = GetTickCount();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring unique(8, L'0');
        for (DWORD value = ++counter ^ (GetCurrentProcessId() << 16), i = 8; i-- > 0; value >>= 4)
            unique[i] = L"0123456789ABCDEF"[value & 15];
        temp = SystemFilePath(folder + L"\\" + TempPrefix + unique + L".tmp");
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
    HANDLE search = FindFirstFileW(SystemFilePath(directory + L"\\" + TempPrefix + L"*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW(SystemFilePath(directory + L"\\" + found.cFileName).c_str());
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
