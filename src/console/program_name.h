// The name the console goes by: its window caption and the error box title.
#pragma once

namespace console {

inline constexpr char kProgramName[] = "VK630-E";

}  // namespace console
