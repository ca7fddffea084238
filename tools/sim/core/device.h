// The simulated transmitter: takes one whole frame from the console and
// gives the reply text it sends back.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "core/device_state.h"

namespace vk630sim {

inline constexpr const char* kUnknownQuery = "ERR:unknown query\r\n";

class Device {
public:
    explicit Device(DeviceState initial = {}) : state_(std::move(initial)) {}

    // `frame` is one frame as the splitter delivers it: prefix, body and
    // the closing "#".
    std::string Answer(std::string_view frame);

    const DeviceState& State() const { return state_; }

private:
    std::string AnswerQuery(std::string_view keyword) const;

    DeviceState state_;
};

}  // namespace vk630sim
