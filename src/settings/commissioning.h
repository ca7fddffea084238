// Writing all settings to a transmitter and verifying them by reading them
// back. Plain logic: the owner (the window or the command-line program)
// sends frames through its exchange cycle, ticks the decode step and the
// timeout, and reports progress; this class decides what comes next.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/device_settings.h"

namespace settings {

// One frame of the run: the group it writes or reads, the frame built by
// the dialogue's own frame functions, and the ReplyKind it sets.
struct Step {
    std::string group;  // "device line", "interval", "address", "polling 1", ...
    std::string frame;
    std::optional<std::int32_t> kind;
};

// The thirteen write frames in the window's order; groups that cannot be
// sent from these values (a choice with no item, an odd command text) are
// left out and named in `skipped` with the reason.
std::vector<Step> WriteSteps(const Fields& fields, std::vector<std::string>& skipped);
// "Read Parameters" and the four command-slot queries.
std::vector<Step> ReadBackSteps();

struct Difference {
    std::string path;  // "device.address"
    std::string written;
    std::string readBack;  // as the window would show it
};
// Compares the settings the file holds with what the device reported.
std::vector<Difference> Compare(const Fields& written, const Fields& readBack);

class CommissioningHost {
public:
    virtual ~CommissioningHost() = default;
    // Through the exchange cycle's send steps, exactly as a button does.
    virtual void Send(const Step& step) = 0;
    // Arms (or re-arms) the per-frame timeout; Stop disarms it.
    virtual void StartReplyTimeout() = 0;
    virtual void StopReplyTimeout() = 0;
    // "Writing 4 of 13: polling 1", "Reading back 2 of 5: ..."
    virtual void Progress(const std::string& text) = 0;
    // The values the device reported so far (the window's fields, or the
    // command line's model the decoders wrote into).
    virtual Fields ReadBack() const = 0;
};

enum class Outcome { Running, Verified, Differences, Cancelled, NoReply, HungUp };

class Commissioning {
public:
    Commissioning(CommissioningHost& host, Fields toWrite, bool write, bool verify);

    void Start();
    // The reply to the frame in flight has been received and decoded.
    void ReplyDecoded();
    // No reply within the timeout: the run goes on where a reply is not
    // needed and stops where it is (a read-back without a reply).
    void TimedOut();
    void Cancel();  // stops after the frame in flight
    void HungUp();

    Outcome outcome() const { return outcome_; }
    const std::vector<Difference>& differences() const { return differences_; }
    const std::vector<std::string>& skipped() const { return skipped_; }
    // How far it got, for the box after a hang-up or a cancel.
    std::string Summary() const;

private:
    CommissioningHost& host_;
    Fields toWrite_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::size_t writes_ = 0;
    bool cancelRequested_ = false;
    Outcome outcome_ = Outcome::Running;
    std::vector<Difference> differences_;
    std::vector<std::string> skipped_;
};

// The per-frame timeout.
inline constexpr int kReplyTimeoutMs = 2000;

}  // namespace settings
