#include "app/port_line.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "seriallink/tcomm.h"

namespace vk630sim {
namespace {

using seriallink::TComm;

// The simulator cuts frames itself, so the link may hand over bytes as soon
// as the line pauses briefly; a shorter reply latency is all this changes.
constexpr std::uint32_t kReadIntervalMs = 10;
constexpr std::size_t kMaxSend = 65535;

seriallink::TParity ToParity(LineParity parity) {
    switch (parity) {
        case LineParity::Odd:
            return seriallink::TParity::Odd;
        case LineParity::Even:
            return seriallink::TParity::Even;
        case LineParity::None:
            break;
    }
    return seriallink::TParity::None;
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

class PortLine : public Line {
public:
    PortLine(const std::string& device, std::uint32_t baud, LineParity parity, const Logger& log)
        : log_(log), byteTime_(ByteTime(baud, parity)) {
        comm_.SetCommName(device);
        comm_.SetBaudRate(baud);
        comm_.SetParity(ToParity(parity));
        comm_.SetParityCheck(parity != LineParity::None);
        comm_.SetOutx_XonXoffFlow(false);
        comm_.SetInx_XonXoffFlow(false);
        comm_.SetReadIntervalTimeout(kReadIntervalMs);
        comm_.OnReceiveData = [this](TComm*, const void* buffer, std::uint16_t length) {
            inbox_.append(static_cast<const char*>(buffer), length);
        };
        comm_.OnReceiveError = [this](TComm*, std::uint32_t flags) {
            log_.Note("line error flags " + Hex(flags) + " (wrong rate or parity on the console?)");
        };
        comm_.OnModemStateChange = [this](TComm*, std::uint32_t event) {
            log_.Note("modem lines changed: " + Hex(event));
        };
        comm_.OnRequestHangup = [this](TComm*) { lost_ = true; };
        try {
            comm_.OpenPort();
        } catch (const seriallink::ECommsError& e) {
            throw std::runtime_error("cannot open " + device + ": " + e.what());
        }
    }

    ~PortLine() override { comm_.ClosePort(); }

    int WaitFd() const override { return comm_.NotifyFd(); }

    bool Receive(std::string& bytes) override {
        comm_.DispatchNotification();
        bytes += inbox_;
        inbox_.clear();
        return !lost_ || !bytes.empty();
    }

    // The link only queues the bytes; the port puts them on the wire at its
    // rate. Waiting for that keeps a split reply's pause a real pause.
    SendResult Send(std::string_view bytes, const StopSignal& stop) override {
        SendResult result;
        while (result.written < bytes.size()) {
            auto block = bytes.substr(result.written, kMaxSend);
            if (!comm_.SendBytes(block.data(), static_cast<std::uint16_t>(block.size()))) break;
            result.written += block.size();
        }
        result.stopped = !stop.SleepFor(byteTime_ * result.written);
        return result;
    }

    void HangUp(const StopSignal& stop) override {
        stop.SleepFor(kHangUpLinger);
        comm_.ClosePort();
    }

private:
    static constexpr std::chrono::milliseconds kHangUpLinger{400};

    const Logger& log_;
    std::chrono::nanoseconds byteTime_;
    TComm comm_;
    std::string inbox_;
    bool lost_ = false;
};

}  // namespace

std::unique_ptr<Line> OpenPortLine(const std::string& device, std::uint32_t baud, LineParity parity,
                                   const Logger& log) {
    return std::make_unique<PortLine>(device, baud, parity, log);
}

}  // namespace vk630sim
