#include "cli/settings_record.h"

#include "calibration/file_digest.h"
#include "dialogue/frames.h"

namespace cli {
namespace {

std::string Held(const settings::Fields& fields, std::string_view control) {
    const auto found = fields.texts.find(control);
    return found == fields.texts.end() ? std::string() : found->second;
}

}  // namespace

std::string IdentityOf(std::string_view reply) {
    while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.remove_suffix(1);
    return std::string(reply);
}

SettingsRecorder::SettingsRecorder(RecordChoice choice, std::string file, std::string_view bytes)
    : choice_(std::move(choice)) {
    section_.file = std::move(file);
    section_.sha256 = calibration::Sha256Hex(bytes);
}

void SettingsRecorder::Identify(LineSession& session, const std::string& port) {
    const std::optional<std::string> reply = session.Ask(dialogue::CommunicationQueryFrame());
    if (session.HungUp()) throw Failure(kNoReply, port + " hung up before it said who it is");
    if (!reply || IdentityOf(*reply).empty())
        throw Failure(kNoReply, "no answer from " + port + " to the communication query");
    unit_.identity = IdentityOf(*reply);
    unit_.port = port;
}

ExitStatus SettingsRecorder::Save(const settings::Commissioning& run,
                                  const settings::Fields& written, const settings::Fields& readBack,
                                  bool verify, ExitStatus status) const {
    calibration::Unit unit = unit_;
    unit.address = Held(verify ? readBack : written, "ADRM");
    if (unit.address.empty()) unit.address = Held(written, "ADRM");
    calibration::Record record = NewRecord(choice_, unit);
    calibration::SettingsSection section = section_;
    std::vector<std::string> skipped;
    section.written = static_cast<int>(settings::WriteSteps(written, skipped).size());
    section.verified = verify && run.outcome() == settings::Outcome::Verified;
    for (const settings::Difference& difference : run.differences())
        section.differences.push_back({difference.path, difference.written, difference.readBack});
    record.settings = section;
    const ExitStatus saved = SaveRecordFile(choice_, record);
    return saved == kDone ? status : saved;
}

}  // namespace cli
