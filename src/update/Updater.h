// TUpdater: asks the update endpoint whether a newer Corvinade exists, by
// sending the running file's version number and looking for the marker in
// the answer.
#pragma once

#include <string>

namespace corvinade {

class TUpdater {
public:
    // True when the endpoint's answer holds "[UPDATE]". Throws Error
    // "Error\r\rCould not check for updates." when the download fails.
    bool IsUpdateAvailable();
};

// The endpoint's base address: the settings value, or the default.
std::string ConfiguredUpdateBase();

} // namespace corvinade
