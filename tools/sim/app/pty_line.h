// The line on a pseudo-terminal: the console opens the slave side, the
// simulator works the master side and paces its replies at the byte time
// of its baud rate, as a real line would.
//
// The simulator keeps a slave descriptor of its own open for its whole
// life: with no slave open the master reports a hang-up on every poll, and
// the terminal settings would fall back to cooked mode with echo whenever
// the console closes its port. So the console can close and open again as
// often as it likes.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "app/line.h"
#include "app/line_settings.h"
#include "app/symlink_guard.h"
#include "app/unique_fd.h"
#include "core/options.h"

namespace vk630sim {

class PtyLine : public Line {
public:
    // Throws runtime_error when the pseudo-terminal or the link cannot be made.
    PtyLine(std::uint32_t baud, LineParity parity, const std::string& linkPath);

    const std::string& SlavePath() const { return slavePath_; }
    const std::string& LinkPath() const { return link_->Path(); }

    int WaitFd() const override { return master_.Get(); }
    bool Receive(std::string& bytes) override;
    SendResult Send(std::string_view bytes, const StopSignal& stop) override;
    void HangUp(const StopSignal& stop) override;
    std::optional<std::string> Remark() override;

    // After the last reply, the console gets this long past its 300 ms read
    // interval to hand the reply over before the line goes down.
    static constexpr std::chrono::milliseconds kHangUpLinger{400};
    // How long a hang-up waits for the console to read what was sent.
    static constexpr std::chrono::milliseconds kDrainLimit{2000};

private:
    bool WaitWritable(const StopSignal& stop);

    std::uint32_t baud_;
    std::chrono::nanoseconds byteTime_;
    UniqueFd master_;
    UniqueFd slave_;
    std::string slavePath_;
    std::unique_ptr<SymlinkGuard> link_;
    std::uint32_t lastRemarkedBaud_;
};

}  // namespace vk630sim
