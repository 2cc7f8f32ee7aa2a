// walk.exe STEPS SEED: the random walk through corvinade.exe's windows
// (CORVINADE_EXE), with a line every 100 steps and the steps taken by kind.
// Exit code 0 when every check held after every step; else 1, with the
// seed, the step and the last steps.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "Walk.h"

using namespace corvinade::test;

int main(int argc, char** argv) {
    WalkOptions options;
    if (argc > 1)
        options.steps = std::atoi(argv[1]);
    if (argc > 2)
        options.seed = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    options.progress = [](const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    };
    std::printf("walk: %d steps, seed %u\n", options.steps, options.seed);
    std::fflush(stdout);
    const auto began = std::chrono::steady_clock::now();
    const WalkResult result = RunWalk(options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("%d steps, %d starts in %.0f s (%.0f steps a minute)\n", result.steps, result.starts, seconds,
                seconds > 0 ? result.steps * 60 / seconds : 0.0);
    for (const auto& [name, count] : result.taken)
        std::printf("  %5d  %s\n", count, name.c_str());
    if (!result.failure.empty()) {
        std::printf("failed: ");
        std::fwrite(result.failure.data(), 1, result.failure.size(), stdout);
        std::printf("\n");
        return 1;
    }
    return 0;
}
