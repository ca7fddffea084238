// The replies the transmitter sends, in the fixed layouts the console
// decodes: every value at its offset after its key. Replies end in CR LF,
// which the console shows in its receive box and never decodes.
#pragma once

#include <string>

#include "core/device_state.h"

namespace vk630sim {

inline constexpr const char* kReplyEnd = "\r\n";
inline constexpr const char* kIdentity = "VK630-E V1.0 SIM";

// "BOAT:3,0 ADR:001 JTM:010 ZDAD01:0,001,0,00,000001,00000 ... DOAT3:0.000,100.0"
std::string ParameterReply(const DeviceState& state);
// "COMR1:0,08,0103000000044409"; slot is 1 or 2.
std::string CommandTextReply(const DeviceState& state, int slot);
// "COMP01:010300"; slot is 1 or 2.
std::string CommandParseReply(const DeviceState& state, int slot);
// "STATUS:OUT1=8.000mA,OUT2=12.000mA,OUT3=16.000mA", with "TEST," after the
// colon and the test current on every output while in test mode.
std::string StatusReply(const DeviceState& state);
std::string IdentityReply();

// Current of output k (0 to 2) outside test mode: the simulated process
// value of that output mapped onto its range, held within 4 to 20 mA.
double OutputCurrent(const OutputRange& range, int output);

// Current of output k (0 to 2) in test mode: the test current with the
// output's gain error, corrected by its stored coefficient ("000001" is 1),
// held within what the output stage drives. That the device applies the
// coefficient to the test current is this simulator's assumption.
double TestModeCurrent(const DeviceState& state, int output);

// The process values the simulated instruments deliver to outputs 1 to 3.
inline constexpr double kProcessValues[3] = {25.0, 50.0, 75.0};

}  // namespace vk630sim
