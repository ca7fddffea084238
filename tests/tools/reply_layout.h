// The console's view of a reply: fixed fields at offsets after their keys,
// the first occurrence of a key counting. Written from the console's layout
// table, independent of both the simulator's reply builder and the
// console's decoder, so that a test compares two independent readings.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vk630sim::testing {

// The `length` characters at `offset` after the first `key`; nullopt when
// the key is missing or the field runs past the end.
std::optional<std::string> FieldAt(std::string_view reply, std::string_view key, std::size_t offset,
                                   std::size_t length);

// Every field of a parameter reply by name ("BOAT.baud", "ZDAD02.format",
// "DOAT3.20mA", ...); a field that cannot be read is missing from the map.
std::map<std::string, std::string> ParameterFields(std::string_view reply);

// The fields of the console's start-up settings, as the parameter reply of
// an untouched simulator must show them.
std::map<std::string, std::string> DefaultParameterFields();

// The keys the console's decoders look for.
inline constexpr std::string_view kDecoderKeys[] = {
    "BOAT:",  "ADR:",   "JTM:",   "ZDAD01:", "ZDAD02:", "ZDAD03:", "DOAT1:",
    "DOAT2:", "DOAT3:", "COMR1:", "COMR2:",  "COMP01:", "COMP02:"};

}  // namespace vk630sim::testing
