// The keystroke parser over a recording keyboard: after any key string every
// key that was pressed is up again, however the call ends, and nothing hangs;
// a character typed as itself is pressed and released unit by unit, and a
// surrogate pair is never split by another event.
// Repeat counts are capped here, so that "{X -1}" (65535 presses) does not
// stall the run: the count's own rules are covered by the unit tests.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/KeySender.h"
#include "core/Errors.h"

namespace {

using namespace corvinade;

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "keysender: %s\n", what);
    std::abort();
}

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// A small layout: letters (capitals with Shift), digits, a few symbols with
// Shift, Ctrl or Alt in their shift state, and "é"; everything else has no key.
class RecordingKeyboard : public KeyboardPort {
public:
    std::array<int, 256> down{};
    std::size_t events = 0;
    bool unitDown = false;
    char16_t lastUnit = 0;

    void SendKeyEvent(std::uint8_t vk, std::uint8_t, std::uint32_t flags) override {
        ++events;
        if (IsHighSurrogate(lastUnit))
            Finding("a key event inside a surrogate pair");
        down[vk] = (flags & KeyEventKeyUp) ? 0 : 1;
    }
    void SendUnicodeEvent(char16_t unit, bool keyUp) override {
        ++events;
        if (keyUp != unitDown || (keyUp && unit != lastUnit))
            Finding("a unit was not pressed and released in turn");
        if (!keyUp && IsHighSurrogate(lastUnit) != IsLowSurrogate(unit))
            Finding("a surrogate pair was split");
        unitDown = !keyUp;
        lastUnit = unit;
    }
    KeyCode KeyForCharacter(char16_t c) override {
        if (c == u'\u00E9')
            return 0x2DE;
        if (c >= 'a' && c <= 'z')
            return static_cast<KeyCode>(c - 'a' + 'A');
        if (c >= 'A' && c <= 'Z')
            return static_cast<KeyCode>(0x100 | c);
        if (c >= '0' && c <= '9')
            return static_cast<KeyCode>(c);
        switch (c) {
        case ' ':
            return 0x020;
        case '\r':
            return 0x00D;
        case '\n':
            return 0x20D;
        case '+':
            return 0x1BB;
        case '^':
            return 0x136;
        case '%':
            return 0x135;
        case '~':
            return 0x1C0;
        case '(':
            return 0x139;
        case ')':
            return 0x130;
        case '{':
            return 0x1DB;
        case '}':
            return 0x1DD;
        case '@':
            return 0x651;
        case '|':
            return 0x7DC;
        default:
            return NoKey;
        }
    }
    std::uint32_t ScanCodeOf(std::uint8_t code) override { return (code * 3 + 1) & 0xFF; }
    std::int16_t KeyStateOf(int vk) override { return static_cast<std::int16_t>(state_[vk & 0xFF] & 1); }
    void ReadKeyboardState(KeyState& state) override { state = state_; }
    void WriteKeyboardState(const KeyState& state) override { state_ = state; }
    void PumpKeyboardMessages() override {}
    void ShowMessage(const std::string&) override {}

private:
    KeyState state_{};
};

// Every "{NAME COUNT}" gets a count of at most one digit.
std::string CapRepeatCounts(std::string keys) {
    std::size_t open = 0;
    while ((open = keys.find('{', open)) != std::string::npos) {
        const std::size_t close = keys.find('}', open + 1);
        if (close == std::string::npos)
            break;
        const std::size_t space = keys.find(' ', open + 1);
        if (space < close && close - space > 2) {
            const char first = keys[space + 1];
            if (first == '-' || first == '+' || (first >= '0' && first <= '9'))
                keys.replace(space + 1, close - space - 1, "9");
        }
        open = keys.find('}', open + 1) + 1;
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096)
        return -1;
    const std::string keys = CapRepeatCounts(std::string(reinterpret_cast<const char*>(data), size));
    RecordingKeyboard keyboard;
    try {
        SendKeys(keys, (size & 1) != 0, keyboard);
    } catch (const Error&) {
        // A repeat count that is no integer: the call ends early.
    }
    if (keyboard.unitDown || IsHighSurrogate(keyboard.lastUnit))
        Finding("a unit is still down or a pair unfinished");
    for (int vk = 0; vk < 256; ++vk) {
        if (keyboard.down[vk]) {
            std::fprintf(stderr, "key 0x%02X is still down after \"%s\"\n", vk, keys.c_str());
            std::abort();
        }
    }
    return 0;
}
