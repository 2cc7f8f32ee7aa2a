// The settings tests' helpers; see SettingsHarness.h.
#include "SettingsHarness.h"

#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TrayHarness.h"

namespace corvinade::test {

namespace {

bool SameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

struct Descendants {
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    reinterpret_cast<Descendants*>(param)->found.push_back(window);
    return TRUE;
}

} // namespace

bool InView(HWND window) {
    RECT r = {}, client = {}, both = {};
    GetWindowRect(window, &r);
    GetClientRect(GetParent(window), &client);
    MapWindowPoints(GetParent(window), nullptr, reinterpret_cast<POINT*>(&client), 2);
    return IntersectRect(&both, &r, &client) && EqualRect(&both, &r);
}

std::vector<HWND> AllDescendants(HWND parent) {
    Descendants all;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
    return all.found;
}

void TypeText(const std::string& text) {
    for (wchar_t unit : WideOf(text))
        for (bool up : {false, true}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = unit;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            SendInput(1, &input, sizeof input);
        }
}

HWND WaitForSettingsWindow(DWORD processId, Milliseconds timeout) {
    return WaitForWindow({.title = "Settings", .processId = processId, .visibleOnly = true}, timeout);
}

std::vector<HWND> SettingsWindows(DWORD processId) {
    return FindTopWindows({.title = "Settings", .processId = processId, .visibleOnly = true});
}

std::vector<HWND> HotkeyRows(HWND settings) {
    std::vector<HWND> rows;
    for (HWND w : AllDescendants(settings))
        if (IsWindowVisible(w) && SameNoCase(WindowClass(w), "CorvinadePanel") &&
            FindDescendant(w, "Button", "&Edit") && GetParent(FindDescendant(w, "Button", "&Edit")) == w)
            rows.push_back(w);
    std::sort(rows.begin(), rows.end(), [](HWND a, HWND b) {
        RECT ra = {}, rb = {};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.top < rb.top;
    });
    return rows;
}

std::vector<std::string> RowCaptions(HWND settings) {
    std::vector<std::string> captions;
    for (HWND row : HotkeyRows(settings))
        captions.push_back(WindowText(row));
    return captions;
}

HWND FindDescendant(HWND parent, const std::string& className, const std::string& caption) {
    for (HWND w : AllDescendants(parent))
        if (SameNoCase(WindowClass(w), className) && (caption.empty() || WindowText(w) == caption))
            return w;
    return nullptr;
}

bool Handled(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(DefaultTimeout.count()),
                               &result) != 0;
}

bool PostClick(HWND button) {
    return ExpectPressable(button, "\"" + WindowText(button) + "\" (" + WindowClass(button) + ")") &&
           PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

bool IsChecked(HWND checkBox) {
    return SendMessageA(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool ChooseListItem(HWND combo, const std::string& text) {
    if (!ExpectPressable(combo, "the list for \"" + text + "\""))
        return false;
    const LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR)
        return false;
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    return true;
}

bool ClickWindow(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    // From its corner to its middle: Wine sees the pointer arrive even when
    // it was there before.
    return MovePointer(r.left + 1, r.top + 1) &&
           MovePointer((r.left + r.right) / 2, (r.top + r.bottom) / 2) && Xdotool("click 1");
}

std::string FillNewHotkeyWizard(HWND wizard, UINT key, const std::string& action) {
    HWND field = FindDescendant(wizard, "Edit");
    if (!BringToForeground(wizard) || !ClickWindow(field))
        return "the key field could not be clicked";
    SendKeyEvent(key, false);
    SendKeyEvent(key, true);
    if (!WaitFor([&] { return WindowText(field) == std::string(1, static_cast<char>(key)); }))
        return "the key field did not take the key";
    PostClick(FindDescendant(wizard, "Button", "&WIN"));
    ClickButton(wizard, "&Next");
    if (!WaitFor([&] { return FindButton(wizard, "&Finish") != nullptr; }))
        return "no second page";
    if (!ChooseListItem(FindDescendant(wizard, "ComboBox"), action))
        return "no action \"" + action + "\"";
    ClickButton(wizard, "&Finish");
    return {};
}

HWND WaitForMessageBoxOf(DWORD processId, Milliseconds timeout) {
    return WaitForWindow({.className = "#32770", .processId = processId, .visibleOnly = true}, timeout);
}

std::string AnswerMessageBox(DWORD processId, const std::string& button) {
    HWND box = WaitForMessageBoxOf(processId);
    if (!box)
        return "(no message box)";
    const std::string text = MessageBoxText(box);
    ClickButton(box, button);
    WaitFor([&] { return !IsWindow(box); });
    return text;
}

std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns) {
    std::vector<std::vector<std::string>> rows;
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    const UniqueHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process)
        return rows;
    constexpr int TextRoom = 1024;
    char* remote = static_cast<char*>(
        VirtualAllocEx(process.Get(), nullptr, sizeof(LVITEMW) + TextRoom * 2, MEM_COMMIT, PAGE_READWRITE));
    if (!remote)
        return rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (int column = 0; column < columns; ++column) {
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof item);
            item.cchTextMax = TextRoom;
            WriteProcessMemory(process.Get(), remote, &item, sizeof item, nullptr);
            const auto length = static_cast<std::size_t>(SendMessageW(
                list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote)));
            std::wstring text(length, L'\0');
            ReadProcessMemory(process.Get(), remote + sizeof item, text.data(), length * 2, nullptr);
            cells.push_back(Utf8Of(text));
        }
    }
    VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
    return rows;
}

std::optional<std::string> FileContent(const std::string& path) {
    std::ifstream in(std::filesystem::path(WideOf(path)), std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<std::string> RegistryText(const std::string& keyPath, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, WideOf(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof data[0], type = 0;
    const LONG status =
        RegQueryValueExW(key, WideOf(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    return Utf8Of(data);
}

std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

std::optional<std::string> SettingText(const std::string& name) {
    return RegistryText("Software\\Pelmorra\\Corvinade", name);
}

std::optional<std::string> LogonEntry() {
    return RegistryText("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Corvinade");
}

} // namespace corvinade::test
