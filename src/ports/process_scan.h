// The processes running, read from a /proc-shaped directory.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace ports {

struct Process {
    pid_t pid = 0;
    std::string name;  // PID/comm
    // This user may not look at its descriptors (another user's process,
    // a system service), so whether it holds a device cannot be told.
    bool descriptorsHidden = false;
};

// Processes other than this one with a descriptor open on the character
// device `device` (its st_rdev), among those whose descriptors are visible.
std::vector<Process> HoldersOf(const std::string& procDir, dev_t device);

// Running processes called `name`.
std::vector<Process> ProcessesNamed(const std::string& procDir, const std::string& name);

}  // namespace ports
