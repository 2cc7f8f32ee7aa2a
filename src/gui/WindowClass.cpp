// Window classes; see WindowClass.h.
#include "gui/WindowClass.h"

#include <set>
#include <string>

#include "core/Errors.h"

namespace corvinade::gui {

void RegisterWindowClass(const WindowClassArgs& args) {
    static std::set<std::string> registered;
    if (registered.count(args.name))
        return;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = args.style;
    wc.lpfnWndProc = args.proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = args.cursor ? args.cursor : ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = args.background;
    wc.lpszClassName = args.name;
    if (args.programIcon)
        wc.hIcon = ::LoadIconA(wc.hInstance, MAKEINTRESOURCEA(1));
    if (!::RegisterClassExA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Error(std::string("Cannot register the window class ") + args.name);
    registered.insert(args.name);
}

} // namespace corvinade::gui
