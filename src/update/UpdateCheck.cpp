// The update check's portable logic; see UpdateCheck.h.
#include "update/UpdateCheck.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "core/Errors.h"

namespace corvinade {

std::int32_t VersionNumber(const FileVersion& v) {
    char text[32];
    const int length =
        std::snprintf(text, sizeof text, "%.2d%.2d%.2d%.2d", v.major, v.minor, v.release, v.build);
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(text, text + length, number);
    if (error != std::errc() || end != text + length)
        throw Error("'" + std::string(text, static_cast<std::size_t>(length)) +
                    "' is not a valid integer value");
    return number;
}

std::string VersionText(const FileVersion& v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.release) + "." +
           std::to_string(v.build);
}

std::string UpdateStatusFailedMessage(int status, std::string_view statusText) {
    statusText = statusText.substr(0, std::min(statusText.find_first_of("\r\n"), std::size_t{100}));
    std::string text =
        std::string(UpdateCheckFailedMessage) + " The server answered " + std::to_string(status);
    if (!statusText.empty())
        text += " " + std::string(statusText);
    return text + ".";
}

std::string UpdateBaseAddress(std::string_view setting) {
    std::string base(setting.empty() ? std::string_view(DefaultUpdateBase) : setting);
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base;
}

std::string UpdateQueryUrl(std::string_view base, std::int32_t versionNumber) {
    return std::string(base) + "/softwareupdate.php?obj=11&ver=" + std::to_string(versionNumber);
}

std::string DownloadPageUrl(std::string_view base) {
    return std::string(base) + "/download";
}

bool IsWebAddress(std::string_view address) {
    for (std::string_view scheme : {"http://", "https://"}) {
        if (address.size() <= scheme.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < scheme.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(address[i])) == scheme[i];
        if (same && address[scheme.size()] != '/')
            return true;
    }
    return false;
}

std::string DownloadPageNotWebMessage(std::string_view address) {
    return "The download page \"" + std::string(address) + "\" is not a web address.";
}

std::string JoinAnswerLines(std::string_view content) {
    // Line ends: CR LF, LF or a lone CR, as a text reader takes them.
    std::string text;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = content.size();
        text.append(content.substr(start, end - start)).append("\r\n");
        if (end < content.size() && content[end] == '\r' && end + 1 < content.size() &&
            content[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return text;
}

bool AnswerAnnouncesUpdate(std::string_view content) {
    return JoinAnswerLines(content).find(UpdateMarker) != std::string::npos;
}

} // namespace corvinade
