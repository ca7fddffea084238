// The subcommands of vk630e-cli. Each returns the exit status for a run
// that reached its end and throws Failure for one that did not.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/port_open.h"
#include "cli/record_file.h"

namespace cli {

ExitStatus ListPorts();
ExitStatus ReadSettingsFromDevice(const LineChoice& line, const std::optional<std::string>& output);
ExitStatus WriteSettingsFile(const std::string& file, const LineChoice& line,
                             const std::vector<std::string>& overrides, bool verify,
                             const RecordChoice& record);
ExitStatus VerifySettingsFile(const std::string& file, const LineChoice& line);
ExitStatus SendFrame(const std::string& frame, const LineChoice& line);
// Renders the certificate of the record file `record` as the PDF `pdf`.
ExitStatus RenderCertificateFile(const std::string& record, const std::string& pdf);

}  // namespace cli
