// System libraries on use; see SystemLibrary.h.
#include "gui/SystemLibrary.h"

#include <map>
#include <string>

#include "core/Errors.h"

namespace corvinade::gui {

FARPROC SystemProcedure(const char* library, const char* function) {
    static std::map<std::string, HMODULE> loaded;
    HMODULE& module = loaded[library];
    if (!module)
        module = ::LoadLibraryA(library);
    if (!module)
        throw Error(std::string("Cannot load ") + library);
    FARPROC procedure = ::GetProcAddress(module, function);
    if (!procedure)
        throw Error(std::string("Cannot find ") + function + " in " + library);
    return procedure;
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
