// Unit KeySender: types a key string (UTF-8) into whatever window has the
// keyboard focus. Plain characters become the keys that produce them on the
// current layout, and a character the layout has no key for is typed as
// itself (Unicode key events); '+', '^' and '%' hold Shift, Ctrl or Alt for
// the next key or for a parenthesised group; braces name special keys, or one
// character, with an optional repeat count.
// The parser is portable: its few window-system calls go through KeyboardPort.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvinade {

// Low byte: virtual key. High byte: shift state as KeyForCharacter gives it.
using KeyCode = std::uint16_t;
inline constexpr KeyCode NoKey = 0xFFFF;

inline constexpr std::uint8_t ShiftStateShift = 0x01;
inline constexpr std::uint8_t ShiftStateCtrl = 0x02;
inline constexpr std::uint8_t ShiftStateAlt = 0x04;

inline constexpr std::uint32_t KeyEventExtendedKey = 0x0001; // KEYEVENTF_EXTENDEDKEY
inline constexpr std::uint32_t KeyEventKeyUp = 0x0002;       // KEYEVENTF_KEYUP

inline constexpr std::uint8_t VkShift = 0x10;
inline constexpr std::uint8_t VkControl = 0x11;
inline constexpr std::uint8_t VkMenu = 0x12;
inline constexpr std::uint8_t VkReturn = 0x0D;
inline constexpr std::uint8_t VkNumLock = 0x90;

// The window-system calls the sender makes, no more.
class KeyboardPort {
public:
    using KeyState = std::array<std::uint8_t, 256>;

    virtual ~KeyboardPort() = default;
    // One synthesized event; the extra information is always 0.
    virtual void SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) = 0;
    // One UTF-16 unit typed as itself (KEYEVENTF_UNICODE), pressed or released.
    virtual void SendUnicodeEvent(char16_t unit, bool keyUp) = 0;
    // Low byte virtual key, high byte shift state; 0xFFFF when the layout has no key.
    virtual KeyCode KeyForCharacter(char16_t character) = 0;
    // The layout's scan code in the low byte (MAPVK_VK_TO_VSC); 0 when it has none.
    virtual std::uint32_t ScanCodeOf(std::uint8_t virtualKey) = 0;
    virtual std::int16_t KeyStateOf(int virtualKey) = 0;
    // The calling thread's 256-byte key-state array, read and written whole.
    virtual void ReadKeyboardState(KeyState& state) = 0;
    virtual void WriteKeyboardState(const KeyState& state) = 0;
    // Drains the calling thread's pending keyboard messages (translated, dispatched).
    virtual void PumpKeyboardMessages() = 0;
    // What is wrong with the text, and where: a modal error box with no
    // owner, captioned with the program's title, and an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
};

struct KeyNameRow {
    std::string_view Name;
    std::uint8_t Code;
};

// Brace names and their virtual keys, aliases included.
extern const std::array<KeyNameRow, 41> KeyNameTable;

// The code of a name already in upper case, with a zero high byte; NoKey when
// the table has no such name. Shows nothing.
KeyCode LookupKeyName(std::string_view upperName);

// Keys whose presses and releases carry KEYEVENTF_EXTENDEDKEY.
bool IsExtendedKey(std::uint8_t virtualKey);

// Types `keys` (UTF-8, up to its first zero byte). With `wait`, the thread's
// keyboard messages are pumped after every event. True when the end of the string was
// reached, false for an empty string or a missing closing brace. A repeat
// count that is no integer throws corvinade::Error. The messages say where
// the fault is ("The { at position 12 has no closing }."). However the call ends,
// no modifier that a prefix pressed is left down.
bool SendKeys(std::string_view keys, bool wait, KeyboardPort& keyboard);

} // namespace corvinade
