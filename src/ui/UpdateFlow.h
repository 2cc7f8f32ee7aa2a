// The manual update check as the tray panel and the settings window run it:
// ask the endpoint on a worker thread, then tell the user there is nothing
// new, or offer the download page. Errors of the check reach the
// application's error box. The user-interface thread never waits for the
// endpoint: hotkeys, the tray and every window go on answering meanwhile.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "components/SimpleTimer.h"
#include "update/UpdateCheck.h"
#include "update/Updater.h"

namespace corvinade {

class UpdateCheckFlow {
public:
    // A check without an answer by then fails with the download's error.
    static constexpr std::uint32_t TimeLimitMs = 15000;
    // How long the end of the program waits for cancelled workers to leave
    // WinINet.
    static constexpr DWORD EndWaitMs = 1000;

    UpdateCheckFlow();
    UpdateCheckFlow(const UpdateCheckFlow&) = delete;
    UpdateCheckFlow& operator=(const UpdateCheckFlow&) = delete;
    ~UpdateCheckFlow();

    // Starts a check; while one runs, only says so. `owner` is the window
    // the download page is opened for, if it still exists then.
    void Check(HWND owner);
    bool Running() const { return worker_ != nullptr; }

private:
    bool HandleMessage(UINT msg, WPARAM wParam);
    // Ends the running check with its answer, then the dialogs.
    void Finish(const TUpdateWorker::Answer& answer);

    std::unique_ptr<TUpdateWorker> worker_;
    // Workers given up on that may still be inside WinINet: cancelled at the end.
    std::vector<std::unique_ptr<TUpdateWorker>> givenUp_;
    WPARAM number_ = 0; // of the running check; a late answer of an earlier one is dropped
    HWND owner_ = nullptr;
    std::string base_;
    TSimpleTimer timeLimit_;
    int hookId_ = 0;
};

// The file version of the running program, 0.0.0.0 without version
// information, and its number as the update check sends it (1.10.0.0 gives
// 1100000).
FileVersion RunningVersion();
int RunningVersionNumber();

} // namespace corvinade
