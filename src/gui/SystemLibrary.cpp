// System libraries on use; see SystemLibrary.h.
#include "gui/SystemLibrary.h"

#include <map>
#include <string>

#include "core/Errors.h"
#include "core/Wide_win.h"

namespace corvinade::gui {

namespace {

HMODULE LoadFromSystemFolder(const std::wstring& name) {
    if (HMODULE module = ::LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    if (::GetLastError() != ERROR_INVALID_PARAMETER)
        return nullptr;
    // Windows 7 without the update that brought the search flags: the full
    // path, its own imports looked for beside it first.
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return ::LoadLibraryExW((std::wstring(folder, length) + L"\\" + name).c_str(), nullptr,
                            LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Loaded once, or null when missing; the user-interface thread's.
HMODULE SystemModule(const char* library) {
    static std::map<std::string, HMODULE> loaded;
    auto [entry, added] = loaded.try_emplace(library, nullptr);
    if (added)
        entry->second = LoadFromSystemFolder(Wide(library));
    return entry->second;
}

} // namespace

void LoadLibrariesFromSystemFolderOnly() {
    // Looked up: Windows 7 has it only with an update.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll"))
        if (auto set = reinterpret_cast<SetDirectories>(
                reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories"))))
            set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

FARPROC FindSystemProcedure(const char* library, const char* function) {
    HMODULE module = SystemModule(library);
    return module ? ::GetProcAddress(module, function) : nullptr;
}

FARPROC SystemProcedure(const char* library, const char* function) {
    HMODULE module = SystemModule(library);
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
