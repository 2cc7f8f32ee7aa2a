// saver.exe: saves hotkeys.ini with the program's own save, over and over,
// for the end-to-end test that kills it in the middle of a save.
//   saver.exe texts FOLDER      writes the two contents it saves, a.txt and b.txt
//   saver.exe loop FILE EVENT   sets the named event, then saves the two lists
//                               into FILE by turns until it is ended
#include <windows.h>

#include <string>

#include "core/Hotkeys.h"

namespace {

using namespace corvinade;

// Two lists of tens of kilobytes, so that a kill often lands inside a write.
void Fill(THotkeyList& list, int count, char letter) {
    for (int i = 0; i < count; ++i)
        list.Add(i % 2 == 0, 0x41 + i % 26, i % 16, THotkeyAction::SendKeystrokes,
                 std::string(1000 + i, letter), std::to_string(i));
}

bool WriteWhole(const std::string& name, const std::string& text) {
    HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    return CloseHandle(file) && ok;
}

} // namespace

int main(int argc, char** argv) {
    UnregisteredPort port;
    THotkeyList a(port), b(port);
    Fill(a, 40, 'a');
    Fill(b, 60, 'b');
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "texts" && argc == 3) {
        const std::string folder = argv[2];
        return WriteWhole(folder + "\\a.txt", a.ToText()) && WriteWhole(folder + "\\b.txt", b.ToText()) ? 0
                                                                                                        : 1;
    }
    if (mode != "loop" || argc != 4)
        return 2;
    HANDLE running = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (running == nullptr)
        return 3;
    SetEvent(running);
    for (unsigned round = 0;; ++round) {
        try {
            (round % 2 ? b : a).SaveToFile(argv[2]);
        } catch (...) {
            return 4; // nothing should stop a save here
        }
    }
}
