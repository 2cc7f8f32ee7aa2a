// The data module's operations for the tray overview panel (taskbar and
// cursor tests) and the update check (version numbers).
#include "app/datau.h"

#include "core/Wide_win.h"
#include "gui/SystemLibrary.h"

#include <shellapi.h>

#include <vector>

#include "app/PanelLayout.h"
#include "gui/Form.h"
#include "update/UpdateCheck.h"

namespace corvinade {

namespace {

PanelRect ToPanelRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

void TData::GetTaskbarPos() {
    APPBARDATA data = {};
    data.cbSize = sizeof data; // 36 bytes
    const bool answered = ::SHAppBarMessage(ABM_GETTASKBARPOS, &data) != 0;
    RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const PanelRect screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    std::optional<Taskbar> answer;
    if (answered)
        answer = Taskbar{static_cast<int>(data.uEdge), ToPanelRect(data.rc)};
    // One row of tray icons: a small icon with 2 pixels around it.
    const int iconRow = ::GetSystemMetrics(SM_CYSMICON) + 4;
    const Taskbar taskbar = EffectiveTaskbar(answer, screen, ToPanelRect(work), iconRow);
    TaskbarEdge = taskbar.edge;
    TaskbarRect = {taskbar.rect.left, taskbar.rect.top, taskbar.rect.right, taskbar.rect.bottom};
}

bool TData::IsCursorOverForm(const gui::Form& form) const {
    POINT p = {};
    if (!form.Visible() || !::GetCursorPos(&p) || !::ScreenToClient(form.Handle(), &p))
        return false;
    const SIZE size = form.ClientSize();
    return CursorOverClient(p.x, p.y, size.cx, size.cy);
}

bool TData::IsCursorOverTaskbar() const {
    POINT p = {};
    return ::GetCursorPos(&p) && StrictlyInside(ToPanelRect(TaskbarRect), p.x, p.y);
}

int TData::RunningVersionNumber() const {
    return GetFileVersionNumber(ModuleFileName());
}

int TData::GetFileVersionNumber(const std::string& fileName) const {
    DWORD handle = 0;
    using InfoSize = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using Info = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using Query = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    const auto getInfoSize = gui::SystemFunction<InfoSize>("version.dll", "GetFileVersionInfoSizeW");
    const auto getInfo = gui::SystemFunction<Info>("version.dll", "GetFileVersionInfoW");
    const auto query = gui::SystemFunction<Query>("version.dll", "VerQueryValueW");
    const std::wstring file = Wide(fileName);
    const DWORD size = getInfoSize(file.c_str(), &handle);
    if (size == 0)
        return 0;
    std::vector<char> info(size);
    if (!getInfo(file.c_str(), 0, size, info.data()))
        return 0;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!query(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
        return 0;
    return VersionNumber({HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                          HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)});
}

std::string TData::VersionNumberToText(int number) const {
    return corvinade::VersionNumberToText(number);
}

} // namespace corvinade
