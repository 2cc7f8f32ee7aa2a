// soak.exe PRESSES CAPTURES: the long run against corvinade.exe
// (CORVINADE_EXE), with its figures at the start, every 1,000 presses and at
// the end. Exit code 0 when every press had its effect.
#include <cstdio>
#include <cstdlib>

#include "Harness.h"
#include "Soak.h"

using namespace corvinade::test;

int main(int argc, char** argv) {
    SoakOptions options;
    if (argc > 1)
        options.presses = std::atoi(argv[1]);
    if (argc > 2)
        options.captures = std::atoi(argv[2]);
    options.progress = [](const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    };
    SetSettingText("FirstUse", "0");
    std::printf("kernel handle count real: %s\n", HandleCountIsReal() ? "yes" : "no");
    const SoakResult result = RunSoak(options);
    std::printf("start: %s\n", FiguresText(result.start).c_str());
    std::printf("end:   %s\n", FiguresText(result.end).c_str());
    std::printf("%d presses (%d capture windows among them)\n", result.presses, options.captures);
    if (!result.failure.empty()) {
        std::printf("failed: %s\n", result.failure.c_str());
        return 1;
    }
    return 0;
}
