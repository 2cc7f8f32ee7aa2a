// ProgramCommands: the command line's two ends. A start with a command
// ("corvinade.exe /pause") finds the running program (the mutex every
// running copy holds, and its application window) and hands the command
// over in a WM_COPYDATA message, then tells the user on the console it was
// started from, when there is one. The running program takes the command
// and acts on it from its message loop, after the sender has its answer.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/CommandLine.h"

namespace corvinade {

// Held by every running copy ("PelmorraCorvinade"; the installer asks for it too).
extern const wchar_t* const ProgramMutexName;

// The program's arguments, without its own name.
std::vector<std::string> ProgramArguments();

// The application window of a running copy, or null.
HWND FindRunningProgram();

// True when the running program took the command.
bool DeliverCommand(HWND program, const ProgramCommand& command);

// A line for the user: on the console the program was started from (or
// where its output goes), else, when `boxWithoutConsole`, in a message box.
void TellUser(const std::string& text, bool boxWithoutConsole);

// The running program's end: takes commands sent to the application
// window and runs them through `run` from the message loop.
class CommandReceiver {
public:
    explicit CommandReceiver(std::function<void(const ProgramCommand&)> run);
    ~CommandReceiver();
    CommandReceiver(const CommandReceiver&) = delete;
    CommandReceiver& operator=(const CommandReceiver&) = delete;

private:
    bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    std::function<void(const ProgramCommand&)> run_;
    int hook_ = 0;
};

} // namespace corvinade
