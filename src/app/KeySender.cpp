// Unit KeySender: the key-string parser and the event sequences it sends.
#include "app/KeySender.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/Errors.h"
#include "core/Unicode.h"

namespace corvinade {

const std::array<KeyNameRow, 41> KeyNameTable{{
    {"BKSP", 8},    {"BS", 8},      {"BACKSPACE", 8},    {"BREAK", 3},     {"CAPSLOCK", 20}, {"CLEAR", 12},
    {"DEL", 46},    {"DELETE", 46}, {"DOWN", 40},        {"END", 35},      {"ENTER", 13},    {"ESC", 27},
    {"ESCAPE", 27}, {"F1", 112},    {"F10", 121},        {"F11", 122},     {"F12", 123},     {"F13", 124},
    {"F14", 125},   {"F15", 126},   {"F16", 127},        {"F2", 113},      {"F3", 114},      {"F4", 115},
    {"F5", 116},    {"F6", 117},    {"F7", 118},         {"F8", 119},      {"F9", 120},      {"HELP", 47},
    {"HOME", 36},   {"INS", 45},    {"LEFT", 37},        {"NUMLOCK", 144}, {"PGDN", 34},     {"PGUP", 33},
    {"PRTSC", 42},  {"RIGHT", 39},  {"SCROLLLOCK", 145}, {"TAB", 9},       {"UP", 38},
}};

KeyCode LookupKeyName(std::string_view upperName) {
    auto row = std::find_if(KeyNameTable.begin(), KeyNameTable.end(),
                            [upperName](const KeyNameRow& r) { return r.Name == upperName; });
    return row == KeyNameTable.end() ? NoKey : row->Code;
}

bool IsExtendedKey(std::uint8_t virtualKey) {
    return (virtualKey >= 0x21 && virtualKey <= 0x28) || virtualKey == 0x2D || virtualKey == 0x2E;
}

namespace {

constexpr std::size_t MaxKeyNameLength = 20;
constexpr KeyCode OpenBraceCode = 0x01DB;  // Shift + VK_OEM_4
constexpr KeyCode CloseBraceCode = 0x01DD; // Shift + VK_OEM_6

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// A signed decimal integer as the count conversion accepts it: an optional
// sign and at least one digit, within the 32-bit range.
std::optional<std::int32_t> ParseInteger(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// Where keys[at] is, as the user counts: its character's place from 1, on
// its line when the text has several.
std::string PlaceOf(std::string_view keys, std::size_t at) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < at;) {
        if (keys[i] == '\r' || keys[i] == '\n') {
            i += keys.substr(i, 2) == "\r\n" ? 2 : 1;
            ++line;
            column = 1;
            continue;
        }
        i += std::max<std::size_t>(1, DecodeUtf8Char(keys, i).Length);
        ++column;
    }
    const bool lines = keys.find_first_of("\r\n") != std::string_view::npos;
    return (lines ? "line " + std::to_string(line) + ", position " : "position ") + std::to_string(column);
}

// The state of one SendKeys call.
class KeyParser {
public:
    KeyParser(KeyboardPort& keyboard, bool wait) : keyboard_(keyboard), wait_(wait) {}

    bool Run(std::string_view keys);
    // Lifts whatever a prefix pressed, open group or not. Run last on every
    // way out, so no call leaves the user's keyboard with a modifier stuck down.
    void LiftPrefixModifiers();

private:
    void PostKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags);
    void TapKey(std::uint8_t virtualKey, std::uint16_t count, bool release);
    void ToggleNumLock();
    void LiftKey(std::uint8_t virtualKey);
    void SendKeyCode(KeyCode code, std::uint16_t count);
    // The character by the key that makes it on the layout, else as itself.
    void TypeCharacter(char32_t character, std::uint16_t count);
    void SendUnicodeEvent(char16_t unit, bool keyUp);
    void ReleasePrefixModifiers();
    KeyCode FindKeyName(std::string_view name, std::string_view written, const std::string& place);
    void ShowSendKeysError(const std::string& text) { keyboard_.ShowMessage(text); }
    void PressPrefix(bool& flag, std::uint8_t modifier);
    // Handles the brace group at keys[i]; the index to go on at, or nullopt
    // when the string ends without a closing brace.
    std::optional<std::size_t> BraceGroup(std::string_view keys, std::size_t i);
    std::uint8_t ScanCode(std::uint8_t virtualKey) {
        return static_cast<std::uint8_t>(keyboard_.ScanCodeOf(virtualKey));
    }

    KeyboardPort& keyboard_;
    bool wait_;
    bool inGroup_ = false;
    bool shiftPrefix_ = false;
    bool ctrlPrefix_ = false;
    bool altPrefix_ = false;
};

void KeyParser::PostKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
    keyboard_.SendKeyEvent(virtualKey, scanCode, flags);
    if (wait_)
        keyboard_.PumpKeyboardMessages();
}

void KeyParser::ToggleNumLock() {
    bool on = keyboard_.KeyStateOf(VkNumLock) & 1;
    KeyboardPort::KeyState state{};
    keyboard_.ReadKeyboardState(state);
    if (on)
        state[VkNumLock] &= static_cast<std::uint8_t>(~1u);
    else
        state[VkNumLock] |= 1;
    keyboard_.WriteKeyboardState(state);
}

void KeyParser::TapKey(std::uint8_t virtualKey, std::uint16_t count, bool release) {
    if (virtualKey == VkNumLock) {
        ToggleNumLock(); // one toggle, whatever the count
        return;
    }
    const std::uint8_t scan = ScanCode(virtualKey);
    const std::uint32_t extended = IsExtendedKey(virtualKey) ? KeyEventExtendedKey : 0;
    for (std::uint32_t n = 0; n < count; ++n) {
        PostKeyEvent(virtualKey, scan, extended);
        if (release)
            PostKeyEvent(virtualKey, scan, extended | KeyEventKeyUp);
    }
}

void KeyParser::LiftKey(std::uint8_t virtualKey) {
    PostKeyEvent(virtualKey, ScanCode(virtualKey), KeyEventKeyUp);
}

void KeyParser::SendKeyCode(KeyCode code, std::uint16_t count) {
    const auto shiftState = static_cast<std::uint8_t>(code >> 8);
    if (shiftState & ShiftStateShift)
        TapKey(VkShift, 1, false);
    if (shiftState & ShiftStateCtrl)
        TapKey(VkControl, 1, false);
    if (shiftState & ShiftStateAlt)
        TapKey(VkMenu, 1, false);
    TapKey(static_cast<std::uint8_t>(code & 0xFF), count, true);
    // Released in the order they were pressed.
    if (shiftState & ShiftStateShift)
        LiftKey(VkShift);
    if (shiftState & ShiftStateCtrl)
        LiftKey(VkControl);
    if (shiftState & ShiftStateAlt)
        LiftKey(VkMenu);
}

void KeyParser::SendUnicodeEvent(char16_t unit, bool keyUp) {
    keyboard_.SendUnicodeEvent(unit, keyUp);
    if (wait_)
        keyboard_.PumpKeyboardMessages();
}

void KeyParser::TypeCharacter(char32_t character, std::uint16_t count) {
    if (character < 0x10000) {
        if (KeyCode code = keyboard_.KeyForCharacter(static_cast<char16_t>(character)); code != NoKey) {
            SendKeyCode(code, count);
            return;
        }
    }
    // A surrogate pair goes as its two units, each pressed and released.
    char16_t units[2];
    const std::size_t length = EncodeUtf16(character, units);
    for (std::uint32_t n = 0; n < count; ++n) {
        for (std::size_t u = 0; u < length; ++u) {
            SendUnicodeEvent(units[u], false);
            SendUnicodeEvent(units[u], true);
        }
    }
}

void KeyParser::LiftPrefixModifiers() {
    if (shiftPrefix_)
        LiftKey(VkShift);
    if (ctrlPrefix_)
        LiftKey(VkControl);
    if (altPrefix_)
        LiftKey(VkMenu);
    shiftPrefix_ = ctrlPrefix_ = altPrefix_ = false;
}

void KeyParser::ReleasePrefixModifiers() {
    if (!inGroup_)
        LiftPrefixModifiers();
}

KeyCode KeyParser::FindKeyName(std::string_view name, std::string_view written, const std::string& place) {
    KeyCode code = LookupKeyName(name);
    if (code == NoKey)
        ShowSendKeysError("The " + std::string(written) + " at " + place + " names no key.");
    return code;
}

void KeyParser::PressPrefix(bool& flag, std::uint8_t modifier) {
    flag = true;
    TapKey(modifier, 1, false);
}

std::optional<std::size_t> KeyParser::BraceGroup(std::string_view keys, std::size_t i) {
    std::uint16_t repeatCount = 1;
    if (i + 1 < keys.size() && keys[i + 1] == '{') {
        // '{{}' types '{'; the third character is skipped whatever it is.
        SendKeyCode(OpenBraceCode, 1);
        ReleasePrefixModifiers();
        return i + 3;
    }
    std::string keyName;
    std::size_t j = i + 1;
    for (; j < keys.size() && keys[j] != '}'; ++j) {
        if (keyName.size() < MaxKeyNameLength)
            keyName += UpperAscii(keys[j]);
    }
    if (j == keys.size()) {
        ShowSendKeysError("The { at " + PlaceOf(keys, i) + " has no closing }.");
        ReleasePrefixModifiers();
        return std::nullopt;
    }
    if (j + 1 < keys.size() && keys[j + 1] == '}') {
        // '{}}' types '}'; a name before it is ignored.
        SendKeyCode(CloseBraceCode, 1);
        ReleasePrefixModifiers();
        return j + 2;
    }
    if (auto space = keyName.find(' '); space != std::string::npos) {
        const std::string countText = keyName.substr(space + 1);
        auto count = ParseInteger(countText);
        if (!count) {
            ReleasePrefixModifiers();
            throw Error("The count in " + std::string(keys.substr(i, j + 1 - i)) + " at " + PlaceOf(keys, i) +
                        " is not a whole number");
        }
        repeatCount = static_cast<std::uint16_t>(*count); // low 16 bits: -1 gives 65535
        keyName.resize(space);
    }
    if (!keyName.empty() && DecodeUtf8Char(keyName, 0).Length == keyName.size()) {
        TypeCharacter(DecodeUtf8Char(keyName, 0).Value, repeatCount);
        ReleasePrefixModifiers();
    } else if (KeyCode code = FindKeyName(keyName, keys.substr(i, j + 1 - i), PlaceOf(keys, i));
               code != NoKey) {
        SendKeyCode(code, repeatCount);
        ReleasePrefixModifiers();
    }
    return j + 1;
}

bool KeyParser::Run(std::string_view keys) {
    if (keys.empty())
        return false;
    std::size_t i = 0;
    while (i < keys.size()) {
        const char c = keys[i];
        switch (c) {
        case '+':
            PressPrefix(shiftPrefix_, VkShift);
            break;
        case '^':
            PressPrefix(ctrlPrefix_, VkControl);
            break;
        case '%':
            PressPrefix(altPrefix_, VkMenu);
            break;
        case '(':
            inGroup_ = true; // groups do not nest
            break;
        case ')':
            inGroup_ = false;
            ReleasePrefixModifiers();
            break;
        case '~':
            TapKey(VkReturn, 1, true);
            ReleasePrefixModifiers();
            break;
        case '{': {
            auto next = BraceGroup(keys, i);
            if (!next)
                return false;
            i = *next;
            continue;
        }
        default: {
            const Utf8Char character = DecodeUtf8Char(keys, i);
            TypeCharacter(character.Value, 1);
            ReleasePrefixModifiers();
            i += character.Length;
            continue;
        }
        }
        ++i;
    }
    ReleasePrefixModifiers();
    return true;
}

} // namespace

bool SendKeys(std::string_view keys, bool wait, KeyboardPort& keyboard) {
    keys = keys.substr(0, keys.find('\0'));
    KeyParser parser(keyboard, wait);
    bool reachedEnd = false;
    try {
        reachedEnd = parser.Run(keys);
    } catch (...) {
        parser.LiftPrefixModifiers();
        throw;
    }
    parser.LiftPrefixModifiers();
    return reachedEnd;
}

} // namespace corvinade
