// An open directory listing that closes itself.
#pragma once

#include <dirent.h>

#include <memory>
#include <string>

namespace ports {

struct CloseDir {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirStream = std::unique_ptr<DIR, CloseDir>;

inline DirStream OpenDir(const std::string& path) {
    return DirStream(::opendir(path.c_str()));
}

}  // namespace ports
