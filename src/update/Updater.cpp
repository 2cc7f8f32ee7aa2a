// The update check's download; see Updater.h.
#include "update/Updater.h"

#include <wininet.h>

#include <atomic>
#include <memory>

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

// Closes a WinINet handle; not counted with the program's handles, as a
// worker may hold it.
class InternetHandle {
public:
    InternetHandle(HINTERNET handle, DownloadFunctions::Close close) : handle_(handle), close_(close) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() {
        if (handle_)
            close_(handle_);
    }
    HINTERNET Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
    DownloadFunctions::Close close_;
};

// The answer's bytes; throws the check's error when there is no answer of
// the endpoint: none at all, or another status than 200 OK.
std::string Download(const DownloadFunctions& f, const std::string& url) {
    InternetHandle session(f.open(L"Corvinade", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0), f.close);
    if (!session)
        throw Error(UpdateCheckFailedMessage);
    DWORD timeout = TUpdater::DownloadTimeoutMs;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        f.setOption(session.Get(), option, &timeout, sizeof timeout);
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    InternetHandle request(f.openUrl(session.Get(), Wide(url).c_str(), nullptr, 0, flags, 0), f.close);
    if (!request)
        throw Error(UpdateCheckFailedMessage);
    DWORD status = 0, size = sizeof status;
    if (!f.queryInfo(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        throw Error(UpdateCheckFailedMessage);
    if (status != HTTP_STATUS_OK) {
        wchar_t text[128] = {};
        DWORD textSize = sizeof text - sizeof text[0];
        const bool known = f.queryInfo(request.Get(), HTTP_QUERY_STATUS_TEXT, text, &textSize, nullptr);
        throw Error(UpdateStatusFailedMessage(static_cast<int>(status), known ? Utf8(text) : std::string()));
    }
    std::string answer;
    char buffer[4096];
    for (;;) {
        DWORD read = 0;
        if (!f.read(request.Get(), buffer, sizeof buffer, &read))
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

bool TUpdater::IsUpdateAvailable() {
    if (!IsWebAddress(base_))
        throw Error(UpdateCheckFailedMessage);
    return AnswerAnnouncesUpdate(Download(functions_, UpdateQueryUrl(base_, runningVersion_)));
}

struct TUpdateWorker::Job {
    Job(TUpdater u, HWND n, UINT m, WPARAM w) : updater(std::move(u)), notify(n), message(m), number(w) {}

    TUpdater updater;
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
            job.answer.available = job.updater.IsUpdateAvailable();
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
    HANDLE thread = ::CreateThread(nullptr, 0, Job::Run, share.get(), 0, nullptr);
    if (!thread)
        throw Error(UpdateCheckFailedMessage);
    share.release();
    // Never joined: the program does not wait for a slow endpoint, not even
    // at its end.
    ::CloseHandle(thread);
}

TUpdateWorker::~TUpdateWorker() = default;

TUpdateWorker::Answer TUpdateWorker::TakeAnswer() const {
    if (!job_->done.load(std::memory_order_acquire))
        return {false, UpdateCheckFailedMessage};
    return job_->answer;
}

} // namespace corvinade
