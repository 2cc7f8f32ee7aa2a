// unixrun.exe: runs a Linux shell script from inside Wine and waits until it
// has written its done file, so that a script run through wine-run.sh keeps
// the run's prefix and display until it ends (Wine does not wait for Unix
// children itself).
//
//   unixrun.exe SCRIPT DONEFILE     (both Linux paths)
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    std::string command = std::string("/bin/bash ") + argv[1] + " " + argv[2];
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return 3;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::string done = std::string("Z:") + argv[2];
    for (char& c : done)
        if (c == '/')
            c = '\\';
    for (int i = 0; i < 30000; ++i) { // at most 300 s
        if (GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES)
            return 0;
        Sleep(10);
    }
    return 1;
}
