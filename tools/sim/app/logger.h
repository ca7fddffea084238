// The conversation on standard error, one timestamped line per event, so a
// technician sees what the console sent and what the device answered.
#pragma once

#include <string>
#include <string_view>

namespace vk630sim {

// Bytes as readable text: printable ASCII unchanged, "\r", "\n" and "\\",
// every other byte as "\xNN".
std::string Printable(std::string_view bytes);

class Logger {
public:
    explicit Logger(bool quiet) : quiet_(quiet) {}

    void Received(std::string_view frame) const { Line("rx " + Printable(frame)); }
    void Sent(std::string_view bytes) const { Line("tx " + Printable(bytes)); }
    void Skipped(std::string_view junk) const;
    void Note(std::string_view text) const { Line(std::string(text)); }

private:
    void Line(const std::string& text) const;

    bool quiet_;
};

}  // namespace vk630sim
