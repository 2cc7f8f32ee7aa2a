// holdhotkey.exe: holds key combinations as another program would, so that
// Corvinade's registration of them fails; runs until it is ended.
//
//   holdhotkey.exe VK+MODS ...      VK and MODS in decimal, MODS as in
//                                   hotkeys.ini (1 ALT, 2 CTRL, 4 SHIFT, 8 WIN)
#include <windows.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto plus = arg.find('+');
        const UINT key = static_cast<UINT>(std::atoi(arg.substr(0, plus).c_str()));
        const UINT mods =
            plus == std::string::npos ? 0 : static_cast<UINT>(std::atoi(arg.substr(plus + 1).c_str()));
        if (!RegisterHotKey(nullptr, i, mods, key))
            return 1;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
