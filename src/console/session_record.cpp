#include "console/session_record.h"

#include <string_view>
#include <utility>

#include "calibration/file_digest.h"

namespace console {
namespace {

std::string Sha256Of(const QByteArray& bytes) {
    return calibration::Sha256Hex(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::string PathText(const QString& path) {
    return path.toUtf8().toStdString();
}

}  // namespace

void SessionRecord::FileOpened(const QString& path, const QByteArray& bytes,
                               const settings::Fields& shown) {
    opened_ = Source{PathText(path), Sha256Of(bytes)};
    shownFromFile_ = shown;
}

void SessionRecord::WriteAllStarting(const settings::Fields& fields) {
    next_ = opened_ && fields == shownFromFile_ ? *opened_ : Source{};
}

void SessionRecord::VerifyStarting(const QString& path, const QByteArray& bytes) {
    next_ = Source{PathText(path), Sha256Of(bytes)};
}

void SessionRecord::SettingsRunEnded(const settings::Commissioning& run, int framesWritten,
                                     const std::string& address, const std::string& port) {
    calibration::SettingsSection section{
        next_.file, next_.sha256, framesWritten, run.outcome() == settings::Outcome::Verified, {}};
    for (const settings::Difference& difference : run.differences())
        section.differences.push_back({difference.path, difference.written, difference.readBack});
    settings_ = SettingsDone{std::move(section), address, port};
}

void SessionRecord::CheckEnded(CheckDone check) {
    check_ = std::move(check);
}

calibration::Record SessionRecord::News(const std::string& made) const {
    calibration::Record record;
    record.made = made;
    record.program = VK630E_VERSION;
    if (check_) {
        record.unit = check_->unit;
        record.technician = check_->technician;
        record.meter = check_->meter;
        record.outputs = check_->outputs;
    } else if (settings_) {
        // Without a check nobody asked the unit who it is.
        record.unit.address = settings_->address;
        record.unit.port = settings_->port;
    }
    if (settings_) record.settings = settings_->section;
    return record;
}

void SessionRecord::Saved(calibration::Record written) {
    saved_ = std::move(written);
    settings_.reset();
    check_.reset();
}

std::optional<calibration::Record> SessionRecord::ForCertificate(const std::string& made) const {
    if (HasNews()) return News(made);
    return saved_;
}

}  // namespace console
