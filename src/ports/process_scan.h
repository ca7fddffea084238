// The processes this user may see, read from /proc.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace ports {

struct Process {
    pid_t pid = 0;
    std::string name;  // /proc/PID/comm
};

// Processes other than this one with a descriptor open on the character
// device `device` (its st_rdev).
std::vector<Process> HoldersOf(dev_t device);

// Running processes called `name`.
std::vector<Process> ProcessesNamed(const std::string& name);

}  // namespace ports
