// The keystroke, web-site and clipboard texts; see ActionText.h.
#include "app/ActionText.h"

#include <algorithm>
#include <cctype>

#include "core/TextEncoding.h"

namespace corvinade {

namespace {

void ReplaceAll(std::string& text, std::string_view marker, char replacement) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(marker, from)) != std::string::npos; from = at + marker.size()) {
        out.append(text, from, at - from);
        out += replacement;
    }
    out.append(text, from, std::string::npos);
    text = std::move(out);
}

std::string ReplaceChar(const std::string& text, char c, std::string_view marker) {
    std::string out;
    out.reserve(text.size());
    for (char t : text) {
        if (t == c)
            out += marker;
        else
            out += t;
    }
    return out;
}

bool StartsWithIgnoringCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char p, char t) { return p == std::tolower(static_cast<unsigned char>(t)); });
}

} // namespace

std::string DecodeLineBreakMarkers(std::string text) {
    ReplaceAll(text, "<?CR?>", '\r');
    ReplaceAll(text, "<?LF?>", '\n');
    return text;
}

std::string WebsiteAddress(const std::string& address) {
    if (StartsWithIgnoringCase(address, "http://") || StartsWithIgnoringCase(address, "https://"))
        return address;
    return "http://" + address;
}

std::string ClipboardTextFromFileBytes(std::string_view fileBytes, const AnsiCodePage& ansi) {
    const std::string decoded = DecodeFileText(fileBytes, ansi);
    std::string_view bytes = decoded;
    bytes = bytes.substr(0, bytes.find('\0'));
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16 + 2);
    std::size_t lineStart = 0;
    while (lineStart < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", lineStart);
        if (end == std::string_view::npos)
            end = bytes.size();
        text.append(bytes.substr(lineStart, end - lineStart));
        text += "\r\n";
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            ++end;
        lineStart = end + 1;
    }
    return text;
}

std::string EncodeLineBreakMarkers(const std::string& text) {
    return ReplaceChar(ReplaceChar(text, '\r', "<?CR?>"), '\n', "<?LF?>");
}

} // namespace corvinade
