// A test window that paints the known pattern of CapturePattern.h over its
// client area and comes to the front. Arguments: left top width height
// (outer bounds, screen pixels).
#include <windows.h>

#include <cstdio>

#include "CapturePattern.h"

namespace {

LRESULT CALLBACK PatternProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        const int w = client.right, h = client.bottom;
        for (int row = 0; row < corvinade::test::PatternCells; ++row)
            for (int column = 0; column < corvinade::test::PatternCells; ++column) {
                // The cell holds the pixels x with x * 4 / w == column.
                RECT cell = {(column * w + 3) / 4, (row * h + 3) / 4, ((column + 1) * w + 3) / 4,
                             ((row + 1) * h + 3) / 4};
                const std::uint32_t c = corvinade::test::PatternCellColour(column, row);
                HBRUSH brush = CreateSolidBrush(RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
                FillRect(dc, &cell, brush);
                DeleteObject(brush);
            }
        EndPaint(window, &ps);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    SetProcessDPIAware();
    int left = 100, top = 100, width = 400, height = 300;
    std::sscanf(commandLine, "%d %d %d %d", &left, &top, &width, &height);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PatternProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "CorvinadePattern";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Pattern", WS_OVERLAPPEDWINDOW, left, top, width,
                                  height, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetForegroundWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
