// The window in front; see ForegroundWatch.h.
#include "app/ForegroundWatch.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/Handles_win.h"
#include "core/Wide_win.h"
#include "gui/Guarded.h"

namespace corvinade {

namespace {

// A game may go full screen a moment after it came to the front.
constexpr std::uint32_t FullScreenCheckMs = 2000;
// Where the system raises no foreground events.
constexpr std::uint32_t PollMs = 250;

// The hook's callback carries no pointer of ours: the live watches by hook.
std::vector<std::pair<HWINEVENTHOOK, ForegroundWatch*>>& Watches() {
    static std::vector<std::pair<HWINEVENTHOOK, ForegroundWatch*>> watches;
    return watches;
}

bool IsDesktopOrShell(HWND window) {
    if (window == ::GetDesktopWindow() || window == ::GetShellWindow())
        return true;
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring_view(name) == L"Progman" || std::wstring_view(name) == L"WorkerW";
}

// The client area, not the frame: a maximized window's caption keeps its
// client area off the monitor's top edge, even where the taskbar hides.
bool CoversItsMonitor(HWND window) {
    if (!window || !::IsWindowVisible(window) || ::IsIconic(window) || IsDesktopOrShell(window))
        return false;
    const HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONULL);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT client = {};
    if (!monitor || !::GetMonitorInfoW(monitor, &info) || !::GetClientRect(window, &client))
        return false;
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    ::MapWindowPoints(window, nullptr, corners, 2);
    const RECT& m = info.rcMonitor;
    return corners[0].x <= m.left && corners[0].y <= m.top && corners[1].x >= m.right &&
           corners[1].y >= m.bottom;
}

} // namespace

std::string ProgramOfWindow(HWND window) {
    DWORD process = 0;
    if (!window || !::GetWindowThreadProcessId(window, &process) || process == 0)
        return {};
    UniqueHandle handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    if (!handle)
        return {};
    wchar_t path[1024] = {};
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!::QueryFullProcessImageNameW(handle.Get(), 0, path, &size))
        return {};
    return Utf8(std::wstring(path, size));
}

namespace {

// A window a user sees as a program's: visible, unowned, not a tool window.
BOOL CALLBACK AddProgram(HWND window, LPARAM programs) {
    if (!::IsWindowVisible(window) || ::GetWindow(window, GW_OWNER) ||
        (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) || ::GetWindowTextLengthW(window) == 0)
        return TRUE;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId())
        return TRUE;
    std::string path = ProgramOfWindow(window);
    path.erase(0, path.find_last_of("\\/") + 1);
    if (!path.empty())
        reinterpret_cast<std::vector<std::string>*>(programs)->push_back(std::move(path));
    return TRUE;
}

std::string Lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

std::vector<std::string> ProgramsWithWindows() {
    std::vector<std::string> programs;
    ::EnumWindows(AddProgram, reinterpret_cast<LPARAM>(&programs));
    std::ranges::sort(programs,
                      [](const std::string& a, const std::string& b) { return Lowered(a) < Lowered(b); });
    const auto repeated = std::ranges::unique(
        programs, [](const std::string& a, const std::string& b) { return Lowered(a) == Lowered(b); });
    programs.erase(repeated.begin(), repeated.end());
    return programs;
}

ForegroundWatch::ForegroundWatch(std::function<void()> changed)
    : changed_(std::move(changed)), timer_(PollMs, [this](TSimpleTimer&) { Tick(); }) {}

ForegroundWatch::~ForegroundWatch() {
    SetWatching(false, {});
}

void ForegroundWatch::SetWatching(bool on, Reads reads) {
    // What was not read of the window in front is read now.
    const bool readsMore = (reads.program && !reads_.program) || (reads.fullScreen && !reads_.fullScreen);
    reads_ = reads;
    if (on != Watching()) {
        if (on) {
            hook_ = ::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, EventProc, 0,
                                      0, WINEVENT_OUTOFCONTEXT);
            if (hook_)
                Watches().emplace_back(hook_, this);
        } else {
            ::UnhookWinEvent(hook_);
            std::erase_if(Watches(), [this](const auto& w) { return w.second == this; });
            hook_ = nullptr;
            front_ = {};
        }
    }
    ArmTimer();
    if (!Watching())
        return;
    if (readsMore)
        front_.window = nullptr;
    Refresh();
}

void ForegroundWatch::ArmTimer() {
    timer_.SetPeriodMs(eventsArrive_ ? FullScreenCheckMs : PollMs);
    timer_.SetRunning(Watching() && (!eventsArrive_ || reads_.fullScreen));
}

// The window's process is read only when another window is in front.
void ForegroundWatch::Refresh() {
    ForegroundWindow now;
    now.window = ::GetForegroundWindow();
    if (now.window && now.window == front_.window) {
        now.ours = front_.ours;
        now.program = front_.program;
    } else if (now.window) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(now.window, &process);
        now.ours = process == ::GetCurrentProcessId();
        if (reads_.program)
            now.program = ProgramOfWindow(now.window);
    }
    now.fullScreen = reads_.fullScreen && CoversItsMonitor(now.window);
    if (now == front_)
        return;
    front_ = std::move(now);
    if (changed_)
        changed_();
}

void ForegroundWatch::Tick() {
    if (!Watching())
        return;
    const HWND now = ::GetForegroundWindow();
    if (now != front_.window || (reads_.fullScreen && CoversItsMonitor(now) != front_.fullScreen))
        Refresh();
}

// Called by the system from our message loop; no exception may leave it.
void CALLBACK ForegroundWatch::EventProc(HWINEVENTHOOK hook, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    gui::Guarded([hook] {
        for (const auto& [h, watch] : Watches())
            if (h == hook) {
                if (!watch->eventsArrive_) {
                    watch->eventsArrive_ = true;
                    watch->ArmTimer();
                }
                watch->Refresh();
                return;
            }
    });
}

} // namespace corvinade
