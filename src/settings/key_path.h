// Key paths as the settings file's messages name them: "device.address",
// "polling[2].format", "commandSlots[0].parse[1]" (entries counted from 0).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace settings {

// One step of a path: a key of an object or the position in an array.
using PathStep = std::variant<std::string, std::size_t>;

std::vector<PathStep> SplitPath(std::string_view path);
std::string JoinPath(const std::vector<PathStep>& steps);

}  // namespace settings
