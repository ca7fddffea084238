#include "app/symlink_guard.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace vk630sim {
namespace {

std::string ReadLink(const std::string& path) {
    std::vector<char> buffer(4096);
    ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    return n < 0 ? std::string() : std::string(buffer.data(), static_cast<std::size_t>(n));
}

}  // namespace

SymlinkGuard::SymlinkGuard(std::string target, std::string path)
    : target_(std::move(target)), path_(std::move(path)) {
    struct stat info {};
    if (::lstat(path_.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            throw std::runtime_error(path_ +
                                     " exists and is not a link; choose another with --link");
        }
        ::unlink(path_.c_str());
    }
    if (::symlink(target_.c_str(), path_.c_str()) != 0) {
        throw std::runtime_error("cannot create the link " + path_ + ": " + std::strerror(errno));
    }
}

SymlinkGuard::~SymlinkGuard() {
    if (ReadLink(path_) == target_) ::unlink(path_.c_str());
}

}  // namespace vk630sim
