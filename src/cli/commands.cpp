#include "cli/commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <system_error>

#include "cli/line_session.h"
#include "cli/overrides.h"
#include "cli/settings_record.h"
#include "dialogue/frames.h"
#include "ports/serial_ports.h"
#include "settings/file_replace.h"
#include "settings/settings_file.h"

namespace cli {
namespace {

settings::LoadedSettings LoadFile(const std::string& path) {
    try {
        return settings::ReadSettingsFile(path, path);
    } catch (const settings::BadSettingsFile& error) {
        throw Failure(kBadFile, error.what());
    }
}

// "2026-12-08T14:09:31+01:00": local time with its offset from UTC.
std::string NowIso8601() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string iso = text;
    iso.insert(iso.size() - 2, ":");
    return iso;
}

std::string Seconds(int milliseconds) {
    std::ostringstream text;
    text << milliseconds / 1000.0 << " s";
    return text.str();
}

// "stopped by SIGINT"
std::string StopMessage(int signal) {
    return std::string("stopped by SIG") + ::sigabbrev_np(signal);
}

// Ends a run that stopped short with its message; nothing more is sent.
void RequireEnd(settings::Outcome outcome, const settings::Commissioning& run,
                const LineSession& session, const LineChoice& line) {
    if (const int signal = session.StopSignal())
        throw Failure(cli::StoppedBy(signal), StopMessage(signal) + "; " + run.Summary());
    if (outcome == settings::Outcome::HungUp)
        throw Failure(kNoReply, line.port + " hung up; " + run.Summary());
    if (outcome == settings::Outcome::NoReply)
        throw Failure(kNoReply, "no reply from " + line.port + " within " +
                                    Seconds(session.TimeoutMs()) + "; " + run.Summary());
}

void PrintDifferences(const std::vector<settings::Difference>& differences,
                      const std::string& port) {
    std::size_t pathWidth = 7, writtenWidth = 7;
    for (const auto& difference : differences) {
        pathWidth = std::max(pathWidth, difference.path.size());
        writtenWidth = std::max(writtenWidth, difference.written.size());
    }
    if (differences.size() == 1)
        std::printf("1 setting differs on %s:\n", port.c_str());
    else
        std::printf("%zu settings differ on %s:\n", differences.size(), port.c_str());
    std::printf("%-*s  %-*s  %s\n", static_cast<int>(pathWidth), "setting",
                static_cast<int>(writtenWidth), "written", "read back");
    for (const auto& difference : differences)
        std::printf("%-*s  %-*s  %s\n", static_cast<int>(pathWidth), difference.path.c_str(),
                    static_cast<int>(writtenWidth), difference.written.c_str(),
                    difference.readBack.c_str());
}

std::string WithoutLineEnd(std::string reply) {
    while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.pop_back();
    return reply;
}

ExitStatus Commission(const settings::Fields& fields, const LineChoice& line, bool write,
                      bool verify, SettingsRecorder* recorder = nullptr) {
    Progress progress;
    LineSession session(line, progress);
    if (recorder) recorder->Identify(session, line.port);
    settings::Commissioning run(session, fields, write, verify);
    const settings::Outcome outcome = session.Run(run);
    for (const std::string& skipped : run.skipped()) std::printf("%s\n", skipped.c_str());
    RequireEnd(outcome, run, session, line);
    ExitStatus status = kDone;
    if (!verify) {
        // Only the replies can tell a refusal from an acceptance here.
        for (const LineSession::Answer& answer : session.Answers())
            std::printf("%s: %s\n", answer.group.c_str(), WithoutLineEnd(answer.reply).c_str());
        std::printf("Sent to %s; nothing was read back, so none of it is verified\n",
                    line.port.c_str());
    } else if (outcome == settings::Outcome::Differences) {
        PrintDifferences(run.differences(), line.port);
        status = kDifferences;
    } else {
        std::printf("All %zu settings verified on %s\n", run.checked(), line.port.c_str());
    }
    std::fflush(stdout);
    return recorder ? recorder->Save(run, fields, run.reported(), verify, status) : status;
}

}  // namespace

ExitStatus ListPorts() {
    for (const ports::SerialPort& port : ports::ListSerialPorts())
        std::printf("%s\t%s\n", port.path.c_str(), port.description.c_str());
    return kDone;
}

ExitStatus ReadSettingsFromDevice(const LineChoice& line,
                                  const std::optional<std::string>& output) {
    settings::Fields shown;
    {
        Progress progress;
        LineSession session(line, progress);
        settings::Commissioning run(session, {}, false, true);
        RequireEnd(session.Run(run), run, session, line);
        shown = run.reported();
    }
    // What the device does not report stays as the window starts with it,
    // as in the window after "Read Parameters" and the two queries.
    settings::Fields defaults = settings::WindowDefaults();
    shown.texts.merge(defaults.texts);
    shown.indices.merge(defaults.indices);

    const std::string text = settings::WriteSettings({NowIso8601(), VK630E_VERSION, shown});
    if (!output) {
        std::fputs(text.c_str(), stdout);
        if (std::fflush(stdout) != 0)
            throw Failure(kFileNotWritten, std::string("standard output: cannot be written: ") +
                                               std::strerror(errno));
        return kDone;
    }
    try {
        settings::ReplaceFile(*output, text);
    } catch (const std::system_error& error) {
        throw Failure(kFileNotWritten, error.what());
    }
    return kDone;
}

ExitStatus WriteSettingsFile(const std::string& file, const LineChoice& line,
                             const std::vector<std::string>& overrides, bool verify,
                             const RecordChoice& record) {
    const settings::LoadedSettings loaded = LoadFile(file);
    settings::Fields fields = loaded.file.fields;
    for (const std::string& assignment : overrides) ApplyOverride(fields, assignment);
    if (!record.path) return Commission(fields, line, true, verify);
    SettingsRecorder recorder(record, file, loaded.bytes);
    return Commission(fields, line, true, verify, &recorder);
}

ExitStatus VerifySettingsFile(const std::string& file, const LineChoice& line) {
    return Commission(LoadFile(file).file.fields, line, false, true);
}

ExitStatus SendFrame(const std::string& frame, const LineChoice& line) {
    if (frame.empty() || !dialogue::FitsOneSend(frame))
        throw Failure(kUsage, "FRAME: expected 1 to 65535 characters");
    Progress progress;
    LineSession session(line, progress);
    const std::optional<std::string> reply = session.Ask(frame);
    if (const int signal = session.StopSignal())
        throw Failure(cli::StoppedBy(signal), StopMessage(signal));
    if (session.HungUp()) throw Failure(kNoReply, line.port + " hung up");
    if (!reply)
        throw Failure(kNoReply,
                      "no reply from " + line.port + " within " + Seconds(session.TimeoutMs()));
    // As received; a reply that does not end a line gets a line end.
    std::fwrite(reply->data(), 1, reply->size(), stdout);
    if (reply->empty() || reply->back() != '\n') std::fputc('\n', stdout);
    return kDone;
}

}  // namespace cli
