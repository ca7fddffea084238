#include "seriallink/traffic_log.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <exception>
#include <system_error>
#include <utility>

#include "seriallink/thread_priority.h"

namespace seriallink {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

std::string ErrorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

// Writing past a file-size limit raises SIGXFSZ, and into a pipe nobody
// reads (a log sent to "| head") SIGPIPE; either ends the process by
// default. The kernel aims both at the writing thread; blocked there, they
// stay pending until the thread ends and the write just fails (EFBIG, EPIPE).
void BlockWriteSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGXFSZ);
    sigaddset(&signals, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

// The errno of the failed write, or 0 when every byte went.
int WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

bool IsLink(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// The one line the window's error box and vk630e-cli show for a log that
// cannot start. A log kept in a shared folder could otherwise be a link
// planted there by someone else, and the port's traffic (a customer's
// configuration among it) would be added to a file of their choosing.
class OpenFailure final : public std::system_error {
public:
    OpenFailure(int error, const std::string& path)
        : std::system_error(error, std::generic_category()),
          text_("cannot open " + path + ": " +
                (error == ELOOP && IsLink(path)
                     ? "it is a symbolic link; the log is not written through links"
                     : ErrorText(error))) {}
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

bool Unlinked(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && status.st_nlink == 0;
}

}  // namespace

TrafficLog::TrafficLog(const std::string& path)
    : path_(path),
      // Non-blocking only while opening: a pipe nobody reads fails at once
      // instead of holding the owner; the writer thread may wait later. A
      // new log is the user's alone; an existing file keeps its mode.
      file_(::open(path.c_str(),
                   O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0600)),
      notice_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!file_) throw OpenFailure(errno, path);
    ::fcntl(file_.Get(), F_SETFL, O_APPEND);
    if (!notice_) throw std::system_error(errno, std::generic_category(), "eventfd");
    writer_ = std::thread([this] { WriteLoop(); });
    NameThread(writer_, "tcomm-log");
}

TrafficLog::~TrafficLog() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

void TrafficLog::Record(const TrafficEvent& event) noexcept {
    const auto when = std::chrono::system_clock::now();
    const auto sinceStart = duration_cast<milliseconds>(std::chrono::steady_clock::now() - start_);
    std::lock_guard lock(mutex_);
    if (stopped_) return;
    if (queuedBytes_ + event.bytes.size() > kMaxQueuedBytes) {
        StopLocked("Traffic log stopped: the disk holding " + path_ +
                   " does not keep up with the line.");
        return;
    }
    try {
        queue_.push_back(
            {event.kind, when, sinceStart, std::string(event.bytes), event.value, event.parity});
    } catch (const std::bad_alloc&) {
        StopLocked("Traffic log stopped: out of memory.");
        return;
    }
    queuedBytes_ += event.bytes.size();
    wake_.notify_one();
}

std::optional<std::string> TrafficLog::TakeStopNotice() {
    std::lock_guard lock(mutex_);
    std::uint64_t count = 0;
    if (::read(notice_.Get(), &count, sizeof count) != sizeof count) return std::nullopt;
    return stopNotice_;
}

bool TrafficLog::Stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

void TrafficLog::StopLocked(std::string reason) {
    stopped_ = true;
    stopNotice_ = std::move(reason);
    queue_.clear();
    queuedBytes_ = 0;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(notice_.Get(), &one, sizeof one);
}

void TrafficLog::WriteLoop() {
    BlockWriteSignals();
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
        if (queue_.empty()) return;  // asked to quit, and everything is written
        std::vector<TrafficRecord> batch;
        batch.swap(queue_);
        queuedBytes_ = 0;
        lock.unlock();
        int error = 0;
        bool outOfMemory = false;
        try {
            std::string text;
            for (const TrafficRecord& record : batch) text += FormatTrafficLine(record);
            error = WriteAll(file_.Get(), text);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
        const bool removed = error == 0 && !outOfMemory && Unlinked(file_.Get());
        lock.lock();
        if (error != 0) {
            StopLocked("Traffic log stopped: cannot write " + path_ + ": " + ErrorText(error) +
                       ".");
        } else if (outOfMemory) {
            StopLocked("Traffic log stopped: out of memory.");
        } else if (removed) {
            StopLocked("Traffic log stopped: " + path_ + " was removed.");
        }
        if (stopped_) return;
    }
}

}  // namespace seriallink
