// The traffic log: a TrafficTap that writes one line per event to a file.
//
// The owner only stamps and queues an event; a writer thread of the log's
// own formats and writes the lines. A file on a slow or stalled disk (a USB
// stick, a network share) blocks write() however the file is opened, and
// the owner is the window's thread, so it must never be the one writing.
//
// When the file cannot take more (a full disk, a file-size limit, the file
// or its folder removed, a disk too slow for the line) the log stops by
// itself: it drops what is queued, takes no more events, and leaves one
// line for the owner to show. The exchange never waits for it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "seriallink/traffic_line.h"
#include "seriallink/traffic_tap.h"
#include "seriallink/unique_fd.h"

namespace seriallink {

class TrafficLog final : public TrafficTap {
public:
    // Adds its lines to the end of `path`, creating the file when needed
    // (readable by its owner only); throws std::system_error when it cannot
    // be opened for writing or is a symbolic link.
    explicit TrafficLog(const std::string& path);
    // Writes what is still queued, then closes the file.
    ~TrafficLog() override;
    TrafficLog(const TrafficLog&) = delete;
    TrafficLog& operator=(const TrafficLog&) = delete;

    void Record(const TrafficEvent& event) noexcept override;

    const std::string& Path() const { return path_; }

    // Becomes readable when the log has stopped by itself, and stays so
    // until TakeStopNotice; the owner's loop can watch it beside NotifyFd.
    int NoticeFd() const { return notice_.Get(); }
    // The one-line reason the log stopped, the first time it is asked for
    // after the stop; nothing while the log runs (or once it was taken).
    std::optional<std::string> TakeStopNotice();
    bool Stopped() const;

    // Most bytes queued for a slow disk before the log gives up on it.
    static constexpr std::size_t kMaxQueuedBytes = 16u << 20;

private:
    void WriteLoop();
    void StopLocked(std::string reason);

    const std::string path_;
    UniqueFd file_;
    UniqueFd notice_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<TrafficRecord> queue_;
    std::size_t queuedBytes_ = 0;
    bool quit_ = false;
    bool stopped_ = false;
    std::optional<std::string> stopNotice_;

    std::thread writer_;  // last: starts once everything above exists
};

}  // namespace seriallink
