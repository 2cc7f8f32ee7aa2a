// The text rules of the keystroke, web-site and clipboard actions over any
// bytes: markers all decoded, every address with a scheme, clipboard text
// with CR LF after each line and no zero byte.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ActionText.h"

namespace {

using namespace corvinade;

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "text rules: %s\n", what);
    std::abort();
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

void CheckMarkers(const std::string& text) {
    const std::string decoded = DecodeLineBreakMarkers(text);
    if (decoded.find("<?CR?>") != std::string::npos || decoded.find("<?LF?>") != std::string::npos)
        Finding("a line-break marker is left");
    if (decoded.size() > text.size())
        Finding("decoding made the text longer");
    if (text.find('<') == std::string::npos && decoded != text)
        Finding("a text without markers changed");
}

void CheckAddress(const std::string& text) {
    const std::string address = WebsiteAddress(text);
    if (!StartsWithIgnoringCase(address, "http://") && !StartsWithIgnoringCase(address, "https://"))
        Finding("an address without a scheme");
    if (!address.ends_with(text))
        Finding("the address lost part of the text");
    if (address != text && address != "http://" + text)
        Finding("the address changed more than its scheme");
}

void CheckClipboard(std::string_view bytes) {
    const std::string text = ClipboardTextFromFileBytes(bytes);
    if (text.find('\0') != std::string::npos)
        Finding("a zero byte in the clipboard text");
    if (!text.empty() && !text.ends_with("\r\n"))
        Finding("the last line has no CR LF");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            Finding("a lone CR in the clipboard text");
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            Finding("a lone LF in the clipboard text");
    }
    const std::string_view kept = bytes.substr(0, bytes.find('\0'));
    if (kept.empty() != text.empty())
        Finding("text appeared or vanished");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckMarkers(text);
    CheckAddress(text);
    CheckClipboard(text);
    return 0;
}
