// The calibration record as vk630e-cli writes it: who checked the unit
// with what, and the file that collects the unit's sections.
#pragma once

#include <optional>
#include <string>

#include "calibration/record.h"
#include "cli/exit_status.h"

namespace cli {

struct RecordChoice {
    std::optional<std::string> path;  // --record; nothing: no record
    std::string tag;
    std::string technician;
    std::string meter;
};

// The bytes of a file the command reads whole (settings or record); throws
// Failure (kBadFile) naming it when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// A record made now by this program for `unit` (tag added from `choice`).
calibration::Record NewRecord(const RecordChoice& choice, calibration::Unit unit);

// Merges `update` into the file of `choice`. A file of another unit or one
// that cannot be read is said on standard error and gives kBadFile, one that
// cannot be written kFileNotWritten; kDone once it is written.
ExitStatus SaveRecordFile(const RecordChoice& choice, const calibration::Record& update);

}  // namespace cli
