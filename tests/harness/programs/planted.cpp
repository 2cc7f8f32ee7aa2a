// A library planted beside a program under the name of a system library
// (oleacc.dll, version.dll, shcore.dll): being loaded at all leaves a file
// beside it, its own name with ".loaded" added. It exports nothing.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t marker[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameW(instance, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    lstrcpyW(marker + length, L".loaded");
    HANDLE file =
        CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return TRUE;
}
