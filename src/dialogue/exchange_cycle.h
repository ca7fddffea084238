// The request/reply cycle between console and transmitter: send steps,
// the receive step and the decode step. Plain logic: the window (or a test)
// supplies the host that shows texts, sends bytes, runs the one-shot decode
// timer and applies decoded values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dialogue/reply_decoding.h"

namespace dialogue {

class ExchangeHost {
public:
    virtual ~ExchangeHost() = default;
    virtual void SetSendLine(const std::string& frame) = 0;
    virtual void ClearReceiveBox() = 0;
    // The received text as the receive box shows it (cut at the first NUL).
    virtual void ShowReceived(std::string_view text) = 0;
    virtual bool SendBytes(const std::string& frame) = 0;
    virtual bool DecodeTimerEnabled() const = 0;
    virtual void EnableDecodeTimer() = 0;
    virtual void DisableDecodeTimer() = 0;
    // Applies the updates in order, then throws the outcome's error, if any.
    virtual void ApplyUpdates(const DecodeOutcome& outcome) = 0;
};

class ExchangeCycle {
public:
    explicit ExchangeCycle(ExchangeHost& host) : host_(host) {}

    std::int32_t ReplyKind = 0;
    std::string ReplyText;

    // Send steps for a composed frame; kind, when given, becomes ReplyKind.
    void Send(const std::string& frame, std::optional<std::int32_t> kind);
    // Receive step for one chunk.
    void Receive(const void* buffer, std::uint16_t length);
    // Decode step at the timer's tick.
    void Tick();

private:
    ExchangeHost& host_;
};

}  // namespace dialogue
