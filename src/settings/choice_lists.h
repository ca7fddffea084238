// The item texts of the window's choice boxes, exactly as each box holds
// them: a file names a choice by the text the technician sees.
#pragma once

#include <string_view>
#include <vector>

namespace settings {

const std::vector<std::string_view>& BaudChoices();     // MR485BT
const std::vector<std::string_view>& ParityChoices();   // MR485JN
const std::vector<std::string_view>& CommandChoices();  // MAD1USE..MAD3USE
// MAD1XIN and MAD3XIN; MAD2XIN carries one more, empty, item at the end.
const std::vector<std::string_view>& FormatChoices();
const std::vector<std::string_view>& FormatChoicesOfRow2();
const std::vector<std::string_view>& EnableChoices();  // COMAD1, COMAD2

}  // namespace settings
