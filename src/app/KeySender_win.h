// The Win32 side of unit KeySender: the keyboard port over the real calls,
// and SendKeys into the window that has the focus.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "app/KeySender.h"

namespace corvinade {

// keybd_event, SendInput (Unicode units), VkKeyScanW, MapVirtualKeyW,
// GetKeyState, Get/SetKeyboardState and MessageBoxW as they are. The pump is the caller's when one is given
// (a loop that must see every message, such as the application's); otherwise
// the thread's keyboard messages are peeked, translated and dispatched here.
class Win32Keyboard : public KeyboardPort {
public:
    Win32Keyboard() = default;
    explicit Win32Keyboard(std::function<void()> pump) : pump_(std::move(pump)) {}

    void SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
    void SendUnicodeEvent(char16_t unit, bool keyUp) override;
    KeyCode KeyForCharacter(char16_t character) override;
    std::uint32_t ScanCodeOf(std::uint8_t virtualKey) override;
    std::int16_t KeyStateOf(int virtualKey) override;
    void ReadKeyboardState(KeyState& state) override;
    void WriteKeyboardState(const KeyState& state) override;
    void PumpKeyboardMessages() override;
    void ShowMessage(const std::string& text) override;

private:
    std::function<void()> pump_;
};

// Removes the thread's pending keyboard messages (WM_KEYFIRST to 0x0109),
// translating and dispatching each.
void PumpThreadKeyboardMessages();

// SendKeys with the real keyboard, into the window that has the focus.
bool SendKeysToFocus(std::string_view keys, bool wait = false);

} // namespace corvinade
