#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "seriallink/unique_fd.h"
#include "settings/settings_file.h"

namespace settings {
namespace {

[[noreturn]] void Refuse(const std::string& name, const std::string& why) {
    throw BadSettingsFile(name + ": " + why);
}

void RequirePlainFile(const struct stat& status, const std::string& name) {
    const mode_t type = status.st_mode & S_IFMT;
    if (type == S_IFREG) return;
    const char* kind = type == S_IFDIR    ? "a folder"
                       : type == S_IFIFO  ? "a named pipe (FIFO)"
                       : type == S_IFCHR  ? "a device"
                       : type == S_IFBLK  ? "a device"
                       : type == S_IFSOCK ? "a socket"
                                          : "no plain file";
    Refuse(name, std::string("is ") + kind + ", not a settings file");
}

[[noreturn]] void RefuseTooLarge(const std::string& name) {
    Refuse(name, "is larger than " + std::to_string(kMostFileBytes / (1024 * 1024)) +
                     " MiB; expected a settings file of a few kilobytes");
}

}  // namespace

LoadedSettings ReadSettingsFile(const std::string& path, const std::string& name) {
    const auto cannotRead = [&] {
        Refuse(name, std::string("cannot be read: ") + std::strerror(errno));
    };
    // Looked at before opening: opening a serial device by mistake would
    // already switch its modem lines.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) cannotRead();
    RequirePlainFile(status, name);
    // Non-blocking, should a pipe have taken the file's place since.
    const seriallink::UniqueFd file(
        ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0) cannotRead();
    RequirePlainFile(status, name);
    if (static_cast<std::size_t>(status.st_size) > kMostFileBytes) RefuseTooLarge(name);

    // One byte beyond the cap tells a file that grew since from one that fits.
    std::string bytes;
    char chunk[64 * 1024];
    while (bytes.size() <= kMostFileBytes) {
        const std::size_t wanted = std::min(sizeof chunk, kMostFileBytes + 1 - bytes.size());
        const ssize_t n = ::read(file.Get(), chunk, wanted);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) cannotRead();
        if (n == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    if (bytes.size() > kMostFileBytes) RefuseTooLarge(name);
    SettingsFile settings = ReadSettings(bytes, name);
    return {std::move(settings), std::move(bytes)};
}

}  // namespace settings
