// The test harness's Win32 side; see Harness.h.
#include "Harness.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace corvinade::test {

namespace {

constexpr Milliseconds PollInterval{20};
constexpr int ProbeHotkeyId = 0x0BAD; // ids of thread hotkeys lie below 0xC000
constexpr const char* SettingsKey = "Software\\Pelmorra\\Corvinade";
constexpr const char* RecorderLogVariable = "CORVINADE_RECORDER_LOG";

std::runtime_error SystemError(const std::string& what) {
    return std::runtime_error(what + " failed, error " + std::to_string(GetLastError()));
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Owns an open registry key.
class RegKey {
public:
    explicit RegKey(const char* path, HKEY root = HKEY_CURRENT_USER) {
        const LONG result =
            RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        if (result != ERROR_SUCCESS)
            throw std::runtime_error(std::string("RegCreateKeyExA ") + path + " failed, error " +
                                     std::to_string(result));
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { RegCloseKey(key_); }

    void Set(const std::string& name, DWORD type, const void* data, DWORD size) {
        const LONG result = RegSetValueExA(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
        if (result != ERROR_SUCCESS)
            throw std::runtime_error("RegSetValueExA " + name + " failed, error " + std::to_string(result));
    }

private:
    HKEY key_ = nullptr;
};

// Holds the clipboard open; owner window none.
class ClipboardLock {
public:
    ClipboardLock() : open_(OpenClipboard(nullptr) != FALSE) {}
    ClipboardLock(const ClipboardLock&) = delete;
    ClipboardLock& operator=(const ClipboardLock&) = delete;
    ~ClipboardLock() {
        if (open_)
            CloseClipboard();
    }
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// A screen DC and a memory DC with a bitmap selected into it, released in
// reverse order.
class ScreenCopy {
public:
    ScreenCopy(int width, int height)
        : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)),
          bitmap_(CreateCompatibleBitmap(screen_, width, height)), old_(SelectObject(memory_, bitmap_)) {}
    ScreenCopy(const ScreenCopy&) = delete;
    ScreenCopy& operator=(const ScreenCopy&) = delete;
    ~ScreenCopy() {
        SelectObject(memory_, old_);
        DeleteObject(bitmap_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    HDC Screen() const { return screen_; }
    HDC Memory() const { return memory_; }
    HBITMAP Bitmap() const { return bitmap_; }

private:
    HDC screen_;
    HDC memory_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

void CreateFolders(const std::string& folder) {
    for (size_t pos = folder.find('\\', 3);; pos = folder.find('\\', pos + 1)) {
        const std::string part = folder.substr(0, pos);
        if (!CreateDirectoryW(WideOf(part).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            throw SystemError("CreateDirectoryW " + part);
        if (pos == std::string::npos)
            break;
    }
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(std::filesystem::path(WideOf(path)), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct WindowSearch {
    const WindowQuery* query;
    std::vector<HWND> found;
};

bool Matches(HWND window, const WindowQuery& query) {
    if (query.visibleOnly && !IsWindowVisible(window))
        return false;
    if (query.processId != 0 && WindowProcessId(window) != query.processId)
        return false;
    if (!query.className.empty() && WindowClass(window) != query.className)
        return false;
    return query.title.empty() || WindowText(window) == query.title;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (Matches(window, *search->query))
        search->found.push_back(window);
    return TRUE;
}

struct ChildSearch {
    std::string className;
    std::string text;
    HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (EqualNoCase(WindowClass(window), search->className) &&
        (search->text.empty() || WindowText(window) == search->text)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (key == VK_LWIN)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return input;
}

std::vector<WORD> ModifierKeys(UINT modifiers) {
    std::vector<WORD> keys;
    if (modifiers & ModCtrl)
        keys.push_back(VK_CONTROL);
    if (modifiers & ModAlt)
        keys.push_back(VK_MENU);
    if (modifiers & ModShift)
        keys.push_back(VK_SHIFT);
    if (modifiers & ModWin)
        keys.push_back(VK_LWIN);
    return keys;
}

void WriteBitmapFile(const std::string& path, const ScreenCopy& copy, int width, int height) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    std::vector<char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(copy.Memory(), copy.Bitmap(), 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

} // namespace

// --- Paths -------------------------------------------------------------------

const std::string& UniqueRunToken() {
    static const std::string token = [] {
        std::random_device random;
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(random()) + "-" +
               std::to_string(now.QuadPart);
    }();
    return token;
}

std::string Env(const std::string& name) {
    char buffer[32768];
    const DWORD length = GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path.front() != '/')
        return path;
    std::string result = "Z:" + path;
    std::replace(result.begin(), result.end(), '/', '\\');
    return result;
}

std::string CorvinadeExe() {
    const std::string exe = Env("CORVINADE_EXE");
    if (exe.empty())
        throw std::runtime_error("CORVINADE_EXE is not set (the path of corvinade.exe)");
    return WindowsPath(exe);
}

std::string SetupExe() {
    const std::string setup = Env("CORVINADE_SETUP");
    if (setup.empty())
        throw std::runtime_error("CORVINADE_SETUP is not set (the path of corvinade-setup-VERSION.exe)");
    return WindowsPath(setup);
}

std::string TestProgram(const std::string& name) {
    const std::string folder = Env("CORVINADE_TEST_BIN");
    if (folder.empty())
        throw std::runtime_error("CORVINADE_TEST_BIN is not set (the folder of the test programs)");
    return WindowsPath(folder) + "\\" + name;
}

std::string MakeUnicodeFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    // Cyrillic and CJK: no ANSI code page holds both.
    const std::wstring folder = std::wstring(temp) + L"\u041F\u0430\u043F\u043A\u0430 \u4E2D\u6587 " +
                                std::to_wstring(GetCurrentProcessId());
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw SystemError("CreateDirectoryW");
    return Utf8Of(folder);
}

void SetUserShellFolder(const std::string& name, const std::string& path) {
    const std::wstring value = WideOf(path);
    for (const wchar_t* key : {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                               L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}) {
        HKEY raw = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
            ERROR_SUCCESS)
            throw SystemError("RegCreateKeyExW");
        const LONG status =
            RegSetValueExW(raw, WideOf(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(raw);
        if (status != ERROR_SUCCESS)
            throw SystemError("RegSetValueExW " + name);
    }
}

std::string CopyInto(const std::string& file, const std::string& folder) {
    const std::string copy = folder + "\\" + file.substr(file.find_last_of("\\/") + 1);
    if (!CopyFileW(WideOf(file).c_str(), WideOf(copy).c_str(), FALSE))
        throw SystemError("CopyFileW " + file);
    return copy;
}

// --- Kernel handles and processes -------------------------------------------

UniqueHandle& UniqueHandle::operator=(UniqueHandle&& other) noexcept {
    if (this != &other)
        Reset(other.Release());
    return *this;
}

HANDLE UniqueHandle::Release() {
    HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
}

void UniqueHandle::Reset(HANDLE handle) {
    if (*this)
        CloseHandle(handle_);
    handle_ = handle;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Terminate();
        handle_ = std::move(other.handle_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

Process Process::Start(const std::string& exe, const std::string& args) {
    std::string commandLine = "\"" + exe + "\"";
    if (!args.empty())
        commandLine += " " + args;
    std::wstring wide = WideOf(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        throw SystemError("CreateProcessW " + commandLine);
    CloseHandle(info.hThread);
    Process process;
    process.handle_.Reset(info.hProcess);
    process.id_ = info.dwProcessId;
    return process;
}

bool Process::Running() const {
    return handle_ && WaitForSingleObject(handle_.Get(), 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(Milliseconds timeout) const {
    // Without a handle nothing is known to have ended.
    return handle_ &&
           WaitForSingleObject(handle_.Get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::optional<DWORD> Process::ExitCode() const {
    DWORD code = 0;
    if (!handle_ || Running() || !GetExitCodeProcess(handle_.Get(), &code))
        return std::nullopt;
    return code;
}

void Process::Terminate() {
    if (!handle_)
        return;
    if (Running()) {
        TerminateProcess(handle_.Get(), 1);
        WaitForSingleObject(handle_.Get(), 10000);
    }
    handle_.Reset();
    id_ = 0;
}

std::vector<DWORD> ProcessIds(const std::string& exeName) {
    std::vector<DWORD> ids;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        throw SystemError("CreateToolhelp32Snapshot");
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (EqualNoCase(entry.szExeFile, exeName))
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

// --- Waiting -------------------------------------------------------------------

bool WaitFor(const std::function<bool()>& condition, Milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        PumpMessagesFor(PollInterval);
    }
}

void PumpMessagesFor(Milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const auto left = std::chrono::duration_cast<Milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
    }
}

// --- Configuration ------------------------------------------------------------

std::string HotkeysIniText(const std::vector<HotkeyEntry>& entries) {
    std::string text;
    for (size_t i = 0; i < entries.size(); ++i) {
        const HotkeyEntry& entry = entries[i];
        text += "[key" + std::to_string(i) + "]\r\n";
        text += "active=" + std::string(entry.active ? "1" : "0") + "\r\n";
        text += "key=" + std::to_string(entry.key) + "\r\n";
        text += "shift=" + std::to_string(entry.shift) + "\r\n";
        text += "func=" + entry.func + "\r\n";
        text += "params=" + entry.params + "\r\n";
        text += "params2=" + entry.params2 + "\r\n";
        text += "\r\n";
    }
    return text;
}

std::string HotkeysIniPath() {
    wchar_t folder[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE))
        throw std::runtime_error("SHGetSpecialFolderPathW(CSIDL_APPDATA) failed");
    std::string path = Utf8Of(folder);
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path + "Pelmorra\\Corvinade\\Data\\hotkeys.ini";
}

void WriteHotkeysIni(const std::string& text) {
    const std::string path = HotkeysIniPath();
    CreateFolders(path.substr(0, path.rfind('\\')));
    std::ofstream out(std::filesystem::path(WideOf(path)), std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

void WriteHotkeysIni(const std::vector<HotkeyEntry>& entries) {
    WriteHotkeysIni(HotkeysIniText(entries));
}

void SetSettingText(const std::string& name, const std::string& value) {
    RegKey(SettingsKey).Set(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void SetSettingDword(const std::string& name, DWORD value) {
    RegKey(SettingsKey).Set(name, REG_DWORD, &value, sizeof value);
}

void SetRegistryText(const std::string& keyPath, const std::string& name, const std::string& value) {
    RegKey(keyPath.c_str()).Set(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void SetRegistryDword(const std::string& keyPath, const std::string& name, DWORD value) {
    RegKey(keyPath.c_str()).Set(name, REG_DWORD, &value, sizeof value);
}

void SetRegistryBinary(const std::string& keyPath, const std::string& name, const std::vector<BYTE>& value) {
    RegKey(keyPath.c_str()).Set(name, REG_BINARY, value.data(), static_cast<DWORD>(value.size()));
}

std::optional<std::vector<BYTE>> RegistryBinary(const std::string& keyPath, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<BYTE> data(256);
    DWORD type = REG_NONE, size = static_cast<DWORD>(data.size());
    const LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_BINARY)
        return std::nullopt;
    data.resize(size);
    return data;
}

DWORD RegistryValueType(const std::string& keyPath, const std::string& name) {
    HKEY key = nullptr;
    DWORD type = REG_NONE;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return REG_NONE;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        type = REG_NONE;
    RegCloseKey(key);
    return type;
}

void RegisterUrlHandler(const std::string& scheme, const std::string& command) {
    const std::string path = "Software\\Classes\\" + scheme + "\\shell\\open\\command";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegKey(("Software\\Classes\\" + scheme).c_str(), root).Set("URL Protocol", REG_SZ, "", 1);
        RegKey(path.c_str(), root).Set("", REG_SZ, command.c_str(), static_cast<DWORD>(command.size() + 1));
    }
}

// --- Input and hotkeys ---------------------------------------------------------

void PressHotkey(UINT key, UINT modifiers) {
    const std::vector<WORD> mods = ModifierKeys(modifiers);
    std::vector<INPUT> inputs;
    for (WORD mod : mods)
        inputs.push_back(KeyInput(mod, false));
    inputs.push_back(KeyInput(static_cast<WORD>(key), false));
    inputs.push_back(KeyInput(static_cast<WORD>(key), true));
    for (auto mod = mods.rbegin(); mod != mods.rend(); ++mod)
        inputs.push_back(KeyInput(*mod, true));
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        throw SystemError("SendInput");
}

void SendKeyEvent(UINT key, bool up) {
    INPUT input = KeyInput(static_cast<WORD>(key), up);
    if (SendInput(1, &input, sizeof input) != 1)
        throw SystemError("SendInput");
}

bool IsCombinationTaken(UINT key, UINT modifiers) {
    if (RegisterHotKey(nullptr, ProbeHotkeyId, modifiers, key)) {
        UnregisterHotKey(nullptr, ProbeHotkeyId);
        return false;
    }
    return true;
}

std::string HotkeyAtomName(UINT key, UINT modifiers) {
    return "corvinade-" + std::to_string(key) + "-" + std::to_string(modifiers);
}

bool WaitForHotkeyRegistration(UINT key, UINT modifiers, Milliseconds timeout) {
    const std::string atom = HotkeyAtomName(key, modifiers);
    bool atomSeen = false;
    return WaitFor(
        [&] {
            if (!atomSeen) {
                atomSeen = GlobalFindAtomA(atom.c_str()) != 0;
                return false;
            }
            return IsCombinationTaken(key, modifiers);
        },
        timeout);
}

// --- Windows ----------------------------------------------------------------------

std::vector<HWND> FindTopWindows(const WindowQuery& query) {
    WindowSearch search{&query, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND TopmostVisibleWindow(DWORD processId) {
    // EnumWindows walks the top-level windows from the top of the z-order. A
    // tooltip floats above them all but is no window to act on.
    for (HWND window : FindTopWindows({.processId = processId, .visibleOnly = true}))
        if (!EqualNoCase(WindowClass(window), "tooltips_class32"))
            return window;
    return nullptr;
}

std::string DescribeWindow(HWND window) {
    if (!window)
        return "(no window)";
    return "\"" + WindowText(window) + "\" of class " + WindowClass(window) +
           (IsWindowEnabled(window) ? " (enabled)" : " (disabled)");
}

HWND WaitForWindow(const WindowQuery& query, Milliseconds timeout) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            const std::vector<HWND> windows = FindTopWindows(query);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        timeout);
    return found;
}

std::string Utf8Of(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    std::string out(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), static_cast<int>(out.size()), nullptr,
                        nullptr);
    return out;
}

std::wstring WideOf(const std::string& text) {
    const int size = static_cast<int>(text.size());
    std::wstring out(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)),
                     L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), static_cast<int>(out.size()));
    return out;
}

std::string WindowText(HWND window) {
    // WM_GETTEXT reads other processes' controls too (GetWindowText does not);
    // with a time limit, so that a busy program does not stop the test. Wide,
    // so that any text comes back whole (as UTF-8).
    constexpr UINT Limit = 5000;
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, Limit, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, Limit, &copied))
        return {};
    text.resize(std::min<size_t>(copied, length));
    return Utf8Of(text);
}

std::string WindowClass(HWND window) {
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

DWORD WindowProcessId(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

std::string MessageBoxText(HWND box) {
    // The text is the static control with id 0xFFFF; its icon is a static too.
    if (HWND text = GetDlgItem(box, 0xFFFF))
        return WindowText(text);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (EqualNoCase(WindowClass(child), "Static") && !WindowText(child).empty())
            return WindowText(child);
    }
    return {};
}

HWND FindButton(HWND dialog, const std::string& caption) {
    ChildSearch search{"Button", caption, nullptr};
    EnumChildWindows(dialog, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WhyNotPressable(HWND control) {
    if (!IsWindow(control))
        return "it does not exist";
    HWND root = GetAncestor(control, GA_ROOT);
    for (HWND window = control; window; window = window == root ? nullptr : GetParent(window)) {
        const std::string which =
            window == control ? "the control"
            : window == root  ? "its window \"" + WindowText(window) + "\""
                              : "its parent \"" + WindowText(window) + "\" (" + WindowClass(window) + ")";
        if (!(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE))
            return which + " is hidden";
        if (!IsWindowEnabled(window))
            return which + " is disabled";
    }
    return {};
}

bool ExpectPressable(HWND control, const std::string& what, Milliseconds timeout) {
    std::string why;
    if (WaitFor([&] { return (why = WhyNotPressable(control)).empty(); }, timeout))
        return true;
    ADD_FAILURE() << "cannot press " << what << ": " << why;
    return false;
}

bool ClickButton(HWND dialog, const std::string& caption) {
    HWND button = FindButton(dialog, caption);
    if (!button || !ExpectPressable(button, "the button \"" + caption + "\""))
        return false;
    const int id = GetDlgCtrlID(button);
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) !=
           0;
}

bool PressDialogButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!ExpectPressable(button, "the button " + std::to_string(id) + " of \"" + WindowText(dialog) + "\""))
        return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) !=
           0;
}

HWND FindChildWindow(HWND parent, const std::string& className) {
    ChildSearch search{className, "", nullptr};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool BringToForeground(HWND window, Milliseconds timeout) {
    const bool foreground = WaitFor(
        [&] {
            if (GetForegroundWindow() == window)
                return true;
            SetForegroundWindow(window);
            return false;
        },
        timeout);
    DWORD_PTR result = 0;
    return foreground &&
           SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout.count()),
                               &result) &&
           GetForegroundWindow() == window;
}

TestWindow::TestWindow(DWORD style, const std::string& title) {
    static const ATOM windowClass = [] {
        WNDCLASSA info{};
        info.lpfnWndProc = Procedure;
        info.hInstance = GetModuleHandleA(nullptr);
        info.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        info.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        info.lpszClassName = "CorvinadeTestWindow";
        return RegisterClassA(&info);
    }();
    if (windowClass == 0)
        throw SystemError("RegisterClassA CorvinadeTestWindow");
    window_ = CreateWindowExA(0, "CorvinadeTestWindow", title.c_str(), style, 100, 100, 400, 300, nullptr,
                              nullptr, GetModuleHandleA(nullptr), this);
    if (!window_)
        throw SystemError("CreateWindowExA " + title);
    ShowWindow(window_, SW_SHOWNORMAL);
}

TestWindow::~TestWindow() {
    if (IsWindow(window_))
        DestroyWindow(window_);
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_SYSCOMMAND)
        self->systemCommands_.push_back(wParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// --- Clipboard ------------------------------------------------------------------

std::optional<std::string> ClipboardText(Milliseconds timeout) {
    std::optional<std::string> text;
    const bool opened = WaitFor(
        [&] {
            ClipboardLock lock;
            if (!lock.IsOpen())
                return false;
            HANDLE data = GetClipboardData(CF_UNICODETEXT);
            if (!data)
                return true;
            if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = Utf8Of(std::wstring(chars, wcsnlen(chars, GlobalSize(data) / sizeof(wchar_t))));
                GlobalUnlock(data);
            }
            return true;
        },
        timeout);
    if (!opened)
        throw std::runtime_error("the clipboard stayed busy");
    return text;
}

bool WaitForClipboardChange(DWORD sequenceBefore, Milliseconds timeout) {
    return WaitFor([&] { return GetClipboardSequenceNumber() != sequenceBefore; }, timeout);
}

void SetClipboardText(const std::string& text, Milliseconds timeout) {
    const bool placed = WaitFor(
        [&] {
            ClipboardLock lock;
            if (!lock.IsOpen())
                return false;
            EmptyClipboard();
            const std::wstring wide = WideOf(text);
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
            if (!memory)
                throw SystemError("GlobalAlloc");
            std::memcpy(GlobalLock(memory), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) {
                GlobalFree(memory);
                throw SystemError("SetClipboardData");
            }
            return true;
        },
        timeout);
    if (!placed)
        throw std::runtime_error("the clipboard stayed busy");
}

void ClipboardHolder::Release() {
    if (open_)
        CloseClipboard();
    open_ = false;
}

// --- Messages ---------------------------------------------------------------------

std::string SystemMessage(DWORD code) {
    char buffer[1024] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        code, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string ErrorDisplayText(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        return text + ".";
    return text;
}

// --- The recorder test program ---------------------------------------------------

std::string RecorderRun::Parameters() const {
    size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        const size_t close = commandLine.find('"', 1);
        end = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        end = std::min(commandLine.find(' '), commandLine.size());
    }
    const size_t start = commandLine.find_first_not_of(' ', end);
    return start == std::string::npos ? std::string() : commandLine.substr(start);
}

RecorderLog::RecorderLog() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "corvinade-recorder.log";
    DeleteFileA(path_.c_str());
    SetEnvironmentVariableA(RecorderLogVariable, path_.c_str());
}

std::vector<RecorderRun> RecorderLog::Runs() const {
    // One line per start: the parent's process id, a tab, the command line.
    std::vector<RecorderRun> runs;
    std::istringstream lines(ReadWholeFile(path_));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        runs.push_back({static_cast<DWORD>(std::stoul(line.substr(0, tab))), line.substr(tab + 1)});
    }
    return runs;
}

bool RecorderLog::WaitForRuns(size_t count, Milliseconds timeout) const {
    return WaitFor([&] { return Runs().size() >= count; }, timeout);
}

bool RecorderLog::WaitUntilIdle(Milliseconds timeout) const {
    return WaitFor([] { return ProcessIds("recorder.exe").empty(); }, timeout);
}

// --- Failures ------------------------------------------------------------------------

void SaveScreenshot(const std::string& name) {
    const std::string folder = WindowsPath(Env("CORVINADE_FAILURES"));
    if (folder.empty())
        return;
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    ScreenCopy copy(width, height);
    BitBlt(copy.Memory(), 0, 0, width, height, copy.Screen(), GetSystemMetrics(SM_XVIRTUALSCREEN),
           GetSystemMetrics(SM_YVIRTUALSCREEN), SRCCOPY);
    WriteBitmapFile(folder + "\\" + name + ".bmp", copy, width, height);
}

void DesktopTest::TearDown() {
    if (!HasFailure())
        return;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name();
    SaveScreenshot(name);
}

std::vector<std::string> FolderListing(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace corvinade::test
