// bare.exe: the smallest Win32 program of Corvinade's kind, one hidden
// window and a message loop, as the yardstick of its idle memory
// (tools/measure-idle.sh measures both in the same run). With the argument
// "show" its window is a black square at (630, 390) on top of everything,
// whose appearance times the start to a first window.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const bool show = std::strstr(commandLine, "show") != nullptr;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "BareWindow";
    RegisterClassA(&wc);
    HWND window =
        CreateWindowExA(show ? WS_EX_TOPMOST | WS_EX_TOOLWINDOW : 0, wc.lpszClassName, "Bare", WS_POPUP, 630,
                        390, show ? 20 : 0, show ? 20 : 0, nullptr, nullptr, instance, nullptr);
    if (show)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
