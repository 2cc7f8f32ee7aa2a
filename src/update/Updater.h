// TUpdater: asks the update endpoint whether a newer Corvinade exists, by
// sending the running file's version number and looking for the marker in
// the answer.
#pragma once

#include <string>

namespace corvinade {

class TUpdater {
public:
    // The running program's version number (1.10.0.0 gives 1100000).
    explicit TUpdater(int runningVersion) : runningVersion_(runningVersion) {}

    // True when the endpoint's answer holds "[UPDATE]". Throws Error
    // "Error\r\rCould not check for updates." when the download fails.
    bool IsUpdateAvailable();

private:
    int runningVersion_;
};

// The endpoint's base address: the settings value, or the default.
std::string ConfiguredUpdateBase();

} // namespace corvinade
