#include "settings/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>

namespace settings {
namespace {

[[noreturn]] void Refuse(const std::string& path, int error) {
    throw std::system_error(error, std::generic_category(), path + ": cannot be written");
}

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = EIO;
        if (written <= 0) return false;
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A device or a pipe (-o /dev/stdout) has no contents to keep, and its
// folder is no place for a temporary file: it is written as it is.
void WriteInPlace(const std::string& path, std::string_view contents) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) Refuse(path, errno);
    const int error = WriteAll(fd, contents) ? 0 : errno;
    ::close(fd);
    if (error != 0) Refuse(path, error);
}

}  // namespace

void ReplaceFile(const std::string& path, std::string_view contents) {
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return WriteInPlace(path, contents);
    // Through a link, the file it names is replaced, not the link.
    std::string target = path;
    if (char resolved[PATH_MAX]; exists && ::realpath(path.c_str(), resolved)) target = resolved;
    mode_t mode = old.st_mode & 07777;
    if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) Refuse(path, errno);
    int error = 0;
    if (::fchmod(fd, mode) != 0 || !WriteAll(fd, contents) || ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        Refuse(path, error);
    }
}

}  // namespace settings
