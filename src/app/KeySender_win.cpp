// The Win32 side of unit KeySender.
#include "app/KeySender_win.h"

#include "gui/Application.h"
#include "gui/Dialogs.h"

namespace corvinade {

void Win32Keyboard::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
    ::keybd_event(virtualKey, scanCode, flags, 0);
}

void Win32Keyboard::SendUnicodeEvent(char16_t unit, bool keyUp) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = unit;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (keyUp ? KEYEVENTF_KEYUP : 0);
    ::SendInput(1, &input, sizeof input);
}

KeyCode Win32Keyboard::KeyForCharacter(char16_t character) {
    return static_cast<KeyCode>(::VkKeyScanW(static_cast<wchar_t>(character)));
}

std::uint32_t Win32Keyboard::ScanCodeOf(std::uint8_t virtualKey) {
    return ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
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

// As the program's other errors: its title and the error sign.
void Win32Keyboard::ShowMessage(const std::string& text) {
    gui::Application* app = gui::Application::Instance();
    gui::ShowMessageBox(nullptr, text, app ? app->Title().c_str() : "Corvinade", MB_OK | MB_ICONERROR);
}

void PumpThreadKeyboardMessages() {
    constexpr UINT keyLast = 0x0109; // WM_UNICHAR: the headers' WM_KEYLAST depends on the target version
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_KEYFIRST, keyLast, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool SendKeysToFocus(std::string_view keys, bool wait) {
    Win32Keyboard keyboard;
    return SendKeys(keys, wait, keyboard);
}

} // namespace corvinade
