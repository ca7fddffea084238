// The settings file's JSON as the reader takes it: parsed with no key given
// twice and no deeper nesting than a file could need, so that what is
// refused is refused while parsing, before anything looks at a value.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "settings/key_path.h"

namespace settings {

// ordered_json keeps the keys in the order they are written, so every file
// lists them as the window shows them, top to bottom.
using Json = nlohmann::ordered_json;

// Lists and objects inside each other; a settings file needs four.
inline constexpr std::size_t kMostNesting = 16;

// Throws BadSettingsFile "name: path: expected".
[[noreturn]] void Refuse(const std::string& name, const std::vector<PathStep>& where,
                         const std::string& expected);

// Throws BadSettingsFile for text that is not JSON, a key given twice in an
// object, or nesting deeper than kMostNesting.
Json ParseDocument(const std::string& text, const std::string& name);

}  // namespace settings
