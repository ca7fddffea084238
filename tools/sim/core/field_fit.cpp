#include "core/field_fit.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vk630sim {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view value) {
    return std::ranges::all_of(value, IsDigit);
}

}  // namespace

std::optional<std::string> FitDigits(std::string_view value, std::size_t width) {
    if (value.empty() || value.size() > width || !AllDigits(value)) return std::nullopt;
    return std::string(width - value.size(), '0') + std::string(value);
}

std::optional<std::string> FitNumber(std::string_view value, std::size_t width) {
    if (value.empty() || value.size() > width) return std::nullopt;
    std::string_view sign = value.starts_with('-') ? value.substr(0, 1) : std::string_view{};
    std::string_view magnitude = value.substr(sign.size());
    auto points = std::ranges::count(magnitude, '.');
    auto digits = std::ranges::count_if(magnitude, IsDigit);
    if (points > 1 || digits == 0 || digits + points != static_cast<long>(magnitude.size())) {
        return std::nullopt;
    }
    return std::string(sign) + std::string(width - value.size(), '0') + std::string(magnitude);
}

std::optional<int> ParseIndex(std::string_view value, int last) {
    if (value.empty() || value.size() > 2 || !AllDigits(value)) return std::nullopt;
    int index = 0;
    std::from_chars(value.data(), value.data() + value.size(), index);
    if (index > last) return std::nullopt;
    return index;
}

bool IsHexText(std::string_view value) {
    return std::ranges::all_of(
        value, [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace vk630sim
