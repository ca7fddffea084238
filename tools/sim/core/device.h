// The simulated transmitter: takes one whole frame from the console and
// gives the reply text it sends back.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/device_state.h"

namespace vk630sim {

inline constexpr const char* kUnknownQuery = "ERR:unknown query\r\n";

class Device {
public:
    explicit Device(DeviceState initial = {}) : state_(std::move(initial)) {}
    // Plays a device that lacks the commands whose keyword ("COMR01",
    // "JTM") begins with one of `keywords`: they get the unknown reply.
    Device(DeviceState initial, std::vector<std::string> unknown)
        : state_(std::move(initial)), unknown_(std::move(unknown)) {}

    // `frame` is one frame as the splitter delivers it: prefix, body and
    // the closing "#".
    std::string Answer(std::string_view frame);

    const DeviceState& State() const { return state_; }

private:
    std::string AnswerQuery(std::string_view keyword) const;

    DeviceState state_;
    std::vector<std::string> unknown_;
};

}  // namespace vk630sim
