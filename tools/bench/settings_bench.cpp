// settings_bench.exe: the settings window with 10, 200 and 1,000 hotkeys, in
// the program's own code under Wine: at each, the time from creating the
// window to having it shown and painted and the number of windows it holds;
// at the longest, the time of one scroll step with its repaint; and an import
// of 10,000 hotkeys, step by step.
// scripts/bench-settings.sh runs it; not a test.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "Harness.h"
#include "app/ActionRunner.h"
#include "app/HotkeyService.h"
#include "app/Store.h"
#include "core/HotkeyTransfer.h"
#include "gui/Application.h"
#include "ui/ImportDialog.h"
#include "ui/SettingsWindow.h"
#include "ui/UpdateFlow.h"

using namespace corvinade;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Sizes[] = {10, 200, 1000};
constexpr int Rounds = 5, ScrollSteps = 40;

double Ms(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

BOOL CALLBACK CountChildren(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountChildren, count);
    return TRUE;
}

int ThreadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTopWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

void Paint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Print(const char* what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::printf("%s: min %.1f ms, median %.1f ms, max %.1f ms\n", what, values.front(),
                values[values.size() / 2], values.back());
}

void WriteHotkeys(int count) {
    std::vector<test::HotkeyEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({i % 3 != 0, 'A' + i % 26, 1 + i % 15, i % 2 ? "openfile" : "sendkeystrokes",
                           "parameter " + std::to_string(i), i % 2 ? "additional" : ""});
    test::WriteHotkeysIni(entries);
}

// The parts the settings window uses, as the program makes them.
struct Parts {
    Store store;
    ActionRunner actions;
    HotkeyService hotkeys{store, actions, actions};
    UpdateCheckFlow updateCheck;
};

// Opens, shows and paints the window `Rounds` times; with `scroll`, scrolls
// each time too.
void Measure(gui::Application& app, int hotkeys, bool scroll) {
    WriteHotkeys(hotkeys);
    Parts parts;
    const int before = ThreadWindows();
    std::vector<double> open, steps;
    int windows = 0, rows = 0;
    for (int round = 0; round < Rounds; ++round) {
        const auto start = Clock::now();
        auto* form = new SettingsWindow(app.Handle(), parts.hotkeys, parts.updateCheck);
        const double made = Ms(start);
        form->Show();
        const double shown = Ms(start);
        Paint(form->Handle());
        open.push_back(Ms(start));
        std::printf("  %d hotkeys, round %d: made %.1f, shown %.1f, painted %.1f ms\n", hotkeys, round, made,
                    shown, open.back());
        windows = ThreadWindows() - before;
        rows = static_cast<int>(form->HotkeyRows().size());
        gui::VirtualList& list = form->lstHotkeys;
        for (int step = 0; scroll && step < ScrollSteps; ++step) {
            const auto at = Clock::now();
            list.ScrollTo(list.Position() + 47);
            RedrawWindow(list.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            steps.push_back(Ms(at));
        }
        delete form;
        app.ProcessMessages();
    }
    std::printf("settings window with %d hotkeys (%d rows with windows)\n", hotkeys, rows);
    Print(("  " + std::to_string(hotkeys) + " hotkeys: create, show and paint").c_str(), open);
    std::printf("  %d hotkeys: windows it holds: %d (process cap 10000)\n", hotkeys, windows);
    if (scroll)
        Print(("  " + std::to_string(hotkeys) + " hotkeys: one scroll step (47 px) with its repaint").c_str(),
              steps);
}

// An import of a file of 10,000 hotkeys into a list of 10, step by step as
// the settings window's Import... takes it: the file read, the preview, the
// dialog that shows it (made, shown, painted), the merge, and the commit
// that saves and registers the list.
void MeasureImport(gui::Application& app) {
    constexpr int FileHotkeys = 10000;
    WriteHotkeys(10);
    Parts parts;
    std::vector<THotKeyData> definitions;
    for (int i = 0; i < FileHotkeys; ++i)
        definitions.push_back({.Active = true,
                               .Key = 'A' + i % 26,
                               .Shift = 2 + (i % 2) * 8,
                               .Func = THotkeyAction::OpenWebsite,
                               .Params = "example.org/" + std::to_string(i)});
    const std::string file = "C:\\import-bench.ini";
    WriteHotkeyFile(file, definitions);

    auto start = Clock::now();
    const THotkeyFileContent content = ReadHotkeyFile(file);
    const double read = Ms(start);
    start = Clock::now();
    THotkeyDraft draft = parts.hotkeys.Document().Draft();
    const TImportPreview preview = PreviewImport(draft.Entries, content);
    const double previewed = Ms(start);
    start = Clock::now();
    {
        ImportDialog dialog(app.Handle(), parts.hotkeys, file, preview);
        dialog.Show();
        Paint(dialog.Handle());
    }
    app.ProcessMessages();
    const double shown = Ms(start);
    start = Clock::now();
    const TImportCount count = MergeImport(draft, preview.Allowed(), TImportMode::Add);
    const double merged = Ms(start);
    start = Clock::now();
    parts.hotkeys.Commit(std::move(draft));
    const double committed = Ms(start);
    std::printf(
        "import of %d hotkeys into 10 (%d added): read %.1f ms, preview %.1f ms, dialog %.1f ms, merge "
        "%.1f ms, commit %.1f ms\n",
        FileHotkeys, count.Added, read, previewed, shown, merged, committed);
    std::printf("  import of %d hotkeys, all steps: %.1f ms\n", FileHotkeys,
                read + previewed + shown + merged + committed);
    DeleteFileA(file.c_str());
}

} // namespace

int main() {
    gui::Application app(GetModuleHandleA(nullptr));
    app.SetTitle("Corvinade");
    test::SetSettingText("FirstUse", "0");
    // What the first window of a process pays once (classes, fonts, the
    // common controls) goes to no figure.
    {
        WriteHotkeys(1);
        Parts parts;
        SettingsWindow warmUp(app.Handle(), parts.hotkeys, parts.updateCheck);
        warmUp.Show();
        Paint(warmUp.Handle());
    }
    app.ProcessMessages();
    for (int hotkeys : Sizes)
        Measure(app, hotkeys, hotkeys == Sizes[std::size(Sizes) - 1]);
    MeasureImport(app);
    return 0;
}
