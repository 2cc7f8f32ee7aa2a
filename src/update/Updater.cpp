// The update check's download; see Updater.h.
#include "update/Updater.h"

#include <wininet.h>

#include <atomic>
#include <memory>
#include <vector>

#include "core/Errors.h"
#include "core/Maker.h"
#include "core/Wide_win.h"
#include "gui/Registry.h"
#include "gui/SystemLibrary.h"
#include "update/UpdateCheck.h"

namespace corvinade {

namespace {

// An answer larger than this is no answer of the endpoint.
constexpr std::size_t MaxAnswerBytes = 1 << 20;

} // namespace

// The WinINet handles a download holds open, which the user-interface thread
// may close at the program's end: a call blocked on the endpoint then returns
// at once, and the worker leaves WinINet before the process ends. Closed
// once, by whichever thread comes first; not counted with the program's
// handles, as a worker holds them.
class TUpdateDownloadHandles {
public:
    explicit TUpdateDownloadHandles(DownloadFunctions::Close close) : close_(close) {}
    TUpdateDownloadHandles(const TUpdateDownloadHandles&) = delete;
    TUpdateDownloadHandles& operator=(const TUpdateDownloadHandles&) = delete;

    // The worker's: keeps a handle it opened; false, the handle closed, once
    // the download has been cancelled.
    bool Keep(HINTERNET handle) {
        ::AcquireSRWLockExclusive(&lock_);
        const bool keep = !cancelled_;
        if (keep)
            open_.push_back(handle);
        ::ReleaseSRWLockExclusive(&lock_);
        if (!keep)
            close_(handle);
        return keep;
    }
    // Closes what is open, the newest first; with `cancel` no handle is kept
    // from then on.
    void CloseAll(bool cancel) {
        ::AcquireSRWLockExclusive(&lock_);
        cancelled_ = cancelled_ || cancel;
        while (!open_.empty()) {
            close_(open_.back());
            open_.pop_back();
        }
        ::ReleaseSRWLockExclusive(&lock_);
    }

private:
    DownloadFunctions::Close close_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::vector<HINTERNET> open_;
    bool cancelled_ = false;
};

namespace {

// The answer's bytes; throws the check's error when there is no answer of
// the endpoint: none at all, or another status than 200 OK.
std::string Download(const DownloadFunctions& f, const std::string& url, TUpdateDownloadHandles& handles) {
    struct CloseAtEnd {
        TUpdateDownloadHandles& handles;
        ~CloseAtEnd() { handles.CloseAll(false); }
    } closeAtEnd{handles};
    HINTERNET session = f.open(L"Corvinade", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session || !handles.Keep(session))
        throw Error(UpdateCheckFailedMessage);
    DWORD timeout = TUpdater::DownloadTimeoutMs;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        f.setOption(session, option, &timeout, sizeof timeout);
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    HINTERNET request = f.openUrl(session, Wide(url).c_str(), nullptr, 0, flags, 0);
    if (!request || !handles.Keep(request))
        throw Error(UpdateCheckFailedMessage);
    DWORD status = 0, size = sizeof status;
    if (!f.queryInfo(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        throw Error(UpdateCheckFailedMessage);
    if (status != HTTP_STATUS_OK) {
        wchar_t text[128] = {};
        DWORD textSize = sizeof text - sizeof text[0];
        const bool known = f.queryInfo(request, HTTP_QUERY_STATUS_TEXT, text, &textSize, nullptr);
        throw Error(UpdateStatusFailedMessage(static_cast<int>(status), known ? Utf8(text) : std::string()));
    }
    std::string answer;
    char buffer[4096];
    for (;;) {
        DWORD read = 0;
        if (!f.read(request, buffer, sizeof buffer, &read))
            throw Error(UpdateCheckFailedMessage);
        if (read == 0)
            return answer;
        answer.append(buffer, read);
        if (answer.size() > MaxAnswerBytes)
            throw Error(UpdateCheckFailedMessage);
    }
}

} // namespace

DownloadFunctions DownloadFunctions::Load() {
    constexpr const char* Library = "wininet.dll";
    DownloadFunctions f;
    f.open = gui::SystemFunction<Open>(Library, "InternetOpenW");
    f.setOption = gui::SystemFunction<SetOption>(Library, "InternetSetOptionW");
    f.openUrl = gui::SystemFunction<OpenUrl>(Library, "InternetOpenUrlW");
    f.read = gui::SystemFunction<Read>(Library, "InternetReadFile");
    f.close = gui::SystemFunction<Close>(Library, "InternetCloseHandle");
    f.queryInfo = gui::SystemFunction<QueryInfo>(Library, "HttpQueryInfoW");
    return f;
}

// A value of another type counts as none: the check then asks the default.
std::string ConfiguredUpdateBase() {
    std::string value;
    try {
        value = gui::ReadUserText(SettingsKeyPath, UpdateBaseValueName).value_or(std::string());
    } catch (const Error&) {
    }
    return UpdateBaseAddress(value);
}

bool TUpdater::IsUpdateAvailable(TUpdateDownloadHandles& handles) {
    if (!IsWebAddress(base_))
        throw Error(UpdateCheckFailedMessage);
    return AnswerAnnouncesUpdate(Download(functions_, UpdateQueryUrl(base_, runningVersion_), handles));
}

struct TUpdateWorker::Job {
    Job(TUpdater u, HWND n, UINT m, WPARAM w)
        : updater(std::move(u)), handles(updater.Functions().close), notify(n), message(m), number(w) {}

    TUpdater updater;
    TUpdateDownloadHandles handles;
    HWND notify;
    UINT message;
    WPARAM number;
    Answer answer;
    std::atomic<bool> done{false};

    static DWORD WINAPI Run(LPVOID parameter) {
        // The worker's own share of the job: the job outlives whichever of
        // the worker and its owner ends first.
        const std::unique_ptr<std::shared_ptr<Job>> share(static_cast<std::shared_ptr<Job>*>(parameter));
        Job& job = **share;
        try {
            job.answer.available = job.updater.IsUpdateAvailable(job.handles);
        } catch (const std::exception& e) {
            job.answer.error = e.what();
        } catch (...) {
            job.answer.error = UpdateCheckFailedMessage;
        }
        job.done.store(true, std::memory_order_release);
        ::PostMessageW(job.notify, job.message, job.number, 0);
        return 0;
    }
};

TUpdateWorker::TUpdateWorker(TUpdater updater, HWND notify, UINT message, WPARAM number)
    : job_(std::make_shared<Job>(std::move(updater), notify, message, number)) {
    auto share = std::make_unique<std::shared_ptr<Job>>(job_);
    // Never joined while the program runs: it does not wait for a slow
    // endpoint. Kept to see the worker out at the end (Cancel).
    thread_ = ::CreateThread(nullptr, 0, Job::Run, share.get(), 0, nullptr);
    if (!thread_)
        throw Error(UpdateCheckFailedMessage);
    share.release();
}

TUpdateWorker::~TUpdateWorker() {
    ::CloseHandle(thread_);
}

bool TUpdateWorker::Finished() const {
    return job_->done.load(std::memory_order_acquire);
}

void TUpdateWorker::Cancel() {
    job_->handles.CloseAll(true);
}

bool TUpdateWorker::WaitForEnd(DWORD timeoutMs) const {
    return ::WaitForSingleObject(thread_, timeoutMs) == WAIT_OBJECT_0;
}

TUpdateWorker::Answer TUpdateWorker::TakeAnswer() const {
    if (!job_->done.load(std::memory_order_acquire))
        return {false, UpdateCheckFailedMessage};
    return job_->answer;
}

} // namespace corvinade
