// The settings file: one JSON document per device, keys in a fixed order,
// UTF-8, a newline at the end. Choice values are the list items' texts,
// null for a box with no item chosen.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "settings/device_settings.h"

namespace settings {

struct SettingsFile {
    std::string saved;    // ISO 8601 time with zone
    std::string program;  // the writing program's version
    Fields fields;        // all 38 settings
};

// A refused file: the message names the file, the key path and what was
// expected, e.g. "unit7.json: polling[2].format: expected one of ...".
class BadSettingsFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string WriteSettings(const SettingsFile& file);
// `name` is how the message names the file. Throws BadSettingsFile; a file
// is loaded whole or not at all.
SettingsFile ReadSettings(const std::string& json, const std::string& name);

// A settings file as read from disk, with its bytes exactly as read (a
// record of what was written can name the file by their hash).
struct LoadedSettings {
    SettingsFile file;
    std::string bytes;
};

// The largest settings file read; a real one is a few kilobytes.
inline constexpr std::size_t kMostFileBytes = 1024 * 1024;

// Reads the file at `path` and then ReadSettings. A folder, a named pipe, a
// device or anything else but a plain file is refused without waiting on it,
// and so is a file larger than kMostFileBytes, without reading past that.
// Throws BadSettingsFile naming the file as `name`.
LoadedSettings ReadSettingsFile(const std::string& path, const std::string& name);

}  // namespace settings
