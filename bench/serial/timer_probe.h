// How late a 300 ms wait ends, by the way it is timed: the choice behind
// the receive thread's timer descriptor.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace bench {

// Overshoot in ms per mechanism, `samples` waits each.
std::map<std::string, std::vector<double>> MeasureIntervalTimers(int samples);

}  // namespace bench
