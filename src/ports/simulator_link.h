// Where the simulated transmitter puts the stable link to its terminal when
// told nothing else. The simulator, the run script (through the simulator's
// banner) and the console's port list all take the place from here.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace ports {

inline constexpr char kSimulatorLinkName[] = "vk630-sim";

// `runtimeDir`/vk630-sim when that is given, else /tmp/vk630-sim.
inline std::string SimulatorLinkIn(const char* runtimeDir) {
    if (runtimeDir != nullptr && *runtimeDir != '\0')
        return std::string(runtimeDir) + "/" + kSimulatorLinkName;
    return std::string("/tmp/") + kSimulatorLinkName;
}

// $XDG_RUNTIME_DIR when it names a directory (a login session has one);
// otherwise nothing.
inline const char* RuntimeDir() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    return dir != nullptr && ::stat(dir, &info) == 0 && S_ISDIR(info.st_mode) ? dir : nullptr;
}

inline std::string SimulatorLinkPath() {
    return SimulatorLinkIn(RuntimeDir());
}

}  // namespace ports
