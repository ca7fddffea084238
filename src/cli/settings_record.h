// `vk630e-cli write --record FILE`: the settings section of the unit's
// record, naming the unit by what it reports of itself.
#pragma once

#include <string>
#include <string_view>

#include "cli/exit_status.h"
#include "cli/line_session.h"
#include "cli/record_file.h"
#include "settings/commissioning.h"

namespace cli {

// The reply to the communication query without its line end.
std::string IdentityOf(std::string_view reply);

class SettingsRecorder {
public:
    // `file` as the technician named it, `bytes` as read from it.
    SettingsRecorder(RecordChoice choice, std::string file, std::string_view bytes);

    // Asks the unit who it is, before anything is written; throws Failure
    // (kNoReply) when it does not say.
    void Identify(LineSession& session, const std::string& port);

    // After a run that reached its end with `status`: the section of
    // `written` (what was sent) merged into the record file. Returns
    // `status`, or the record file's failure.
    ExitStatus Save(const settings::Commissioning& run, const settings::Fields& written,
                    const settings::Fields& readBack, bool verify, ExitStatus status) const;

private:
    RecordChoice choice_;
    calibration::Unit unit_;
    calibration::SettingsSection section_;
};

}  // namespace cli
