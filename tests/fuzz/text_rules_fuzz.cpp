// The text rules of the keystroke, web-site and clipboard actions over any
// bytes: markers all decoded, every address with a scheme, clipboard text
// with CR LF after each line and no zero byte. And the text conversions: any
// bytes decode to valid UTF-8, UTF-16 round trips, a written file reads back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ActionText.h"
#include "core/TextEncoding.h"
#include "core/Unicode.h"

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
    const std::string text = ClipboardTextFromFileBytes(bytes, Windows1252());
    if (!IsValidUtf8(text))
        Finding("the clipboard text is not valid UTF-8");
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
    const std::string decoded = DecodeFileText(bytes, Windows1252());
    if (decoded.substr(0, decoded.find('\0')).empty() != text.empty())
        Finding("text appeared or vanished");
}

void CheckConversions(std::string_view bytes) {
    const std::string valid = ValidUtf8(bytes);
    if (!IsValidUtf8(valid) || (IsValidUtf8(bytes) && valid != bytes))
        Finding("ValidUtf8 gave invalid text or changed a valid one");
    if (Utf16ToUtf8(Utf8ToUtf16(bytes)) != valid)
        Finding("UTF-16 does not round-trip");
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) << 8 |
                                       static_cast<unsigned char>(bytes[i + 1]));
    if (!IsValidUtf8(Utf16ToUtf8(units)))
        Finding("UTF-16 with lone surrogates gave invalid UTF-8");
    const Windows1252 ansi;
    const std::string text = DecodeFileText(bytes, ansi);
    if (!IsValidUtf8(text))
        Finding("a file decoded into invalid UTF-8");
    if (DecodeFileText(EncodeFileText(text, ansi), ansi) != text)
        Finding("a written text reads back differently");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckMarkers(text);
    CheckAddress(text);
    CheckClipboard(text);
    CheckConversions(text);
    return 0;
}
