// Reading and writing rules of text files; see TextEncoding.h.
#include "core/TextEncoding.h"

#include <algorithm>
#include <array>

#include "core/Unicode.h"

namespace corvinade {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::string_view Utf16BeBom = "\xFE\xFF";

// 0x80..0x9F of Windows-1252; 0 where the code page has no character (the
// system maps those bytes to the C1 control of the same value). The rest of
// the bytes are Latin-1.
constexpr std::array<char16_t, 32> Cp1252High{0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                              0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t Cp1252ToCodePoint(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0)
        return byte;
    const char16_t mapped = Cp1252High[byte - 0x80];
    return mapped ? mapped : byte;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    if (bytes.size() % 2)
        units += static_cast<char16_t>(ReplacementCharacter); // a cut-off last unit
    return Utf16ToUtf8(units);
}

bool StartsWithByteOrderMark(std::string_view bytes) {
    return bytes.starts_with(Utf8Bom) || bytes.starts_with(Utf16LeBom) || bytes.starts_with(Utf16BeBom);
}

} // namespace

std::string Windows1252::ToUtf8(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char b : bytes)
        AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(b)));
    return out;
}

std::optional<std::string> Windows1252::FromUtf8(std::string_view utf8) const {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Utf8Char c = DecodeUtf8Char(utf8, pos);
        pos += c.Length;
        if (!c.Valid)
            return std::nullopt;
        if (c.Value < 0x80 || (c.Value >= 0xA0 && c.Value <= 0xFF)) {
            out += static_cast<char>(c.Value);
            continue;
        }
        const auto* found = std::find(Cp1252High.begin(), Cp1252High.end(), c.Value);
        if (found != Cp1252High.end() && *found != 0) {
            out += static_cast<char>(0x80 + (found - Cp1252High.begin()));
        } else if (c.Value < 0xA0 && Cp1252High[c.Value - 0x80] == 0) {
            out += static_cast<char>(c.Value); // the five bytes without a character of their own
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::string DecodeFileText(std::string_view bytes, const AnsiCodePage& ansi) {
    if (bytes.starts_with(Utf8Bom))
        return ValidUtf8(bytes.substr(Utf8Bom.size()));
    if (bytes.starts_with(Utf16LeBom))
        return DecodeUtf16(bytes.substr(Utf16LeBom.size()), false);
    if (bytes.starts_with(Utf16BeBom))
        return DecodeUtf16(bytes.substr(Utf16BeBom.size()), true);
    // ASCII reads the same under every rule; non-ASCII bytes in a code page
    // such as 1252 hardly ever happen to form valid UTF-8.
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return ansi.ToUtf8(bytes);
}

std::string EncodeFileText(std::string_view utf8, const AnsiCodePage& ansi) {
    if (IsAscii(utf8))
        return std::string(utf8);
    // Code-page bytes that happen to form valid UTF-8 or to begin with a
    // byte-order mark ("ÿþ" is FF FE) would read back as other text: those
    // go out as UTF-8 too.
    if (std::optional<std::string> bytes = ansi.FromUtf8(utf8);
        bytes && !IsValidUtf8(*bytes) && !StartsWithByteOrderMark(*bytes))
        return std::move(*bytes);
    std::string out(Utf8Bom);
    out += utf8;
    return out;
}

} // namespace corvinade
