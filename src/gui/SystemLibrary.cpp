// System libraries on use; see SystemLibrary.h.
#include "gui/SystemLibrary.h"

#include <map>
#include <string>

#include "core/Errors.h"
#include "core/Wide_win.h"

namespace corvinade::gui {

FARPROC SystemProcedure(const char* library, const char* function) {
    static std::map<std::string, HMODULE> loaded;
    HMODULE& module = loaded[library];
    if (!module)
        module = ::LoadLibraryW(Wide(library).c_str());
    if (!module)
        throw Error(std::string("Cannot load ") + library);
    FARPROC procedure = ::GetProcAddress(module, function);
    if (!procedure)
        throw Error(std::string("Cannot find ") + function + " in " + library);
    return procedure;
}

namespace {

constexpr char CommonControls[] = "comctl32.dll";

} // namespace

void InitCommonControlClasses(DWORD classes) {
    static const auto init =
        SystemFunction<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(CommonControls, "InitCommonControlsEx");
    const INITCOMMONCONTROLSEX request = {sizeof request, classes};
    init(&request);
}

void SubclassControl(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    static const auto subclass = SystemFunction<BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR)>(
        CommonControls, "SetWindowSubclass");
    subclass(window, procedure, id, data);
}

void RemoveControlSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
    static const auto remove =
        SystemFunction<BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR)>(CommonControls, "RemoveWindowSubclass");
    remove(window, procedure, id);
}

LRESULT DefaultSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    static const auto forward =
        SystemFunction<LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM)>(CommonControls, "DefSubclassProc");
    return forward(window, msg, wParam, lParam);
}

void InitializeComOnUse() {
    using Initialize = HRESULT(WINAPI*)(LPVOID, DWORD);
    static const HRESULT com =
        SystemFunction<Initialize>("ole32.dll", "CoInitializeEx")(nullptr, COINIT_APARTMENTTHREADED);
    (void)com; // S_FALSE or RPC_E_CHANGED_MODE: COM is there all the same
}

HRESULT CreateComObject(REFCLSID objectClass, REFIID interfaceId, void** object, DWORD context) {
    InitializeComOnUse();
    using Create = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    return SystemFunction<Create>("ole32.dll", "CoCreateInstance")(objectClass, nullptr, context, interfaceId,
                                                                   object);
}

} // namespace corvinade::gui
