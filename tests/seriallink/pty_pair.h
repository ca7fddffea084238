// A pseudo-terminal pair for the tests: the slave's path is what TComm
// opens, the master plays the device. The test keeps a slave descriptor of
// its own too, to look at the line settings TComm wrote.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace seriallink {
class TComm;
}

namespace seriallink::test {

class PtyPair {
public:
    PtyPair();  // raw on both sides, so nothing is echoed or translated
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }
    int Slave() const { return slave_; }

    // Writes everything to the master, waiting for room as needed.
    void Write(const void* bytes, std::size_t n) const;
    void Write(const std::string& bytes) const { Write(bytes.data(), bytes.size()); }
    // Reads from the master until `n` bytes are in or `timeout` passed.
    std::string Read(std::size_t n, std::chrono::milliseconds timeout) const;
    // Reads whatever the master gets until it has been quiet for `quiet`.
    std::string ReadUntilQuiet(std::chrono::milliseconds quiet) const;

    void CloseMaster();
    // Suspends (or resumes) the terminal's output, as a device's XOFF
    // would: the component's writes wait until it is resumed.
    void HoldOutput(bool held) const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Points the component at the pair's slave with software flow control off,
// so every byte value passes through as data.
void AimAtPty(TComm& comm, const PtyPair& pty);

// Open descriptors of this process, and its threads of the serial link
// (named "tcomm-..."), from /proc/self. Counting only those keeps the
// sanitizers' own helper threads out.
std::size_t OpenDescriptorCount();
std::size_t SerialThreadCount();
// Context switches (voluntary and not) of the serial link's threads so far.
long SerialThreadSwitches();
// Bytes the named serial link thread has read by system calls so far (the
// kernel's count, so a lower bound of what it took from the port).
std::size_t SerialThreadBytesRead(const std::string& name);
// Write calls the named thread has made so far, those refused included.
std::size_t SerialThreadWriteCalls(const std::string& name);
// Time the named thread has run on a processor so far, in nanoseconds.
std::int64_t SerialThreadCpuNs(const std::string& name);
// Waits (up to a few seconds) until done() holds; returns done().
bool WaitUntil(const std::function<bool()>& done);

}  // namespace seriallink::test
