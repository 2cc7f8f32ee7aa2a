// UTF-8 and UTF-16 conversions; see Unicode.h.
#include "core/Unicode.h"

namespace corvinade {

namespace {

unsigned char Byte(std::string_view text, std::size_t pos) {
    return static_cast<unsigned char>(text[pos]);
}

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

Utf8Char DecodeUtf8Char(std::string_view text, std::size_t pos) {
    const unsigned char lead = Byte(text, pos);
    if (lead < 0x80)
        return {lead, 1, true};
    std::size_t length = 0;
    char32_t value = 0;
    // The range the second byte must fall in rules out overlong forms,
    // surrogates and values above U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {ReplacementCharacter, 1, false};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (pos + i >= text.size())
            return {ReplacementCharacter, i, false};
        const unsigned char next = Byte(text, pos + i);
        if (next < low || next > high)
            return {ReplacementCharacter, i, false};
        value = (value << 6) | (next & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {value, length, true};
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c))
        c = ReplacementCharacter;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::size_t EncodeUtf16(char32_t c, char16_t (&units)[2]) {
    if (c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c))
        c = ReplacementCharacter;
    if (c < 0x10000) {
        units[0] = static_cast<char16_t>(c);
        return 1;
    }
    c -= 0x10000;
    units[0] = static_cast<char16_t>(0xD800 + (c >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    return 2;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8Char(text, pos);
        if (!c.Valid)
            return false;
        pos += c.Length;
    }
    return true;
}

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

std::string ValidUtf8(std::string_view text) {
    if (IsValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8Char(text, pos);
        AppendUtf8(out, c.Value);
        pos += c.Length;
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8Char(text, pos);
        char16_t units[2];
        out.append(units, EncodeUtf16(c.Value, units));
        pos += c.Length;
    }
    return out;
}

std::u16string Utf8ToUtf16Prefix(std::string_view text, std::size_t maxUnits) {
    std::u16string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8Char(text, pos);
        char16_t units[2];
        const std::size_t length = EncodeUtf16(c.Value, units);
        if (out.size() + length > maxUnits)
            break;
        out.append(units, length);
        pos += c.Length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        AppendUtf8(out, c); // a lone surrogate becomes U+FFFD there
    }
    return out;
}

} // namespace corvinade
