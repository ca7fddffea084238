// One way of talking to the serial port, measured the same way as the others.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "measure.h"

namespace bench {

// The read interval every subject completes a reply with.
inline constexpr std::chrono::milliseconds kInterval{300};
// What a sender queues at a time when its component buffers for it.
inline constexpr std::size_t kSendWindow = 1u << 20;

class Subject {
public:
    virtual ~Subject() = default;
    virtual const char* Name() const = 0;
    virtual void Open(const std::string& path) = 0;
    virtual void Close() = 0;

    // Takes bytes from the port until `bytes` have arrived; checks them
    // against the stream and returns false on a mismatch.
    virtual bool Receive(std::size_t bytes) = 0;
    // Sends `bytes` of the stream in blocks of `block`, then runs until
    // doneFd (an eventfd the peer writes once it has them all) is readable.
    virtual void Send(std::size_t bytes, std::size_t block, int doneFd) = 0;
    // Waits for the next reply to complete by the read interval; returns
    // when it was handed over.
    virtual Clock::time_point AwaitReply() = 0;
    // Lets the open port sit idle; returns the wake-ups of the threads that
    // serve it in that time.
    virtual long IdleWakeups(std::chrono::milliseconds time) = 0;
};

std::unique_ptr<Subject> MakeTCommSubject();
std::unique_ptr<Subject> MakeQtSubject();
std::unique_ptr<Subject> MakeBareSubject();

}  // namespace bench
