// bare.exe: the smallest Win32 program of Corvinade's kind, one hidden
// window and a message loop, as the yardstick of its idle memory
// (tools/measure-idle.sh measures both in the same run).
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "BareWindow";
    RegisterClassA(&wc);
    CreateWindowExA(0, wc.lpszClassName, "Bare", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
