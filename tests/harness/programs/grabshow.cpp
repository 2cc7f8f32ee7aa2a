// grabshow.exe: the plainest program of the capture's kind, as the yardstick
// of Corvinade's hotkey-to-capture-window time (scripts/bench.sh). WIN + G
// copies the screen into a DIB section and shows it 1:1 in a new window
// titled "Grab"; nothing else.
#include <windows.h>

namespace {

struct Grab {
    HBITMAP bitmap;
    HDC dc;
    int width, height;
};

LRESULT CALLBACK GrabProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* grab = reinterpret_cast<Grab*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        BitBlt(dc, 0, 0, grab->width, grab->height, grab->dc, 0, 0, SRCCOPY);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        DeleteDC(grab->dc);
        DeleteObject(grab->bitmap);
        delete grab;
        break;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

void GrabAndShow(HINSTANCE instance) {
    auto* grab = new Grab{nullptr, CreateCompatibleDC(nullptr), GetSystemMetrics(SM_CXSCREEN),
                          GetSystemMetrics(SM_CYSCREEN)};
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, grab->width, -grab->height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    grab->bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(grab->dc, grab->bitmap);
    HDC screen = GetDC(nullptr);
    BitBlt(grab->dc, 0, 0, grab->width, grab->height, screen, 0, 0, SRCCOPY);
    ReleaseDC(nullptr, screen);
    HWND window = CreateWindowExA(0, "GrabWindow", "Grab", WS_OVERLAPPEDWINDOW, 0, 0, 760, 440, nullptr,
                                  nullptr, instance, grab);
    ShowWindow(window, SW_SHOW);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = GrabProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "GrabWindow";
    RegisterClassA(&wc);
    if (!RegisterHotKey(nullptr, 1, MOD_WIN, 'G'))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_HOTKEY)
            GrabAndShow(instance);
        DispatchMessageA(&msg);
    }
    return 0;
}
