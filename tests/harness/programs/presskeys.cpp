// presskeys.exe: presses key combinations as a keyboard would, from inside
// the Wine desktop (X-level key events reach Wine only with the X focus).
//
//   presskeys.exe VK[+MODS] ...     VK and MODS in decimal, MODS as in
//                                   hotkeys.ini (1 ALT, 2 CTRL, 4 SHIFT, 8 WIN)
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

void Key(BYTE key, bool up) {
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)), up ? KEYEVENTF_KEYUP : 0, 0);
}

} // namespace

int main(int argc, char** argv) {
    const BYTE modifierKeys[] = {VK_MENU, VK_CONTROL, VK_SHIFT, VK_LWIN};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto plus = arg.find('+');
        const BYTE key = static_cast<BYTE>(std::atoi(arg.substr(0, plus).c_str()));
        const int mods = plus == std::string::npos ? 0 : std::atoi(arg.substr(plus + 1).c_str());
        for (int m = 0; m < 4; ++m)
            if (mods & (1 << m))
                Key(modifierKeys[m], false);
        Key(key, false);
        Key(key, true);
        for (int m = 3; m >= 0; --m)
            if (mods & (1 << m))
                Key(modifierKeys[m], true);
        Sleep(50);
    }
    return 0;
}
