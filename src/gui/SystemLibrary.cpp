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

} // namespace corvinade::gui
