#include "ports/process_scan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "ports/dir_stream.h"

namespace ports {
namespace {

std::string CommandName(const std::string& processDir) {
    std::ifstream comm(processDir + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

void ForEachProcess(const std::string& procDir,
                    const std::function<void(pid_t, const std::string&)>& visit) {
    DirStream proc = OpenDir(procDir);
    if (!proc) return;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(proc.get())) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == self) continue;
        visit(static_cast<pid_t>(pid), procDir + "/" + entry->d_name);
    }
}

bool HoldsDevice(const std::string& processDir, dev_t device) {
    const std::string dir = processDir + "/fd";
    DirStream fds = OpenDir(dir);
    if (!fds) return false;
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

bool DescriptorsHidden(const std::string& processDir) {
    return !OpenDir(processDir + "/fd");
}

}  // namespace

std::vector<Process> HoldersOf(const std::string& procDir, dev_t device) {
    std::vector<Process> holders;
    ForEachProcess(procDir, [&](pid_t pid, const std::string& dir) {
        if (HoldsDevice(dir, device)) holders.push_back({pid, CommandName(dir)});
    });
    // By process number, whatever order the directory lists them in.
    std::sort(holders.begin(), holders.end(),
              [](const Process& a, const Process& b) { return a.pid < b.pid; });
    return holders;
}

std::vector<Process> ProcessesNamed(const std::string& procDir, const std::string& name) {
    std::vector<Process> found;
    ForEachProcess(procDir, [&](pid_t pid, const std::string& dir) {
        if (CommandName(dir) == name) found.push_back({pid, name, DescriptorsHidden(dir)});
    });
    return found;
}

}  // namespace ports
