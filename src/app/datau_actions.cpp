// The window, shell and clipboard actions of the data module. Each is
// one-shot: it posts its request or fills the clipboard and returns; an error
// ends the action and reaches the application's error display.
#include "app/datau.h"

#include <oleauto.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "app/ActionText.h"
#include "app/KeySender_win.h"
#include "core/Errors.h"
#include "core/SystemText_win.h"
#include "core/TextEncoding.h"
#include "core/TextFile.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"

namespace corvinade {

namespace {

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

std::string FullPathOf(const std::string& name) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n =
        GetFullPathNameW(Wide(name).c_str(), static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
    return n > 0 && n < std::size(buffer) ? Utf8(buffer, static_cast<int>(n)) : name;
}

} // namespace

void TData::MaximizeOrRestoreActiveWindow() {
    HWND window = GetForegroundWindow();
    if (window == nullptr || (GetWindowLongW(window, GWL_STYLE) & WS_MAXIMIZEBOX) == 0)
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    ShowWindow(window, placement.showCmd == SW_SHOWMAXIMIZED ? SW_RESTORE : SW_SHOWMAXIMIZED);
}

void TData::MinimizeActiveWindow() {
    HWND window = GetForegroundWindow();
    if (window == nullptr || (GetWindowLongW(window, GWL_STYLE) & WS_MINIMIZEBOX) == 0)
        return;
    // Through the window's own system-command handling, as its minimize button would.
    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TData::CloseActiveWindow() {
    PostMessageW(GetForegroundWindow(), WM_CLOSE, 0, 0);
}

// COM is initialized (single-threaded, for the life of the process) and its
// libraries loaded the first time the dialog is asked for.
void TData::ShowExitWindowsDialog() {
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

void TData::SendKeystrokes(std::string keys) {
    const std::string text = DecodeLineBreakMarkers(std::move(keys));
    if (text.empty())
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

void TData::ReleaseHeldKeys() {
    // The keys of the hotkey may still be down; they must not combine with
    // the typed ones. They were pressed in another program's window, so only
    // the physical state knows them (GetKeyState is this thread's view).
    for (int key = 1; key <= 254; ++key)
        if (!IsMouseButton(key) && GetAsyncKeyState(key) < 0)
            keybd_event(static_cast<BYTE>(key), static_cast<BYTE>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)),
                        KEYEVENTF_KEYUP, 0);
}

void TData::OpenWebsite(std::string address) {
    ShellExecuteW(nullptr, nullptr, Wide(WebsiteAddress(address)).c_str(), nullptr, nullptr, SW_SHOW);
}

void TData::PlaceTextInClipboard(std::string text) {
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

void TData::PlaceFileContentInClipboard(std::string fileName) {
    PlaceTextInClipboard(
        ClipboardTextFromFileBytes(ReadExistingTextFile(FullPathOf(fileName)), SystemCodePage()));
}

} // namespace corvinade
