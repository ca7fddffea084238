// What vk630e-cli tells its caller by its exit status, so that a batch
// script can tell a unit that failed verification from a missing cable.
#pragma once

#include <stdexcept>
#include <string>

namespace cli {

enum ExitStatus : int {
    kDone = 0,            // done, and verified where verification was asked for
    kUsage = 1,           // the command line was wrong
    kPortWontOpen = 2,    // the port would not open
    kNoReply = 3,         // no reply within the timeout, or the line hung up
    kDifferences = 4,     // verification found differences, or a coefficient did not read back
    kBadFile = 5,         // the settings file (or the record file) was refused
    kOutOfTolerance = 6,  // an output out of tolerance at the end of its check
    kFileNotWritten = 7,  // a file (-o, --log, --record, a certificate) could not be written
};

// 128 + the signal's number, as a shell reports a program a signal ended:
// the run was stopped by SIGINT, SIGTERM or SIGHUP after the frame in flight.
inline ExitStatus StoppedBy(int signal) {
    return static_cast<ExitStatus>(128 + signal);
}

// A failure that ends the program with `status` after its message.
class Failure : public std::runtime_error {
public:
    Failure(ExitStatus status, const std::string& message)
        : std::runtime_error(message), status_(status) {}
    ExitStatus status() const { return status_; }

private:
    ExitStatus status_;
};

}  // namespace cli
