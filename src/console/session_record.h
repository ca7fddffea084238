// What this session has done to the transmitter on the bench, kept until
// its record is saved: the last settings run and the last output check.
// Nothing of it outlives the program.
//
// The settings section names the file the settings came from and the
// sha256 of its bytes as read. "Verify Against File…" names the file it
// compared with. "Write All Settings" writes the window's fields: when
// they are still exactly what "Open Settings…" last put there, that file
// is named; when they were typed, read from the device or changed since,
// no file stands behind them and both file and hash are left empty.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>

#include "calibration/record.h"
#include "settings/commissioning.h"
#include "settings/device_settings.h"

namespace console {

// One finished output check, with what the technician entered for it.
struct CheckDone {
    calibration::Unit unit;
    std::string technician;
    std::string meter;
    calibration::OutputsSection outputs;
};

class SessionRecord {
public:
    // "Open Settings…" has shown the file's settings; `shown` is what the
    // fields held right after.
    void FileOpened(const QString& path, const QByteArray& bytes, const settings::Fields& shown);
    // Just before a settings run starts: where its settings come from.
    void WriteAllStarting(const settings::Fields& fields);
    void VerifyStarting(const QString& path, const QByteArray& bytes);
    // `address` is the one the device reported in the run's read-back, or
    // empty when the run ended before it.
    void SettingsRunEnded(const settings::Commissioning& run, int framesWritten,
                          const std::string& address, const std::string& port);
    void CheckEnded(CheckDone check);

    // Whether anything has been done since the last record was saved.
    bool HasNews() const { return settings_.has_value() || check_.has_value(); }
    // The record of what has been done since the last save.
    calibration::Record News(const std::string& made) const;
    // The record as written to its file; the session starts afresh for
    // the next unit.
    void Saved(calibration::Record written);
    // What a certificate shows: the news, else the record saved last.
    std::optional<calibration::Record> ForCertificate(const std::string& made) const;

private:
    struct Source {
        std::string file;
        std::string sha256;
    };
    struct SettingsDone {
        calibration::SettingsSection section;
        std::string address;
        std::string port;
    };

    std::optional<Source> opened_;  // the file "Open Settings…" showed last
    settings::Fields shownFromFile_;
    Source next_;  // of the run about to start
    std::optional<SettingsDone> settings_;
    std::optional<CheckDone> check_;
    std::optional<calibration::Record> saved_;
};

}  // namespace console
