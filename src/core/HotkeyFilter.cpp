// The settings window's filter; see HotkeyFilter.h.
#include "core/HotkeyFilter.h"

#include <algorithm>

#include "core/Unicode.h"

namespace corvinade {

namespace {

bool Between(char32_t c, char32_t first, char32_t last) {
    return c >= first && c <= last;
}

// In the blocks where upper and lower case alternate, the upper case is
// even (or odd, `upperOdd`) and its lower case follows it.
char32_t PairedLower(char32_t c, bool upperOdd) {
    return (c % 2 == 1) == upperOdd ? c + 1 : c;
}

// The text's code points with their case folded.
std::u32string Folded(std::string_view text) {
    std::u32string folded;
    folded.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8Char(text, pos);
        folded.push_back(FoldCase(c.Value));
        pos += c.Length;
    }
    return folded;
}

} // namespace

char32_t FoldCase(char32_t c) {
    if (Between(c, U'A', U'Z') || (Between(c, 0xC0, 0xDE) && c != 0xD7))
        return c + 0x20;
    if (c == 0x130) // the dotted capital I of Turkish
        return U'i';
    if (c == 0x178)
        return 0xFF;
    if (Between(c, 0x100, 0x137) || Between(c, 0x14A, 0x177))
        return PairedLower(c, false);
    if (Between(c, 0x139, 0x148) || Between(c, 0x179, 0x17E))
        return PairedLower(c, true);
    // Greek: the accented capitals, then the alphabet; final sigma as sigma.
    if (c == 0x386)
        return 0x3AC;
    if (Between(c, 0x388, 0x38A))
        return c + 37;
    if (c == 0x38C)
        return 0x3CC;
    if (Between(c, 0x38E, 0x38F))
        return c + 63;
    if (Between(c, 0x391, 0x3AB) && c != 0x3A2)
        return c + 0x20;
    if (c == 0x3C2)
        return 0x3C3;
    // Cyrillic.
    if (Between(c, 0x400, 0x40F))
        return c + 0x50;
    if (Between(c, 0x410, 0x42F))
        return c + 0x20;
    if (Between(c, 0x460, 0x481) || Between(c, 0x48A, 0x4BF) || Between(c, 0x4D0, 0x52F))
        return PairedLower(c, false);
    if (c == 0x4C0)
        return 0x4CF;
    if (Between(c, 0x4C1, 0x4CE))
        return PairedLower(c, true);
    if (Between(c, 0x531, 0x556)) // Armenian
        return c + 0x30;
    if (Between(c, 0x1E00, 0x1E95) || Between(c, 0x1EA0, 0x1EFF)) // Latin with marks (Vietnamese)
        return PairedLower(c, false);
    if (Between(c, 0xFF21, 0xFF3A)) // full-width Latin
        return c + 0x20;
    return c;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    const std::u32string haystack = Folded(text), needle = Folded(part);
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

bool HotkeyMatchesFilter(const THotKeyData& hotkey, std::string_view combinationText,
                         std::string_view filter) {
    return ContainsIgnoringCase(combinationText, filter) ||
           ContainsIgnoringCase(ActionDisplayName(hotkey), filter) ||
           (ActionHasParams(hotkey.Func) && ContainsIgnoringCase(hotkey.Params, filter)) ||
           (ActionHasParams2(hotkey.Func) && ContainsIgnoringCase(hotkey.Params2, filter)) ||
           ContainsIgnoringCase(hotkey.OnlyIn, filter) || ContainsIgnoringCase(hotkey.NotIn, filter);
}

} // namespace corvinade
