// Replacing a file only once its new contents are whole: they go into a
// temporary file beside it, which is renamed over it at the end. A full
// disk, a file-size limit or a failed write leaves the old file as it was
// and no temporary file behind.
#pragma once

#include <string>
#include <string_view>

namespace settings {

// Throws std::system_error naming `path` when it cannot be written. The
// file keeps the permissions of the one it replaces; a new one gets those
// the process's umask gives. Past a file-size limit a write raises SIGXFSZ,
// which ends a program that does not ignore it before any message.
void ReplaceFile(const std::string& path, std::string_view contents);

}  // namespace settings
