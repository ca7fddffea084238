#include "ports/process_scan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>

#include "ports/dir_stream.h"

namespace ports {
namespace {

std::string CommandName(pid_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

void ForEachProcess(const std::function<void(pid_t)>& visit) {
    DirStream proc = OpenDir("/proc");
    if (!proc) return;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(proc.get())) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == self) continue;
        visit(static_cast<pid_t>(pid));
    }
}

bool HoldsDevice(pid_t pid, dev_t device) {
    const std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    DirStream fds = OpenDir(dir);
    if (!fds) return false;  // another user's process
    while (const dirent* entry = ::readdir(fds.get())) {
        if (entry->d_name[0] == '.') continue;
        struct stat info {};
        // stat follows the descriptor's link to the device node; nothing is opened.
        if (::stat((dir + "/" + entry->d_name).c_str(), &info) == 0 && S_ISCHR(info.st_mode) &&
            info.st_rdev == device)
            return true;
    }
    return false;
}

}  // namespace

std::vector<Process> HoldersOf(dev_t device) {
    std::vector<Process> holders;
    ForEachProcess([&](pid_t pid) {
        if (HoldsDevice(pid, device)) holders.push_back({pid, CommandName(pid)});
    });
    return holders;
}

std::vector<Process> ProcessesNamed(const std::string& name) {
    std::vector<Process> found;
    ForEachProcess([&](pid_t pid) {
        if (CommandName(pid) == name) found.push_back({pid, name});
    });
    return found;
}

}  // namespace ports
