// foreground_bench.exe: what a change of the program in front costs with
// 100 hotkeys that have a program rule, in the program's own code under
// Wine: the window in front and its program read (ForegroundWatch), the
// program folded once, and each hotkey's rule asked (LiveHolds), its
// combination registered or unregistered where the answer changed
// (RegisterHotKey on a window of this process). Two cases: no answer
// changes (the rules name other programs), and every answer changes (the
// rules name Notepad, which comes and goes from the front). scripts/bench.sh
// runs it; not a test.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Harness.h"
#include "app/ForegroundWatch.h"
#include "core/HotkeyHolds.h"
#include "core/Hotkeys_win.h"
#include "gui/Application.h"

using namespace corvinade;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Hotkeys = 100, Changes = 60;

void Print(const char* what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::printf("%s: min %.3f ms, median %.3f ms, max %.3f ms\n", what, values.front(),
                values[values.size() / 2], values.back());
}

// Alternates the window in front between Notepad and a window of ours and
// times the handling of each change; every change must have changed the
// count of registered hotkeys as `flips` says.
void Measure(gui::Application& app, HWND notepad, HWND ours, const std::string& onlyIn, bool flips) {
    Win32HotkeyPort port(app.Handle());
    THotkeyList live(port);
    const int modifiers[] = {MOD_CONTROL | MOD_ALT, MOD_CONTROL | MOD_SHIFT, MOD_ALT | MOD_SHIFT,
                             MOD_CONTROL | MOD_ALT | MOD_SHIFT};
    for (int i = 0; i < Hotkeys; ++i) {
        THotKeyData d{true, 'A' + i % 26, modifiers[i / 26], THotkeyAction::Minimize, "", ""};
        d.OnlyIn = onlyIn;
        live.Add(std::move(d));
    }
    LiveHolds holds;
    std::string frontPath;
    FrontProgram front;
    ForegroundWatch watch([&] {
        if (watch.Front().program != frontPath) {
            frontPath = watch.Front().program;
            front = FrontProgram(frontPath);
        }
        holds.Apply(live, {.paused = false, .front = front});
    });
    holds.RegisterAll(live, {});
    watch.SetWatching(false, {.fullScreen = false, .program = true}); // read as the program reads it
    std::vector<double> times;
    int wrong = 0;
    for (int change = 0; change < Changes; ++change) {
        const HWND target = change % 2 ? ours : notepad;
        if (!test::BringToForeground(target)) {
            std::printf("the window did not come to the front\n");
            continue;
        }
        const auto start = Clock::now();
        watch.Refresh();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        int registered = 0;
        for (int i = 0; i < live.Count(); ++i)
            registered += live.Items(i)->State() == TRegistrationState::Registered;
        if (registered != (flips && target == notepad ? Hotkeys : 0))
            ++wrong;
    }
    Print(flips ? "foreground change, 100 rules, every answer changes"
                : "foreground change, 100 rules, no answer changes",
          times);
    if (wrong)
        std::printf("  %d changes left the registrations wrong\n", wrong);
}

} // namespace

int main() {
    gui::Application app(GetModuleHandleA(nullptr));
    test::Process notepad = test::Process::Start("notepad.exe");
    WaitForInputIdle(notepad.Handle(), 20000);
    const HWND notepadWindow = test::WaitForWindow({"Notepad", "", notepad.Id(), true});
    test::TestWindow ours(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    if (!notepadWindow) {
        std::printf("no Notepad window\n");
        return 1;
    }
    // Of that, reading the program in front: a process handle and its image name.
    std::vector<double> reads;
    for (int i = 0; i < Changes; ++i) {
        const auto start = Clock::now();
        ProgramOfWindow(notepadWindow);
        reads.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    Print("reading the program of a window", reads);
    Measure(app, notepadWindow, ours.Handle(), "winword.exe;excel.exe;C:\\Tools\\notepad.exe", false);
    Measure(app, notepadWindow, ours.Handle(), "winword.exe;excel.exe;notepad.exe", true);
    return 0;
}
