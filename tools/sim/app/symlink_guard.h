// A symbolic link that lives as long as this object. At exit it is removed
// only while it still points where we set it: a simulator started later
// takes the name over and keeps it.
#pragma once

#include <string>

namespace vk630sim {

class SymlinkGuard {
public:
    // Replaces an existing link at `path` (left by an earlier run); refuses
    // to touch anything at `path` that is not a link. Throws runtime_error.
    SymlinkGuard(std::string target, std::string path);
    ~SymlinkGuard();
    SymlinkGuard(const SymlinkGuard&) = delete;
    SymlinkGuard& operator=(const SymlinkGuard&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string target_;
    std::string path_;
};

}  // namespace vk630sim
