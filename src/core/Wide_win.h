// The boundary between the program's UTF-8 texts and the system's wide (W)
// calls: every text a Win32 call takes or gives passes through here.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace corvinade {

std::wstring Wide(std::string_view utf8);
// length -1: up to the terminating zero.
std::string Utf8(const wchar_t* text, int length = -1);
inline std::string Utf8(const std::wstring& text) {
    return Utf8(text.data(), static_cast<int>(text.size()));
}

// A window's or control's text (GetWindowTextW).
std::string WindowText(HWND window);

// The full path of the module's file (the program's own for nullptr).
std::string ModuleFileName(HMODULE module = nullptr);

// A path as the file calls take it: one too long for MAX_PATH as a full
// path with the "\\?\" prefix ("\\?\UNC\" for a share), which lifts the
// limit; a shorter one as it is.
std::wstring SystemFilePath(const std::wstring& path);

// A numbered resource such as IDC_ARROW or IDI_WARNING, which the headers
// spell for the ANSI calls, for the wide ones.
inline LPCWSTR ResourceId(LPCSTR id) {
    return MAKEINTRESOURCEW(reinterpret_cast<ULONG_PTR>(id));
}

} // namespace corvinade
