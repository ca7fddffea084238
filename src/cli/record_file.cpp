#include "cli/record_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

namespace cli {

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure(kBadFile, path + ": cannot be read: " + std::strerror(errno));
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

calibration::Record NewRecord(const RecordChoice& choice, calibration::Unit unit) {
    calibration::Record record;
    record.made = calibration::NowIso8601();
    record.program = VK630E_VERSION;
    record.unit = std::move(unit);
    record.unit.tag = choice.tag;
    record.technician = choice.technician;
    record.meter = choice.meter;
    return record;
}

ExitStatus SaveRecordFile(const RecordChoice& choice, const calibration::Record& update) {
    try {
        calibration::SaveRecord(*choice.path, update);
        return kDone;
    } catch (const calibration::BadRecordFile& error) {
        std::fprintf(stderr, "vk630e-cli: %s\n", error.what());
        return kBadFile;
    } catch (const std::system_error& error) {
        std::fprintf(stderr, "vk630e-cli: %s: cannot be written: %s\n", choice.path->c_str(),
                     error.code().message().c_str());
        return kFileNotWritten;
    }
}

}  // namespace cli
