// The simulator's loop: reads the line, cuts frames, answers them through
// the fault plan, until a stop signal, a hang-up fault or the loss of the line.
#pragma once

#include "app/line.h"
#include "app/logger.h"
#include "app/meter.h"
#include "app/stop_signal.h"
#include "core/device.h"
#include "core/reply_plan.h"

namespace vk630sim {

// Exit status: 0 after a stop signal or a hang-up fault, 1 when the line is lost.
int RunConversation(Line& line, Device& device, ReplyPlanner& planner, const Logger& log,
                    const StopSignal& stop, Meter& meter);

}  // namespace vk630sim
