#include "core/device.h"

#include "core/frame_splitter.h"
#include "core/reply_builder.h"
#include "core/write_rules.h"

namespace vk630sim {

std::string Device::Answer(std::string_view frame) {
    auto prefix = frame.substr(0, kWritePrefix.size());
    auto body = frame.substr(prefix.size());
    if (body.ends_with('#')) body.remove_suffix(1);
    for (const std::string& keyword : unknown_) {
        if (body.starts_with(keyword))
            return prefix == kWritePrefix ? kUnknownCommand : kUnknownQuery;
    }

    if (prefix == kCommPrefix) return body == "VAR" ? IdentityReply() : kUnknownQuery;
    if (prefix == kQueryPrefix) return AnswerQuery(body);
    if (prefix == kWritePrefix) {
        auto colon = body.find(':');
        if (colon == std::string_view::npos) return kUnknownCommand;
        return ApplyWrite(state_, body.substr(0, colon), body.substr(colon + 1));
    }
    return kUnknownQuery;
}

std::string Device::AnswerQuery(std::string_view keyword) const {
    if (keyword == "CHEACK1") return ParameterReply(state_);
    if (keyword == "STATUS") return StatusReply(state_);
    if (keyword == "COMR01") return CommandTextReply(state_, 1);
    if (keyword == "COMR02") return CommandTextReply(state_, 2);
    if (keyword == "COMP01") return CommandParseReply(state_, 1);
    if (keyword == "COMP02") return CommandParseReply(state_, 2);
    return kUnknownQuery;
}

}  // namespace vk630sim
