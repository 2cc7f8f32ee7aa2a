// childpoint.exe: prints the screen point of a point inside a child window,
// for scripts that move the pointer there with xdotool (which sees no child
// windows of Wine's).
//
//   childpoint.exe TITLE CAPTION X Y    the first descendant, at any depth,
//                                       of the visible top-level window TITLE
//                                       whose text starts with CAPTION (or,
//                                       for "#NAME", of window class NAME); X
//                                       and Y in design pixels (96 dpi),
//                                       scaled by the screen's dpi
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Search {
    std::string caption;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    char text[512] = {};
    if (search->caption.rfind('#', 0) == 0) {
        GetClassNameA(window, text, sizeof text);
        if (search->caption.substr(1) != text)
            return TRUE;
    } else {
        GetWindowTextA(window, text, sizeof text);
        if (std::string(text).rfind(search->caption, 0) != 0)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5)
        return 2;
    HWND top = FindWindowA(nullptr, argv[1]);
    Search search{argv[2]};
    if (top)
        EnumChildWindows(top, Visit, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return 1;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    POINT p = {MulDiv(std::atoi(argv[3]), dpi, 96), MulDiv(std::atoi(argv[4]), dpi, 96)};
    ClientToScreen(search.found, &p);
    std::printf("%ld %ld\n", p.x, p.y);
    return 0;
}
