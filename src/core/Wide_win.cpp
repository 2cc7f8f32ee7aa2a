// Wide texts at the system boundary, and the system's ANSI code page.
#include "core/Wide_win.h"

#include <cwchar>

#include "core/TextEncoding.h"
#include "core/Unicode.h"

namespace corvinade {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

std::wstring Wide(std::string_view utf8) {
    if (IsAscii(utf8))
        return std::wstring(utf8.begin(), utf8.end());
    const std::u16string units = Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string Utf8(const wchar_t* text, int length) {
    if (text == nullptr)
        return {};
    const std::size_t size = length < 0 ? std::wcslen(text) : static_cast<std::size_t>(length);
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), size));
}

std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Utf8(text);
}

std::string ModuleFileName(HMODULE module) {
    // A cut-off path fills the whole buffer: try again with a longer one.
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::wstring path(size, L'\0');
        const DWORD length = ::GetModuleFileNameW(module, path.data(), size);
        if (length < size || size >= 32768)
            return Utf8(path.data(), static_cast<int>(length));
    }
}

// Made whole first: the prefix also turns off the system's corrections.
std::wstring SystemFilePath(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    std::wstring full(path.size() + 1, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return path;
        const bool fits = length < full.size();
        full.resize(length);
        if (fits)
            break;
    }
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return full.size() > 2 && full[1] == L':' ? L"\\\\?\\" + full : path;
}

namespace {

// CP_ACP through the system's own tables. A system whose ANSI code page is
// UTF-8 (a choice Windows 10 offers) stores UTF-8 bytes as they are.
class SystemAnsiCodePage : public AnsiCodePage {
public:
    std::string ToUtf8(std::string_view bytes) const override {
        if (bytes.empty() || ::GetACP() == CP_UTF8)
            return ValidUtf8(bytes);
        const int size = static_cast<int>(bytes.size());
        std::wstring wide(
            static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0)),
            L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), static_cast<int>(wide.size()));
        return Utf8(wide);
    }

    std::optional<std::string> FromUtf8(std::string_view utf8) const override {
        if (!IsValidUtf8(utf8))
            return std::nullopt;
        if (utf8.empty() || ::GetACP() == CP_UTF8)
            return std::string(utf8);
        const std::wstring wide = Wide(utf8);
        const int size = static_cast<int>(wide.size());
        // No best fit: "é" must not quietly become "e", nor "✓" a "?".
        BOOL usedDefault = FALSE;
        const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0,
                                                 nullptr, &usedDefault);
        if (usedDefault || length <= 0)
            return std::nullopt;
        std::string bytes(static_cast<std::size_t>(length), '\0');
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(), length, nullptr,
                              &usedDefault);
        if (usedDefault)
            return std::nullopt;
        return bytes;
    }
};

} // namespace

const AnsiCodePage& SystemCodePage() {
    static const SystemAnsiCodePage page;
    return page;
}

} // namespace corvinade
