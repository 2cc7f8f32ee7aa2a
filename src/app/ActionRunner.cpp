// The actions; see ActionRunner.h. Each is one-shot: it posts its request or
// fills the clipboard and returns; an error ends the action and reaches the
// application's error display.
#include "app/ActionRunner.h"

#include <oleauto.h>
#include <shellapi.h>

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "app/ActionText.h"
#include "app/KeySender_win.h"
#include "app/Store.h"
#include "capture/CaptureTarget_win.h"
#include "capture/CaptureWindow.h"
#include "core/Errors.h"
#include "core/Handles_win.h"
#include "core/SystemText_win.h"
#include "core/TextEncoding.h"
#include "core/TextFile.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"

namespace corvinade {

namespace {

// The folder window of Explorer with the file selected in it; Explorer
// from the Windows folder, never a program of that name found elsewhere.
void ShowInFolder(const std::string& file) {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    const std::wstring explorer = std::wstring(windows) + L"\\explorer.exe";
    const std::wstring parameters = L"/select,\"" + Wide(file) + L"\"";
    ::ShellExecuteW(nullptr, L"open", explorer.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

// The description a failed automation call gives, else the system's text.
std::string ComErrorText(HRESULT result, const EXCEPINFO* exception = nullptr) {
    if (exception != nullptr && exception->bstrDescription != nullptr) {
        const std::string text = Utf8(exception->bstrDescription);
        if (!text.empty())
            return text;
    }
    if (exception != nullptr && exception->scode != 0)
        result = exception->scode;
    return SystemErrorText(static_cast<DWORD>(result));
}

void CheckCom(HRESULT result) {
    if (FAILED(result))
        throw Error(ComErrorText(result));
}

// Calls a method without arguments on an automation object, late-bound by name.
void InvokeByName(IDispatch& object, const wchar_t* method) {
    DISPID id = 0;
    LPOLESTR name = const_cast<LPOLESTR>(method);
    CheckCom(object.GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
    DISPPARAMS noArguments{};
    EXCEPINFO exception{};
    const HRESULT result = object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArguments,
                                         nullptr, &exception, nullptr);
    const std::string text = FAILED(result) ? ComErrorText(result, &exception) : std::string();
    using FreeString = void(WINAPI*)(BSTR);
    const auto freeString = gui::SystemFunction<FreeString>("oleaut32.dll", "SysFreeString");
    freeString(exception.bstrSource);
    freeString(exception.bstrDescription);
    freeString(exception.bstrHelpFile);
    if (FAILED(result))
        throw Error(text);
}

// The integrity level of a process (SECURITY_MANDATORY_*_RID); none when
// its token cannot be read.
std::optional<DWORD> IntegrityLevel(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return std::nullopt;
    UniqueHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size))
        return std::nullopt;
    PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    return count == 0 ? std::nullopt : std::optional<DWORD>(*GetSidSubAuthority(sid, count - 1U));
}

class Win32TargetWindows : public TargetWindowPort {
public:
    // A token the system will not let us read belongs to a program above
    // us (a medium program may not look into an elevated one's token).
    bool RunsAboveUs(std::uintptr_t window) override {
        DWORD processId = 0;
        GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &processId);
        if (processId == 0 || processId == GetCurrentProcessId())
            return false;
        UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
        if (!process)
            return false;
        const std::optional<DWORD> theirs = IntegrityLevel(process.Get());
        if (!theirs)
            return GetLastError() == ERROR_ACCESS_DENIED;
        const std::optional<DWORD> ours = IntegrityLevel(GetCurrentProcess());
        return ours && *theirs > *ours;
    }
    std::string WindowTitle(std::uintptr_t window) override {
        wchar_t title[256] = {};
        const int length = GetWindowTextW(reinterpret_cast<HWND>(window), title, 256);
        return Utf8(title, length > 0 ? length : 0);
    }
};

// The Windows folder, where this 32-bit program runs on 64-bit Windows; else
// empty.
std::string WindowsFolderUnderWow64() {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        return {};
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return {};
    return Utf8(folder, static_cast<int>(length));
}

std::string FullPathOf(const std::string& name) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n =
        GetFullPathNameW(Wide(name).c_str(), static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
    return n > 0 && n < std::size(buffer) ? Utf8(buffer, static_cast<int>(n)) : name;
}

} // namespace

ActionRunner::ActionRunner(TrayBalloonPort* tray, std::unique_ptr<TargetWindowPort> targetWindows,
                           Store* store)
    : tray_(tray),
      targetWindows_(targetWindows ? std::move(targetWindows) : std::make_unique<Win32TargetWindows>()),
      store_(store), windowsFolder_(WindowsFolderUnderWow64()) {}

ActionRunner::~ActionRunner() = default;

bool ActionRunner::CanControl(HWND window) {
    return !tray_ ||
           elevatedNotice_.CanControl(reinterpret_cast<std::uintptr_t>(window), *targetWindows_, *tray_);
}

void ActionRunner::Refused(HWND window) {
    if (tray_ && GetLastError() == ERROR_ACCESS_DENIED)
        elevatedNotice_.Refused(reinterpret_cast<std::uintptr_t>(window), *targetWindows_, *tray_);
}

void ActionRunner::MaximizeOrRestoreActiveWindow() {
    HWND window = GetForegroundWindow();
    if (window == nullptr || (GetWindowLongW(window, GWL_STYLE) & WS_MAXIMIZEBOX) == 0 || !CanControl(window))
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    ShowWindow(window, placement.showCmd == SW_SHOWMAXIMIZED ? SW_RESTORE : SW_SHOWMAXIMIZED);
}

void ActionRunner::MinimizeActiveWindow() {
    HWND window = GetForegroundWindow();
    if (window == nullptr || (GetWindowLongW(window, GWL_STYLE) & WS_MINIMIZEBOX) == 0 || !CanControl(window))
        return;
    // Through the window's own system-command handling, as its minimize button would.
    if (!PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0))
        Refused(window);
}

void ActionRunner::CloseActiveWindow() {
    HWND window = GetForegroundWindow();
    if (window != nullptr && CanControl(window) && !PostMessageW(window, WM_CLOSE, 0, 0))
        Refused(window);
}

// COM is initialized (single-threaded, for the life of the process) and its
// libraries loaded the first time the dialog is asked for.
void ActionRunner::ShowExitWindowsDialog() {
    using ClassFromName = HRESULT(WINAPI*)(LPCOLESTR, LPCLSID);
    gui::InitializeComOnUse();
    CLSID shellClass{};
    CheckCom(gui::SystemFunction<ClassFromName>("ole32.dll", "CLSIDFromProgID")(L"Shell.Application",
                                                                                &shellClass));
    gui::ComPtr<IDispatch> shell;
    CheckCom(gui::CreateComObject(shellClass, IID_IDispatch, reinterpret_cast<void**>(shell.Put()),
                                  CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER));
    InvokeByName(*shell.Get(), L"ShutdownWindows");
}

void ActionRunner::SendKeystrokes(std::string keys) {
    const std::string text = DecodeLineBreakMarkers(std::move(keys));
    if (text.empty() || !CanControl(GetForegroundWindow()))
        return;
    ReleaseHeldKeys();
    SendKeysToFocus(text, false);
}

namespace {
bool IsMouseButton(int key) {
    return key == VK_LBUTTON || key == VK_RBUTTON || key == VK_MBUTTON || key == VK_XBUTTON1 ||
           key == VK_XBUTTON2;
}
} // namespace

void ActionRunner::ReleaseHeldKeys() {
    // The keys of the hotkey may still be down; they must not combine with
    // the typed ones. They were pressed in another program's window, so only
    // the physical state knows them (GetKeyState is this thread's view).
    for (int key = 1; key <= 254; ++key)
        if (!IsMouseButton(key) && GetAsyncKeyState(key) < 0)
            keybd_event(static_cast<BYTE>(key), static_cast<BYTE>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)),
                        KEYEVENTF_KEYUP, 0);
}

void ActionRunner::OpenWebsite(std::string address) {
    ShellExecuteW(nullptr, nullptr, Wide(WebsiteAddress(address)).c_str(), nullptr, nullptr, SW_SHOW);
}

void ActionRunner::PlaceTextInClipboard(std::string text) {
    // The memory is ready before the clipboard opens, so a failure leaves it
    // as it was. Only the Unicode form: the system makes the others from it.
    const std::wstring wide = Wide(text);
    gui::GlobalMemory memory = gui::GlobalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    if (!memory)
        throw Error(SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
    gui::ClipboardGuard clipboard(gui::App().Handle());
    if (!clipboard.Opened())
        throw Error("Cannot open clipboard");
    EmptyClipboard();
    // The clipboard is empty now: a failure here must not pass unnoticed.
    if (SetClipboardData(CF_UNICODETEXT, memory.Get()) == nullptr)
        throw Error("Cannot place the text in the clipboard");
    memory.Detach(); // the clipboard owns it now
}

void ActionRunner::PlaceFileContentInClipboard(std::string fileName) {
    PlaceTextInClipboard(
        ClipboardTextFromFileBytes(ReadExistingTextFile(FullPathOf(fileName)), SystemCodePage()));
}

// The grab comes first, so the capture window is never part of its own image.
// A save is told in the tray; a click on that shows the file in its folder.
// The marks' colour and width come from the settings, and a pick goes there.
void ActionRunner::CaptureScreen(bool activeWindowOnly) {
    if (!captureWindows_) {
        captureWindows_ = std::make_unique<CaptureWindowList>();
        captureWindows_->OnSaved = [this](const std::string& file) {
            if (tray_)
                tray_->ShowInformation(SavedTitle, SavedText(file), [file] { ShowInFolder(file); });
        };
        if (store_) {
            captureWindows_->Style = store_->ReadMarkStyle();
            captureWindows_->MarkStyleChanged =
                [this, written = captureWindows_->Style](const MarkStyle& style) mutable {
                    const MarkStyle before = std::exchange(written, style);
                    store_->WriteMarkStyle(style, before);
                };
        }
    }
    corvinade::CaptureScreen(activeWindowOnly, *captureWindows_, tray_);
}

void ActionRunner::Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                           int showCommand) {
    // A missing text stays a null pointer, as the shell tells "none" from "empty".
    auto wide = [](const char* text) {
        return text ? std::optional<std::wstring>(Wide(text)) : std::nullopt;
    };
    auto pointer = [](const std::optional<std::wstring>& text) { return text ? text->c_str() : nullptr; };
    // A program in System32 would be looked for in SysWOW64.
    const std::string program = file && !windowsFolder_.empty() ? SysnativePath(file, windowsFolder_) : "";
    const auto v = wide(verb), f = wide(program.empty() ? file : program.c_str()), p = wide(parameters),
               d = wide(directory);
    ShellExecuteW(nullptr, pointer(v), pointer(f), pointer(p), pointer(d), showCommand);
}

} // namespace corvinade
