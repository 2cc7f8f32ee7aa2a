// The update check flow; see UpdateFlow.h.
#include "ui/UpdateFlow.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/SystemLibrary.h"
#include "update/UpdateCheck.h"

namespace corvinade {

namespace {

// Posted by the worker to the application window, the check's number in wParam.
UINT UpdateAnsweredMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Corvinade.UpdateCheck.Answered");
    return message;
}

void OpenDownloadPage(HWND owner, const std::string& base) {
    const std::string page = DownloadPageUrl(base);
    // The address comes from a registry value any program can write: only a
    // web address goes to the shell.
    if (!IsWebAddress(page))
        throw Error(DownloadPageNotWebMessage(page));
    ::ShellExecuteW(::IsWindow(owner) ? owner : nullptr, L"open", Wide(page).c_str(), L"", L"",
                    SW_SHOWNORMAL);
}

// The file version of an executable file, 0.0.0.0 without version information.
FileVersion FileVersionOf(const std::string& fileName) {
    DWORD handle = 0;
    using InfoSize = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using Info = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using Query = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    const auto getInfoSize = gui::SystemFunction<InfoSize>("version.dll", "GetFileVersionInfoSizeW");
    const auto getInfo = gui::SystemFunction<Info>("version.dll", "GetFileVersionInfoW");
    const auto query = gui::SystemFunction<Query>("version.dll", "VerQueryValueW");
    const std::wstring file = Wide(fileName);
    const DWORD size = getInfoSize(file.c_str(), &handle);
    if (size == 0)
        return {};
    std::vector<char> info(size);
    if (!getInfo(file.c_str(), 0, size, info.data()))
        return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!query(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
        return {};
    return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
            LOWORD(fixed->dwFileVersionLS)};
}

} // namespace

FileVersion RunningVersion() {
    return FileVersionOf(ModuleFileName());
}

int RunningVersionNumber() {
    return VersionNumber(RunningVersion());
}

UpdateCheckFlow::UpdateCheckFlow()
    : timeLimit_(TimeLimitMs, [this](TSimpleTimer&) {
          Finish({false, UpdateCheckFailedMessage});
      }) {
    hookId_ = gui::App().AddMessageHook(
        [this](UINT msg, WPARAM wParam, LPARAM, LRESULT&) { return HandleMessage(msg, wParam); });
}

// The program ends: every worker still waiting on the endpoint has its
// handles closed and is seen out of WinINet, for a while at most.
UpdateCheckFlow::~UpdateCheckFlow() {
    gui::App().RemoveMessageHook(hookId_);
    if (worker_)
        givenUp_.push_back(std::move(worker_));
    for (auto& worker : givenUp_)
        worker->Cancel();
    const DWORD start = ::GetTickCount();
    for (auto& worker : givenUp_)
        worker->WaitForEnd(EndWaitMs - std::min<DWORD>(EndWaitMs, ::GetTickCount() - start));
}

void UpdateCheckFlow::Check(HWND owner) {
    if (Running()) {
        gui::MessageDlg(UpdateCheckRunningMessage, gui::DialogKind::Information, MB_OK);
        return;
    }
    owner_ = owner;
    base_ = ConfiguredUpdateBase();
    TUpdater updater(RunningVersionNumber(), base_, DownloadFunctions::Load());
    worker_ = std::make_unique<TUpdateWorker>(std::move(updater), gui::App().Handle(),
                                              UpdateAnsweredMessage(), ++number_);
    timeLimit_.SetRunning(true);
}

bool UpdateCheckFlow::HandleMessage(UINT msg, WPARAM wParam) {
    if (msg != UpdateAnsweredMessage() || msg == 0)
        return false;
    if (Running() && wParam == number_)
        Finish(worker_->TakeAnswer());
    return true;
}

void UpdateCheckFlow::Finish(const TUpdateWorker::Answer& answer) {
    timeLimit_.SetRunning(false);
    // A worker given up on finishes alone; the next check may start while
    // a box below is open.
    std::erase_if(givenUp_, [](const auto& worker) { return worker->Finished(); });
    if (worker_ && !worker_->Finished())
        givenUp_.push_back(std::move(worker_));
    worker_.reset();
    const HWND owner = owner_;
    const std::string base = base_;
    if (!answer.error.empty())
        throw Error(answer.error);
    if (!answer.available) {
        gui::MessageDlg(NoNewVersionMessage, gui::DialogKind::Information, MB_OK);
        return;
    }
    if (gui::MessageDlg(NewVersionMessage, gui::DialogKind::Information, MB_YESNO) == IDYES)
        OpenDownloadPage(owner, base);
}

} // namespace corvinade
