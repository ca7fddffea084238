// What the line itself needs for a write-all with verification, from the
// simulator's log of what crossed it: every byte of the frames and replies
// at 1.04 ms (10 bits at 9600 baud), the 300 ms pause that ends each reply,
// and the 100 ms decode tick after it. Shared by the command-line and the
// window benchmarks, so both are held to the same limit.
#pragma once

#include <cstddef>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "settings/commissioning.h"
#include "settings/settings_file.h"

namespace bench {

constexpr double kByteMs = 1.04;
constexpr double kReplyPauseMs = 300;
constexpr double kDecodeTickMs = 100;

// A logged line's bytes: the log shows CR, LF and backslash escaped and any
// other unprintable byte as \xNN.
inline std::size_t LoggedBytes(const std::string& text) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++bytes) {
        if (text[i] != '\\' || i + 1 >= text.size()) continue;
        i += text[i + 1] == 'x' ? 3 : 1;
    }
    return bytes;
}

struct Traffic {
    std::size_t frames = 0, frameBytes = 0, replies = 0, replyBytes = 0;
};

inline Traffic FromLog(const std::string& log) {
    Traffic traffic;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        for (const char* tag : {" rx ", " tx "}) {
            const auto at = line.find(tag);
            if (at == std::string::npos) continue;
            const std::size_t bytes = LoggedBytes(line.substr(at + 4));
            if (tag[1] == 'r') {
                ++traffic.frames;
                traffic.frameBytes += bytes;
            } else {
                ++traffic.replies;
                traffic.replyBytes += bytes;
            }
        }
    }
    return traffic;
}

inline settings::SettingsFile FullFile() {
    settings::SettingsFile file{"2026-12-08T12:00:00+00:00", "bench", settings::WindowDefaults()};
    // Every choice made, so that all thirteen groups are sent.
    for (const char* control : {"MAD1USE", "MAD2USE", "MAD3USE", "COMAD1", "COMAD2"})
        file.fields.indices[control] = 1;
    return file;
}

// Display-only replies (acknowledgements) get no decode tick.
inline std::size_t RepliesDecoded(const settings::Fields& fields) {
    std::vector<std::string> skipped;
    std::size_t decoded = 0;
    std::vector<settings::Step> steps = settings::WriteSteps(fields, skipped);
    for (settings::Step& step : settings::ReadBackSteps()) steps.push_back(std::move(step));
    for (const settings::Step& step : steps) decoded += settings::DecodeFollows(*step.kind);
    return decoded;
}

// One run's line: the time beside the limit, and beside the limit without
// the ticks that no decode step takes.
inline void PrintRun(int run, int status, double ms, const std::string& simLog) {
    const Traffic t = FromLog(simLog);
    const std::size_t decoded = RepliesDecoded(FullFile().fields);
    const double limit =
        (t.frameBytes + t.replyBytes) * kByteMs + t.replies * (kReplyPauseMs + kDecodeTickMs);
    const double strict = limit - (t.replies - decoded) * kDecodeTickMs;
    std::printf(
        "run %d: exit %d, %.0f ms; line limit %.0f ms (%zu frames %zu B, %zu replies %zu B): "
        "%.3fx; with a tick only after the %zu decoded replies %.0f ms: %.3fx\n",
        run, status, ms, limit, t.frames, t.frameBytes, t.replies, t.replyBytes, ms / limit,
        decoded, strict, ms / strict);
}

}  // namespace bench
