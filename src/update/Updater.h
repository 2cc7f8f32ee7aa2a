// TUpdater: asks the update endpoint whether a newer Corvinade exists, by
// sending the running file's version number and looking for the marker in
// the answer. TUpdateWorker runs one such check on a thread of its own, so
// that a slow endpoint never holds up the user-interface thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace corvinade {

// The WinINet calls of a download (handles as void*, HINTERNET), resolved on the user-interface thread
// (the system-library cache belongs to it) before a worker uses them.
struct DownloadFunctions {
    using Open = void*(WINAPI*)(LPCWSTR, DWORD, LPCWSTR, LPCWSTR, DWORD);
    using SetOption = BOOL(WINAPI*)(void*, DWORD, LPVOID, DWORD);
    using OpenUrl = void*(WINAPI*)(void*, LPCWSTR, LPCWSTR, DWORD, DWORD, DWORD_PTR);
    using Read = BOOL(WINAPI*)(void*, LPVOID, DWORD, LPDWORD);
    using Close = BOOL(WINAPI*)(void*);
    using QueryInfo = BOOL(WINAPI*)(void*, DWORD, LPVOID, LPDWORD, LPDWORD);

    Open open = nullptr;
    SetOption setOption = nullptr;
    OpenUrl openUrl = nullptr;
    Read read = nullptr;
    Close close = nullptr;
    QueryInfo queryInfo = nullptr;

    // Loads wininet.dll the first time; throws Error when it is missing.
    static DownloadFunctions Load();
};

class TUpdateDownloadHandles;

class TUpdater {
public:
    static constexpr DWORD DownloadTimeoutMs = 15000;

    // The running program's version number (1.10.0.0 gives 1100000) and the
    // endpoint's base address (ConfiguredUpdateBase, read by the caller).
    TUpdater(int runningVersion, std::string base, DownloadFunctions functions)
        : runningVersion_(runningVersion), base_(std::move(base)), functions_(functions) {}

    // True when the endpoint's answer holds "[UPDATE]". Throws Error
    // "Error\r\rCould not check for updates." when the download fails, with
    // the server's status when it answered other than 200 OK. The answer is
    // read into memory, never through the system's cache, so every check
    // asks the endpoint afresh and no file is left behind. Blocks for up to
    // DownloadTimeoutMs per step of the download; any thread. `handles`
    // holds what it opens meanwhile, for another thread to close.
    bool IsUpdateAvailable(TUpdateDownloadHandles& handles);

    const DownloadFunctions& Functions() const { return functions_; }

private:
    int runningVersion_;
    std::string base_;
    DownloadFunctions functions_;
};

// The endpoint's base address: the settings value, or the default.
std::string ConfiguredUpdateBase();

// One update check on a worker thread of its own. The worker touches no
// window and no state of the program: when its answer is in, it posts
// `message` with `number` in wParam to `notify`, and the user-interface
// thread reads the answer. A worker that outlives its owner (given up after
// the time limit) finishes alone and frees its own state. At the program's
// end its owner cancels it and waits for it to leave WinINet: a thread ended
// with the process while inside could hold WinINet's lock when its library
// detaches.
class TUpdateWorker {
public:
    struct Answer {
        bool available = false;
        std::string error; // empty when the check got an answer
    };

    // Throws Error when the thread cannot start.
    TUpdateWorker(TUpdater updater, HWND notify, UINT message, WPARAM number);
    TUpdateWorker(const TUpdateWorker&) = delete;
    TUpdateWorker& operator=(const TUpdateWorker&) = delete;
    ~TUpdateWorker();

    // Valid once the posted message has arrived.
    Answer TakeAnswer() const;
    bool Finished() const;

    // The user-interface thread's: closes the download's handles, so that
    // the worker's blocked call returns and it ends with a failed check.
    void Cancel();
    // True when the worker's thread has ended within the time.
    bool WaitForEnd(DWORD timeoutMs) const;

private:
    struct Job;
    std::shared_ptr<Job> job_;
    HANDLE thread_ = nullptr;
};

} // namespace corvinade
