#include "app/logger.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace vk630sim {

std::string Printable(std::string_view bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\\') {
            text += "\\\\";
        } else if (c >= 0x20 && c < 0x7f) {
            text += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        }
    }
    return text;
}

void Logger::Skipped(std::string_view junk) const {
    Line("skipped " + std::to_string(junk.size()) +
         " bytes that form no frame: " + Printable(junk));
}

void Logger::Line(const std::string& text) const {
    if (quiet_) return;
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[16];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
    std::fprintf(stderr, "%s.%03d %s\n", stamp, static_cast<int>(millis), text.c_str());
    std::fflush(stderr);
}

}  // namespace vk630sim
