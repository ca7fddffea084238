// Writing all settings to a transmitter and verifying them by reading them
// back. Plain logic: the owner (the window or the command-line program)
// sends frames through its exchange cycle, ticks the decode step and the
// timeout, and reports progress; this class decides what comes next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/device_settings.h"

namespace settings {

// One frame of the run: the group it writes or reads, the frame built by
// the dialogue's own frame functions, and the ReplyKind it sets.
//
// The "Set" buttons of the device line, interval, address and polling rows
// leave ReplyKind as it was; in the run their frames set it to display-only
// (100). Their reply is an acknowledgement: left at the kind of whatever came
// before (101 after "Read Parameters", 1502 after a parse query) it would be
// run through that earlier decoder and could change a field the run is
// about to write or compare. As display-only it is shown and nothing more,
// just as the output ranges' "Set" treats its own acknowledgement.
struct Step {
    std::string group;  // "device line", "interval", "address", "polling 1", ...
    std::string frame;
    std::optional<std::int32_t> kind;
    std::vector<std::string> controls;  // the settings the frame carries (writes only)
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
// Compares the settings `written` holds (a choice with no item chosen is not
// held) with what the device reported: numbers by value, the rest exactly.
// A setting the device did not report reads back as "(not reported)".
std::vector<Difference> Compare(const Fields& written, const Fields& readBack);
// How many settings `written` holds, as Compare counts them.
std::size_t CountHeld(const Fields& written);
// The part of `fields` that WriteSteps sends: the settings of skipped groups
// are left out, so they are neither written nor compared.
Fields SentPart(const Fields& fields);

// Whether the exchange cycle runs a decode step for a reply received under
// `replyKind`: with display-only there is no tick, so the reply counts as
// decoded once the receive step has shown it.
bool DecodeFollows(std::int32_t replyKind);

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
};

// Verified: every frame answered and, when verifying, no difference found
// (a run without verification ends Verified with nothing checked).
enum class Outcome { Running, Verified, Differences, Cancelled, NoReply, HungUp };

class Commissioning {
public:
    Commissioning(CommissioningHost& host, Fields toWrite, bool write, bool verify);

    void Start();
    // The reply to the frame in flight has been received and decoded (see
    // DecodeFollows); a call with nothing in flight is ignored.
    void ReplyDecoded();
    // No reply within the timeout: the run stops there, whether the frame
    // wrote or read, since a device that does not answer one frame is not
    // to be sent the rest (NoReply).
    void TimedOut();
    void Cancel();  // stops after the frame in flight
    void HungUp();
    // Every reply the host's exchange cycle has decoded, as it was decoded.
    // Only the replies to the read-back count: what the device answered to
    // a write is its acknowledgement, not a report of what it kept.
    void Decoded(const dialogue::DecodeOutcome& outcome);

    Outcome outcome() const { return outcome_; }
    const std::vector<Difference>& differences() const { return differences_; }
    const std::vector<std::string>& skipped() const { return skipped_; }
    // The settings the read-back's replies carried, and nothing else: the
    // only ground for calling a setting verified.
    const Fields& reported() const { return reported_; }
    // How many settings were compared (the count of "All 38 settings verified").
    std::size_t checked() const { return checked_; }
    // How far it got, for the box after a hang-up or a cancel.
    std::string Summary() const;

private:
    CommissioningHost& host_;
    Fields toWrite_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::size_t writes_ = 0;
    bool verify_;
    bool awaiting_ = false;
    bool cancelRequested_ = false;
    std::size_t checked_ = 0;
    Outcome outcome_ = Outcome::Running;
    std::vector<Difference> differences_;
    std::vector<std::string> skipped_;
    Fields reported_;

    void SendNext();
    void Finish();
    void End(Outcome outcome);
};

// The per-frame timeout at 9600 baud and above, from sending a frame until
// its reply has been decoded. At 9600 baud a byte of 8 data bits, parity and
// a stop bit takes 1.15 ms. The longest exchange is a command slot write
// with its longest command (99 bytes as 198 characters: a 216-byte frame,
// 0.25 s) or "Read Parameters" with its reply of about 180 bytes (0.21 s);
// the read that delivers a reply ends only after a 300 ms pause, and the
// decode step ticks 100 ms later. Frame, reply, pause and tick come to
// under 0.9 s; the rest of the 2 s leaves the device as long again to act
// on a write (it stores settings before it answers) without taking a slow
// answer for none, while a technician waiting at a dead line is told
// within seconds.
inline constexpr int kReplyTimeoutMs = 2000;
// Below 9600 baud the same exchange's bytes take longer: the timeout grows
// by the extra line time of 420 bytes (the longest frame and reply).
int ReplyTimeoutMs(std::uint32_t baud);

}  // namespace settings
