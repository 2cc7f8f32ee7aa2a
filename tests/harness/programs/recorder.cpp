// recorder.exe: a program for the end-to-end tests to have started. Each start
// appends one line to a log and exits: its parent's process id, a tab, and its
// whole command line exactly as it got it (UTF-8). The log is the file named by
// CORVINADE_RECORDER_LOG, else corvinade-recorder.log in the temporary folder.
#include <windows.h>

#include <tlhelp32.h>

#include <string>

namespace {

std::string LogPath() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableA("CORVINADE_RECORDER_LOG", path, sizeof path);
    if (length > 0 && length < sizeof path)
        return path;
    GetTempPathA(sizeof path, path);
    return std::string(path) + "corvinade-recorder.log";
}

DWORD ParentProcessId() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    DWORD parent = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) {
            parent = entry.th32ParentProcessID;
            break;
        }
    }
    CloseHandle(snapshot);
    return parent;
}

// Several recorders may start at once: the file is opened without sharing,
// and a start that finds it busy tries again, so lines never interleave.
bool AppendLine(const std::string& path, const std::string& line) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return ok && written == line.size();
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION)
            return false;
        Sleep(10);
    }
    return false;
}

} // namespace

// The command line as UTF-8, so that any path or text in it comes whole.
std::string CommandLine() {
    const wchar_t* wide = GetCommandLineW();
    std::string text(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(text.empty() ? 0 : text.size() - 1);
    return text;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string line = std::to_string(ParentProcessId()) + "\t" + CommandLine() + "\r\n";
    return AppendLine(LogPath(), line) ? 0 : 1;
}
