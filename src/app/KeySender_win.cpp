// The Win32 side of unit KeySender.
#include "app/KeySender_win.h"

#include "gui/Dialogs.h"

namespace corvinade {

void Win32Keyboard::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
    ::keybd_event(virtualKey, scanCode, flags, 0);
}

KeyCode Win32Keyboard::KeyForCharacter(char character) {
    return static_cast<KeyCode>(::VkKeyScanA(character));
}

std::uint32_t Win32Keyboard::ScanCodeOf(std::uint8_t virtualKey) {
    return ::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
}

std::int16_t Win32Keyboard::KeyStateOf(int virtualKey) {
    return ::GetKeyState(virtualKey);
}

void Win32Keyboard::ReadKeyboardState(KeyState& state) {
    ::GetKeyboardState(state.data());
}

void Win32Keyboard::WriteKeyboardState(const KeyState& state) {
    KeyState copy = state; // the call takes a non-const pointer
    ::SetKeyboardState(copy.data());
}

void Win32Keyboard::PumpKeyboardMessages() {
    if (pump_)
        pump_();
    else
        PumpThreadKeyboardMessages();
}

void Win32Keyboard::ShowMessage(const std::string& text) {
    gui::ShowMessageBox(nullptr, text, "SendKeys", MB_OK);
}

void PumpThreadKeyboardMessages() {
    constexpr UINT keyLast = 0x0109; // WM_UNICHAR: the headers' WM_KEYLAST depends on the target version
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_KEYFIRST, keyLast, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool SendKeysToFocus(std::string_view keys, bool wait) {
    Win32Keyboard keyboard;
    return SendKeys(keys, wait, keyboard);
}

} // namespace corvinade
