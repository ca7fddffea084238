#include "core/options.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "ports/simulator_link.h"

namespace vk630sim {
namespace {

std::optional<std::uint64_t> ParseCount(std::string_view text, std::uint64_t low,
                                        std::uint64_t high) {
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

constexpr std::uint64_t kMaxMilliseconds = 60000;

// "0.5,-0.3,0": one gain error in % for each output, -100 to 100.
std::optional<std::array<double, 3>> ParseOutputErrors(std::string_view text) {
    std::array<double, 3> errors{};
    for (std::size_t k = 0; k < errors.size(); ++k) {
        const std::size_t comma = k + 1 < errors.size() ? text.find(',') : text.size();
        if (comma == std::string_view::npos) return std::nullopt;
        const std::string_view part = text.substr(0, comma);
        auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), errors[k]);
        if (part.empty() || ec != std::errc{} || end != part.data() + part.size()) {
            return std::nullopt;
        }
        if (errors[k] < -100.0 || errors[k] > 100.0) return std::nullopt;
        text.remove_prefix(std::min(comma + 1, text.size()));
    }
    return errors;
}

}  // namespace

std::string UsageText() {
    return "usage: vk630-sim [--port DEVICE] [--baud RATE] [--parity none|odd|even]\n"
           "                 [--link PATH] [--delay MS] [--split-reply MS] [--garbage N]\n"
           "                 [--silent] [--hangup-after N] [--unknown KEYWORDS] [--quiet]\n"
           "                 [--output-error E1,E2,E3] [--meter FILE]\n"
           "Plays a VK630-E transmitter on a pseudo-terminal (default) or on a serial port.\n"
           "  --port DEVICE      answer on this serial port instead of a pseudo-terminal\n"
           "  --baud RATE        line rate (default 9600); replies are paced at it\n"
           "  --parity P         none (default), odd or even\n"
           "  --link PATH        stable name of the pseudo-terminal\n"
           "                     (default $XDG_RUNTIME_DIR/vk630-sim, else /tmp/vk630-sim)\n"
           "  --delay MS         device delay before each reply (default 20)\n"
           "  --split-reply MS   send each reply in two bursts MS ms apart\n"
           "  --garbage N        send N junk bytes before each reply\n"
           "  --silent           receive and log, never answer\n"
           "  --hangup-after N   close the line after N frames\n"
           "  --unknown KEYWORDS answer the commands beginning with these (COMR,COMP)\n"
           "                     as a device without them does\n"
           "  --quiet            log nothing on standard error\n"
           "  --output-error E1,E2,E3\n"
           "                     gain error of outputs 1 to 3 in %, which the stored\n"
           "                     coefficients correct in test mode (default 0,0,0)\n"
           "  --meter FILE       rewrite FILE with the three test-mode currents in mA\n"
           "                     whenever they change\n";
}

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
    Options o;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> inlineValue;
        if (auto eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) return inlineValue;
            if (i + 1 < arguments.size()) return arguments[++i];
            return std::nullopt;
        };
        auto flag = [&](bool& target) {
            if (inlineValue) return false;
            target = true;
            return true;
        };
        auto count = [&](std::uint64_t low, std::uint64_t high) -> std::optional<std::uint64_t> {
            auto text = value();
            return text ? ParseCount(*text, low, high) : std::nullopt;
        };
        auto bad = [&](std::string why) { return ParsedOptions{std::nullopt, name + ": " + why}; };

        if (name == "--help" || name == "-h") {
            if (!flag(o.help)) return bad("takes no value");
        } else if (name == "--quiet") {
            if (!flag(o.quiet)) return bad("takes no value");
        } else if (name == "--silent") {
            if (!flag(o.faults.silent)) return bad("takes no value");
        } else if (name == "--port") {
            auto text = value();
            if (!text || text->empty()) return bad("needs a device name");
            o.port = *text;
        } else if (name == "--link") {
            auto text = value();
            if (!text || text->empty()) return bad("needs a path");
            o.link = *text;
        } else if (name == "--baud") {
            auto n = count(50, 4000000);
            if (!n) return bad("needs a rate from 50 to 4000000");
            o.baud = static_cast<std::uint32_t>(*n);
        } else if (name == "--parity") {
            auto text = value();
            if (text == "none") {
                o.parity = LineParity::None;
            } else if (text == "odd") {
                o.parity = LineParity::Odd;
            } else if (text == "even") {
                o.parity = LineParity::Even;
            } else {
                return bad("needs none, odd or even");
            }
        } else if (name == "--delay") {
            auto n = count(0, kMaxMilliseconds);
            if (!n) return bad("needs milliseconds from 0 to 60000");
            o.delay = std::chrono::milliseconds(*n);
        } else if (name == "--split-reply") {
            auto n = count(0, kMaxMilliseconds);
            if (!n) return bad("needs milliseconds from 0 to 60000");
            o.faults.splitReply = std::chrono::milliseconds(*n);
        } else if (name == "--garbage") {
            auto n = count(0, 65535);
            if (!n) return bad("needs a byte count from 0 to 65535");
            o.faults.garbageBytes = *n;
        } else if (name == "--hangup-after") {
            auto n = count(1, 1000000);
            if (!n) return bad("needs a frame count from 1 to 1000000");
            o.faults.hangupAfter = static_cast<unsigned>(*n);
        } else if (name == "--output-error") {
            auto text = value();
            auto errors = text ? ParseOutputErrors(*text) : std::nullopt;
            if (!errors) return bad("needs three percentages from -100 to 100, as 0.5,-0.3,0");
            o.outputErrorPercent = *errors;
        } else if (name == "--meter") {
            auto text = value();
            if (!text || text->empty()) return bad("needs a file name");
            o.meter = *text;
        } else if (name == "--unknown") {
            auto text = value();
            if (!text || text->empty()) return bad("needs keywords such as COMR,COMP");
            for (std::size_t start = 0; start <= text->size();) {
                const std::size_t comma = std::min(text->find(',', start), text->size());
                if (comma == start) return bad("needs keywords such as COMR,COMP");
                o.unknown.push_back(text->substr(start, comma - start));
                start = comma + 1;
            }
        } else {
            return {std::nullopt, "unknown option " + arguments[i]};
        }
    }
    if (o.port && o.link)
        return {std::nullopt, "--link names the pseudo-terminal; not with --port"};
    return {o, ""};
}

std::string DefaultLinkPath(const char* runtimeDir) {
    return ports::SimulatorLinkIn(runtimeDir);
}

unsigned BitsPerByte(LineParity parity) {
    return parity == LineParity::None ? 10 : 11;
}

std::chrono::nanoseconds ByteTime(std::uint32_t baud, LineParity parity) {
    return std::chrono::nanoseconds(1'000'000'000ULL * BitsPerByte(parity) / baud);
}

const char* ParityName(LineParity parity) {
    switch (parity) {
        case LineParity::Odd:
            return "odd";
        case LineParity::Even:
            return "even";
        case LineParity::None:
            break;
    }
    return "none";
}

}  // namespace vk630sim
