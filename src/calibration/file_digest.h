// The fingerprint by which a record names the settings file it wrote.
#pragma once

#include <string>
#include <string_view>

namespace calibration {

// SHA-256 of `bytes`, 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace calibration
