// System libraries loaded when the program first needs them: the modules
// behind actions a user may never run (file dialogs, the update download,
// version resources, COM automation, TransparentBlt) and the common controls
// of its windows stay out of the idle process. The one loader of the
// program: every library comes from the system folder only, never from the
// program's folder or the current one, where anyone may have put a file of
// the same name. Loaded libraries stay for the life of the process.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

namespace corvinade::gui {

// First thing in WinMain: whatever loads a library later in the process,
// the system's own modules included, looks in the system folder only
// (SetDefaultDllDirectories, where the system has it).
void LoadLibrariesFromSystemFolderOnly();

// The address of a function of a system library, loading the library the
// first time; null when either is missing (an entry point of newer systems).
FARPROC FindSystemProcedure(const char* library, const char* function);
// The same, throwing Error when either is missing.
FARPROC SystemProcedure(const char* library, const char* function);

template <class Function> Function FindSystemFunction(const char* library, const char* function) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(FindSystemProcedure(library, function)));
}

template <class Function> Function SystemFunction(const char* library, const char* function) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemProcedure(library, function)));
}

// The common-controls calls of the GUI layer, through the library loaded on
// the first control made.
void InitCommonControlClasses(DWORD classes);
void SubclassControl(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
void RemoveControlSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
LRESULT DefaultSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// COM, single-threaded, on the user-interface thread for the life of the
// process, from the first action that needs it on (ole32 loaded then).
void InitializeComOnUse();

// CoCreateInstance of an in-process object, COM initialized first.
HRESULT CreateComObject(REFCLSID objectClass, REFIID interfaceId, void** object,
                        DWORD context = CLSCTX_INPROC_SERVER);

} // namespace corvinade::gui
