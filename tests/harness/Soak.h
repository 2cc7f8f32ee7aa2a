// The long run: presses hotkeys of every kind of action at a running
// corvinade.exe and reads, before and after, what a leak would make grow:
// private memory, windows, GDI objects and kernel handles.
// scripts/soak.sh runs it 10,000 times; an end-to-end case runs it briefly.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace corvinade::test {

struct SoakFigures {
    double privateMb = 0;
    int windows = 0; // top-level and child windows of the process
    // Held by the program's handle wrappers, -1 unknown: GetGuiResources
    // and GetProcessHandleCount are not real under Wine.
    int gdiObjects = -1;
    int kernelHandles = -1;
    int systemHandles = -1; // GetProcessHandleCount, where it is real
};

struct SoakOptions {
    int presses = 10000;
    int captures = 200;                               // of the presses, capture windows opened and closed
    std::function<void(const std::string&)> progress; // a line now and then
};

struct SoakResult {
    SoakFigures start, end;
    int presses = 0;     // presses done, each with its effect seen
    std::string failure; // empty when every press had its effect
};

// Needs a prepared profile (FirstUse off) and a Wine desktop; starts
// corvinade.exe and Notepad itself and ends them afterwards.
SoakResult RunSoak(const SoakOptions& options);

// What a running program holds now.
SoakFigures FiguresOf(HANDLE process, DWORD processId);

// True when GetProcessHandleCount follows handles opened and closed by this
// process (Wine's answer was once a constant).
bool HandleCountIsReal();

std::string FiguresText(const SoakFigures& figures);

} // namespace corvinade::test
