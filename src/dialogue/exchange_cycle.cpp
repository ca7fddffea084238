#include "dialogue/exchange_cycle.h"

#include <string_view>
#include <utility>

#include "dialogue/frames.h"

namespace dialogue {
namespace {

std::string_view UpToFirstNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

void ExchangeCycle::Send(const std::string& frame, std::optional<std::int32_t> kind) {
    host_.SetSendLine(frame);
    host_.ClearReceiveBox();
    // Nothing is reported for a frame that could not be handed over: the
    // operator sees the send line and an empty receive box either way.
    host_.SendBytes(frame);
    if (kind) ReplyKind = *kind;
}

void ExchangeCycle::Receive(const void* buffer, std::uint16_t length) {
    // Every byte value is kept, NUL included, and the whole chunk however
    // long: the device's replies are short, and cutting one would only
    // mislead the decoders.
    std::string chunk = length != 0 ? std::string(static_cast<const char*>(buffer), length) : "";
    host_.ShowReceived(UpToFirstNul(chunk));
    if (ReplyKind == KindDisplayOnly) return;
    ReplyText = std::move(chunk);
    // A pending decode keeps its first schedule, so a burst of chunks gives
    // one decode of the last of them.
    if (!host_.DecodeTimerEnabled()) host_.EnableDecodeTimer();
}

void ExchangeCycle::Tick() {
    // First of all, so that an error in a decoder leaves no decode pending.
    host_.DisableDecodeTimer();
    const std::string_view text = UpToFirstNul(ReplyText);
    switch (ReplyKind) {  // the kind held now, not when the chunk came
        case KindParameters:
            host_.ApplyUpdates(DecodeParameters(text));
            break;
        case KindCommandText:
            host_.ApplyUpdates(DecodeCommandText(text));
            break;
        case KindCommandParse:
            host_.ApplyUpdates(DecodeCommandParse(text));
            break;
        default:
            break;
    }
}

}  // namespace dialogue
