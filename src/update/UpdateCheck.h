// The portable half of the update check: the version number of a file
// version and its text form, the endpoint's addresses, and reading its
// answer. The download and the version resource are in Updater.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Maker.h"

namespace corvinade {

// The endpoint used when the settings name none.
inline constexpr const char* DefaultUpdateBase = MakerUpdateBase;
// The error of an endpoint that answered with another status than 200 OK:
// the check's failure, then "The server answered 404 Not Found." (the status
// text as the server gave it, its first line and at most 100 bytes).
std::string UpdateStatusFailedMessage(int status, std::string_view statusText);

// The settings value (under the program's settings key) naming the endpoint's
// base address: scheme, host and an optional port, such as
// "http://127.0.0.1:8642".
inline constexpr const char* UpdateBaseValueName = "UpdateBaseAddress";
inline constexpr const char* UpdateMarker = "[UPDATE]";
inline constexpr const char* UpdateCheckFailedMessage = "Error\r\rCould not check for updates.";
inline constexpr const char* UpdateCheckRunningMessage =
    "Corvinade is checking for updates already; its answer follows.";
inline constexpr const char* NoNewVersionMessage = "There is no new version of Corvinade at this time.";
inline constexpr const char* NewVersionMessage =
    "A new version of Corvinade is available.\r\rWould you like to download the new version?";

struct FileVersion {
    std::uint16_t major = 0, minor = 0, release = 0, build = 0;
};

// Each part printed with at least two digits, the four joined and read as one
// decimal number: 1.10.0.0 gives 1100000. Parts of 100 or more print more
// digits (a larger number); a text past the 32-bit range throws Error.
std::int32_t VersionNumber(const FileVersion& version);

// The version as Windows writes it: "1.10.0.0".
std::string VersionText(const FileVersion& version);

// The base address from the settings, or the default when it is empty; a
// trailing "/" is dropped so paths can be appended.
std::string UpdateBaseAddress(std::string_view setting);

// base + "/softwareupdate.php?obj=11&ver=N".
std::string UpdateQueryUrl(std::string_view base, std::int32_t versionNumber);
// base + "/download".
std::string DownloadPageUrl(std::string_view base);
// True for an "http:" or "https:" address (scheme in any case) with a host:
// the only kind handed to the shell.
bool IsWebAddress(std::string_view address);
// The error for a download page that is not a web address.
std::string DownloadPageNotWebMessage(std::string_view address);

// The answer file's text as the check reads it (lines joined again with CR LF
// after each) and whether it announces a newer version: "[UPDATE]" anywhere,
// case-sensitive.
std::string JoinAnswerLines(std::string_view fileContent);
bool AnswerAnnouncesUpdate(std::string_view fileContent);

} // namespace corvinade
