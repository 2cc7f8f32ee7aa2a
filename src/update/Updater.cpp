// The update check's download; see Updater.h.
#include "update/Updater.h"

#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include "gui/SystemLibrary.h"

#include "core/Errors.h"
#include "core/Maker.h"
#include "core/TextFile.h"
#include "gui/Handles.h"
#include "gui/Registry.h"
#include "update/UpdateCheck.h"

namespace corvinade {

namespace {

std::string TempAnswerFile() {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + UpdateTempFileName;
}

// Deletes the answer file on every way out.
struct DeleteOnExit {
    std::string name;
    ~DeleteOnExit() { ::DeleteFileA(name.c_str()); }
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
    using DeleteEntry = BOOL(WINAPI*)(LPCSTR);
    using Download = HRESULT(WINAPI*)(LPUNKNOWN, LPCSTR, LPCSTR, DWORD, LPBINDSTATUSCALLBACK);
    const auto deleteUrlCacheEntry = gui::SystemFunction<DeleteEntry>("wininet.dll", "DeleteUrlCacheEntryA");
    const auto download = gui::SystemFunction<Download>("urlmon.dll", "URLDownloadToFileA");
    deleteUrlCacheEntry(url.c_str());
    if (download(nullptr, url.c_str(), answerFile.c_str(), 0, nullptr) != S_OK)
        throw Error(UpdateCheckFailedMessage);
    DeleteOnExit cleanup{answerFile};
    deleteUrlCacheEntry(url.c_str());
    // A download that reports success but left no file is an error to
    // show, not an answer without "[UPDATE]".
    return AnswerAnnouncesUpdate(ReadExistingTextFile(answerFile));
}

} // namespace corvinade
