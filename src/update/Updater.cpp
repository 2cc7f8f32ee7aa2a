// The update check's download; see Updater.h.
#include "update/Updater.h"

#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include "gui/SystemLibrary.h"

#include "core/Errors.h"
#include "core/Maker.h"
#include "core/TextFile.h"
#include "core/Wide_win.h"
#include "gui/Handles.h"
#include "gui/Registry.h"
#include "update/UpdateCheck.h"

namespace corvinade {

namespace {

std::string TempAnswerFile() {
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(static_cast<DWORD>(std::size(folder)), folder);
    return Utf8(folder) + UpdateTempFileName;
}

// Deletes the answer file on every way out.
struct DeleteOnExit {
    std::string name;
    ~DeleteOnExit() { ::DeleteFileW(Wide(name).c_str()); }
};

} // namespace

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
    const std::string answerFile = TempAnswerFile();
    const std::string url = UpdateQueryUrl(ConfiguredUpdateBase(), runningVersion_);
    // The system's download cache would repeat an earlier answer: every
    // check asks the endpoint afresh.
    using DeleteEntry = BOOL(WINAPI*)(LPCWSTR);
    using Download = HRESULT(WINAPI*)(LPUNKNOWN, LPCWSTR, LPCWSTR, DWORD, LPBINDSTATUSCALLBACK);
    const auto deleteUrlCacheEntry = gui::SystemFunction<DeleteEntry>("wininet.dll", "DeleteUrlCacheEntryW");
    const auto download = gui::SystemFunction<Download>("urlmon.dll", "URLDownloadToFileW");
    const std::wstring wideUrl = Wide(url);
    deleteUrlCacheEntry(wideUrl.c_str());
    if (download(nullptr, wideUrl.c_str(), Wide(answerFile).c_str(), 0, nullptr) != S_OK)
        throw Error(UpdateCheckFailedMessage);
    DeleteOnExit cleanup{answerFile};
    deleteUrlCacheEntry(wideUrl.c_str());
    // A download that reports success but left no file is an error to
    // show, not an answer without "[UPDATE]".
    return AnswerAnnouncesUpdate(ReadExistingTextFile(answerFile));
}

} // namespace corvinade
