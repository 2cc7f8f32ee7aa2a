// The random walk: user steps chosen from a seed among those the program's
// visible windows offer (the tray, the settings window and its rows, the
// new-hotkey wizard, the setup guide, message boxes, the import and export
// dialogs, a capture window, Esc, Exit), each followed by checks: the
// program answers, its topmost window takes input, hotkeys.ini holds what the
// settings window shows, and Wine reported no heap error or page fault.
// scripts/walk.sh runs it long; an end-to-end case runs 200 steps.
#pragma once

#include <functional>
#include <map>
#include <string>

namespace corvinade::test {

struct WalkOptions {
    int steps = 10000;
    unsigned seed = 1;
    std::function<void(const std::string&)> progress; // a line every 100 steps
};

struct WalkResult {
    int steps = 0;                    // steps done, each checked
    int starts = 0;                   // starts of the program (one more after each Exit)
    std::map<std::string, int> taken; // how often each kind of step was taken, none too
    // Empty when every check held; else what failed, with the seed, the
    // step's number and the last steps, to replay it.
    std::string failure;
};

// Needs a Wine desktop (wine-run.sh); writes hotkeys.ini and the settings
// and starts corvinade.exe itself. Wine's output is looked at after every
// step when CORVINADE_WINE_LOG names the file that receives it.
WalkResult RunWalk(const WalkOptions& options);

} // namespace corvinade::test
