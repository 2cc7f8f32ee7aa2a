// UTF-8, the program's text inside, and UTF-16, the system's text at its
// wide calls. Whatever cannot be decoded (invalid or cut-off UTF-8, a lone
// surrogate) becomes U+FFFD, so every conversion gives a valid text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvinade {

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// One code point read at text[pos] (pos < text.size()). An invalid sequence
// reads as U+FFFD over its longest valid beginning, at least one byte, so
// that the next one starts where a decoder can pick up again.
struct Utf8Char {
    char32_t Value;
    std::size_t Length;
    bool Valid;
};
Utf8Char DecodeUtf8Char(std::string_view text, std::size_t pos);

void AppendUtf8(std::string& out, char32_t codePoint);
// The code point as one or two UTF-16 units; returns how many were written.
std::size_t EncodeUtf16(char32_t codePoint, char16_t (&units)[2]);

bool IsValidUtf8(std::string_view text);
bool IsAscii(std::string_view text);
// The text with each invalid sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

std::u16string Utf8ToUtf16(std::string_view text);
// As much of the text as fits in maxUnits UTF-16 units (the system's fixed
// text fields), never half a surrogate pair.
std::u16string Utf8ToUtf16Prefix(std::string_view text, std::size_t maxUnits);
std::string Utf16ToUtf8(std::u16string_view text);

} // namespace corvinade
