// The update check's portable rules: version numbers and their text, the
// endpoint's addresses and the answer. Whatever the input, no crash and the
// rules hold: small versions number and print back part for part, an answer
// announces an update exactly when it holds the marker.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "core/Errors.h"
#include "update/UpdateCheck.h"

namespace {

using namespace corvinade;

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "update check: %s\n", what);
    std::abort();
}

void CheckVersion(const FileVersion& v) {
    char expected[32];
    std::snprintf(expected, sizeof expected, "%u.%u.%u.%u", unsigned{v.major}, unsigned{v.minor},
                  unsigned{v.release}, unsigned{v.build});
    if (VersionText(v) != expected)
        Finding("the text does not show the parts");
    std::int32_t number = 0;
    try {
        number = VersionNumber(v);
    } catch (const Error&) {
        if (v.major < 100 && v.minor < 100 && v.release < 100 && v.build < 100)
            Finding("a version of two-digit parts does not number");
        return;
    }
    if (v.major >= 100 || v.minor >= 100 || v.release >= 100 || v.build >= 100)
        return; // longer parts shift the others; only the range check matters
    if (number != v.major * 1000000 + v.minor * 10000 + v.release * 100 + v.build)
        Finding("the number does not join the parts");
}

void CheckAnswer(std::string_view content) {
    const std::string joined = JoinAnswerLines(content);
    if (!joined.empty() && !joined.ends_with("\r\n"))
        Finding("the joined answer does not end with a line break");
    for (std::size_t i = 0; i < joined.size(); ++i) {
        if (joined[i] == '\r' && (i + 1 == joined.size() || joined[i + 1] != '\n'))
            Finding("a lone CR in the joined answer");
        if (joined[i] == '\n' && (i == 0 || joined[i - 1] != '\r'))
            Finding("a lone LF in the joined answer");
    }
    if (AnswerAnnouncesUpdate(content) != (content.find(UpdateMarker) != std::string_view::npos))
        Finding("the answer's marker is misread");
}

void CheckAddresses(std::string_view setting, std::int32_t number) {
    const std::string base = UpdateBaseAddress(setting);
    if (base.ends_with('/'))
        Finding("the base address ends with '/'");
    if (setting.empty() && base != DefaultUpdateBase)
        Finding("no setting does not give the default address");
    const std::string query = UpdateQueryUrl(base, number);
    if (query != base + "/softwareupdate.php?obj=11&ver=" + std::to_string(number))
        Finding("the query address");
    if (DownloadPageUrl(base) != base + "/download")
        Finding("the download page address");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    FileVersion v;
    v.major = in.Take<std::uint16_t>();
    v.minor = in.Take<std::uint16_t>();
    v.release = in.Take<std::uint16_t>();
    v.build = in.Take<std::uint16_t>();
    CheckVersion(v);
    const auto number = in.Take<std::int32_t>();
    const std::string_view rest = in.Rest();
    CheckAnswer(rest);
    CheckAddresses(rest.substr(0, 256), number);
    return 0;
}
