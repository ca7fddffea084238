#include "settings/quoted_value.h"

#include <cstdio>

namespace settings {

std::string Quoted(std::string_view bytes) {
    std::string quoted = "\"";
    for (const char c : bytes.substr(0, kQuotedBytes)) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (code >= 0x20 && code < 0x7F) {
            quoted += c;
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", code);
            quoted += escape;
        }
    }
    quoted += '"';
    if (bytes.size() > kQuotedBytes) quoted += "…";
    return quoted;
}

std::string Shortened(std::string_view text, std::size_t most) {
    if (text.size() <= most) return std::string(text);
    std::size_t end = most;
    // A continuation byte (10xxxxxx) belongs to the character before it.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end)) + "…";
}

}  // namespace settings
