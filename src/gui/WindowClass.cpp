// Window classes; see WindowClass.h.
#include "gui/WindowClass.h"

#include <set>
#include <string>

#include "core/Errors.h"
#include "core/Wide_win.h"

namespace corvinade::gui {

void RegisterWindowClass(const WindowClassArgs& args) {
    static std::set<std::wstring> registered;
    if (registered.count(args.name))
        return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = args.style;
    wc.lpfnWndProc = args.proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = args.cursor ? args.cursor : ::LoadCursorW(nullptr, ResourceId(IDC_ARROW));
    wc.hbrBackground = args.background;
    wc.lpszClassName = args.name;
    if (args.programIcon)
        wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Error("Cannot register the window class " + Utf8(args.name));
    registered.insert(args.name);
}

} // namespace corvinade::gui
