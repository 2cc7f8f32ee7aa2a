// hotkey_bench.exe: the time from a hotkey to its action in corvinade.exe
// (WIN+C puts a text in the clipboard), first with the program idle, then
// while its update check waits on an endpoint that takes the connection
// and never answers. scripts/bench.sh runs it; not a test.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Harness.h"
#include "TrayHarness.h"

using namespace corvinade::test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Presses = 15;

// Milliseconds from each press to the clipboard's change; nothing when one
// did not come.
std::vector<double> PressRound() {
    std::vector<double> times;
    for (int i = 0; i < Presses; ++i) {
        const DWORD before = GetClipboardSequenceNumber();
        const auto start = Clock::now();
        PressHotkey('C', ModWin);
        while (GetClipboardSequenceNumber() == before) {
            if (Clock::now() - start > std::chrono::seconds(10))
                return {};
            Sleep(1);
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        Sleep(50); // the hotkey's keys up and handled before the next
    }
    return times;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    UpdateEndpoint endpoint(0, false);
    if (!endpoint.Started()) {
        std::printf("no endpoint\n");
        return 1;
    }
    SetSettingText("FirstUse", "0");
    SetSettingText("UpdateBaseAddress", endpoint.BaseAddress());
    WriteHotkeysIni({{true, 'C', ModWin, "placeinclipboard", "hotkey answered", ""}});
    Process corvinade = Process::Start(CorvinadeExe());
    if (!WaitForHotkeyRegistration('C', ModWin)) {
        std::printf("no hotkey\n");
        return 1;
    }
    const std::vector<double> idle = PressRound();

    // "Check for updates" on the panel, 30 px into the link that ends at x 571.
    HWND panel = FindPanel(corvinade.Id());
    for (int attempt = 0; attempt < 5 && !IsWindowVisible(panel); ++attempt) {
        ClickTrayIcon();
        WaitFor([&] { return IsWindowVisible(panel) != FALSE; }, Milliseconds{4000});
    }
    RECT r = {};
    GetWindowRect(panel, &r);
    MovePointer(r.left + 571 - 30, r.bottom - 21 + 6);
    Xdotool("click 1");
    if (!WaitFor([&] { return !endpoint.Requests().empty(); }, Milliseconds{5000})) {
        std::printf("the check did not reach the endpoint\n");
        return 1;
    }
    const auto checkStarted = Clock::now();
    const std::vector<double> hanging = PressRound();
    const bool withinCheck = Clock::now() - checkStarted < std::chrono::seconds(15);
    if (idle.empty() || hanging.empty()) {
        std::printf("a hotkey was not answered within 10 s\n");
        return 1;
    }
    std::printf("hotkey to action, idle: median %.1f ms (min %.1f, max %.1f, %d presses)\n", Median(idle),
                *std::min_element(idle.begin(), idle.end()), *std::max_element(idle.begin(), idle.end()),
                Presses);
    std::printf("hotkey to action, endpoint hanging: median %.1f ms (min %.1f, max %.1f, %d presses%s)\n",
                Median(hanging), *std::min_element(hanging.begin(), hanging.end()),
                *std::max_element(hanging.begin(), hanging.end()), Presses,
                withinCheck ? ", all while the check waited" : ", some after the check's time limit");
    return 0;
}
