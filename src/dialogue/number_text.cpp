#include "dialogue/number_text.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace dialogue {
namespace {

// The blanks the C library skips before a number in the "C" locale. Decided
// here once, so that the result never depends on the process's locale.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

std::string QuotedMessage(std::string_view text, const char* tail) {
    std::string message;
    message.reserve(text.size() + 40);
    message += '\'';
    message += text;
    message += "' ";
    message += tail;
    return message;
}

}  // namespace

bool TryTextToInt(std::string_view text, std::int32_t& value) {
    std::size_t pos = SkipBlanks(text, 0);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size()) return false;

    // Accumulate the magnitude in 64 bits and give up as soon as it can no
    // longer fit, so any number of digits is safe.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        if (!IsDigit(text[pos])) return false;
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > kLimit) return false;
    }
    if (!negative && magnitude == kLimit) return false;
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

std::int32_t TextToInt(std::string_view text) {
    std::int32_t value = 0;
    if (!TryTextToInt(text, value)) {
        throw OperatorError(QuotedMessage(text, "is not a valid integer value"));
    }
    return value;
}

namespace {

// Checks the accepted shape and rewrites it with "." as separator and no
// blanks or plus signs, the form std::from_chars reads in every locale.
bool NormaliseFloatText(std::string_view text, char decimalSeparator, std::string& normalised) {
    std::size_t pos = SkipBlanks(text, 0);
    std::size_t end = text.size();
    while (end > pos && IsBlank(text[end - 1])) --end;

    normalised.clear();
    if (pos < end && (text[pos] == '+' || text[pos] == '-')) {
        if (text[pos] == '-') normalised += '-';
        ++pos;
    }

    std::size_t mantissaDigits = 0;
    bool separatorSeen = false;
    for (; pos < end; ++pos) {
        const char c = text[pos];
        if (IsDigit(c)) {
            normalised += c;
            ++mantissaDigits;
        } else if (c == decimalSeparator && !separatorSeen) {
            normalised += '.';
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return false;

    if (pos < end && (text[pos] == 'e' || text[pos] == 'E')) {
        normalised += 'e';
        ++pos;
        if (pos < end && (text[pos] == '+' || text[pos] == '-')) {
            if (text[pos] == '-') normalised += '-';
            ++pos;
        }
        std::size_t exponentDigits = 0;
        for (; pos < end && IsDigit(text[pos]); ++pos) {
            normalised += text[pos];
            ++exponentDigits;
        }
        if (exponentDigits == 0) return false;
    }
    return pos == end;
}

}  // namespace

long double TextToFloat(std::string_view text, char decimalSeparator) {
    std::string normalised;
    long double value = 0;
    if (NormaliseFloatText(text, decimalSeparator, normalised)) {
        const char* first = normalised.data();
        const char* last = first + normalised.size();
        const auto [ptr, ec] = std::from_chars(first, last, value);
        // Out of range (either way) is refused rather than turned into an
        // infinity or a silent zero.
        if (ec == std::errc{} && ptr == last) return value;
    }
    throw OperatorError(QuotedMessage(text, "is not a valid floating point value"));
}

}  // namespace dialogue
