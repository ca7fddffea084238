// The calibration record: one JSON file per transmitter that collects the
// result of writing its settings and of checking its current outputs, in
// the form a quality system files away.
#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "calibration/span_error.h"

namespace calibration {

// Texts the device reported (identity, address, the settings' values) are
// byte strings, one character per byte, as the window's fields hold them;
// the file carries each byte as the character of the same code. What the
// technician typed (tag, technician, meter, file) and the port are UTF-8.
struct Unit {
    std::string tag;       // the technician's name for it, "FT-101"; may be empty
    std::string identity;  // the reply to the communication query, without its line end
    std::string address;   // as the device reported it, "017"
    std::string port;      // "/dev/ttyUSB0"

    bool operator==(const Unit&) const = default;
};

struct SettingDifference {
    std::string setting;  // key path, "device.address"
    std::string written;
    std::string readBack;

    bool operator==(const SettingDifference&) const = default;
};

// From "Write All Settings", "Verify Against File…" or `vk630e-cli write`.
struct SettingsSection {
    std::string file;       // as the technician named it, "unit.json"
    std::string sha256;     // of the file's bytes as read, lower-case hex
    int written = 0;        // frames written (0 for a verify)
    bool verified = false;  // read back, and every setting the device reported agreed
    std::vector<SettingDifference> differences;

    bool operator==(const SettingsSection&) const = default;
};

struct Adjustment {
    std::array<std::string, 3> before;  // the coefficients the device reported first
    std::array<std::string, 3> after;   // as sent, "0.9800"
    bool verified = false;              // the device reported each one back by value

    bool operator==(const Adjustment&) const = default;
};

struct OutputsSection {
    double tolerancePercentOfSpan = kDefaultTolerancePercentOfSpan;
    int adjustAt = 20;
    std::vector<PointResult> asFound;
    std::optional<Adjustment> adjustment;
    std::optional<std::vector<PointResult>> asLeft;
    bool complete = false;

    bool operator==(const OutputsSection&) const = default;
};

struct Record {
    std::string made;     // ISO 8601 with zone
    std::string program;  // version of the program that wrote it
    Unit unit;
    std::string technician;
    std::string meter;
    std::optional<SettingsSection> settings;
    std::optional<OutputsSection> outputs;

    bool operator==(const Record&) const = default;
};

// "pass", "fail" or "incomplete", from the sections the record holds:
// - "incomplete" when it holds neither section, or an output check that
//   stopped before its end (a refused coefficient included: the unit was
//   left half adjusted and has not been checked as left);
// - "fail" when the settings were not verified (or differ), or a reading of
//   the last pass (as left after an adjustment, else as found) is out of
//   tolerance;
// - else "pass".
std::string Verdict(const Record& record);

// The current local time as the record states it: "2026-12-09T03:41:07+01:00".
std::string NowIso8601();

// A record file that cannot be read, or that belongs to another unit. The
// message names the file and what is wrong.
class BadRecordFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string WriteRecord(
    const Record& record);  // JSON, keys in the record's order, newline at the end
Record ReadRecord(const std::string& json, const std::string& name);  // throws BadRecordFile

// `update` merged into what the file at `path` already holds for the same
// unit (same address and identity): each section `update` carries replaces
// the file's, the others are kept; the time, the program and what the
// technician filled in come from `update` where it names them. A file of another unit is refused
// and left as it was. Written beside it and renamed, so the file is whole or unchanged. Returns the
// record as written. Throws BadRecordFile, or std::system_error when the file cannot be written.
Record SaveRecord(const std::string& path, const Record& update);

}  // namespace calibration
