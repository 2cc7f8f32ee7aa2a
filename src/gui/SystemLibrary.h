// System libraries loaded when the program first needs them: the modules
// behind actions a user may never run (file dialogs, the update download,
// version resources, COM automation, TransparentBlt) stay out of the idle
// process. Loaded libraries stay for the life of the process.
#pragma once

#include <windows.h>

namespace corvinade::gui {

// The address of a function of a system library, loading the library the
// first time. Throws Error when either is missing.
FARPROC SystemProcedure(const char* library, const char* function);

template <class Function> Function SystemFunction(const char* library, const char* function) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemProcedure(library, function)));
}

} // namespace corvinade::gui
