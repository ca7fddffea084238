// Cuts the byte stream from the console into frames. A frame starts at one
// of the three family prefixes and ends at the first "#" after it; bytes
// outside any frame are handed back as junk so the caller can report them.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vk630sim {

inline constexpr std::string_view kWritePrefix = "TEKVAR#";
inline constexpr std::string_view kQueryPrefix = "PPPPPP#";
inline constexpr std::string_view kCommPrefix = "999999#";
inline constexpr std::array<std::string_view, 3> kFramePrefixes = {kWritePrefix, kQueryPrefix,
                                                                   kCommPrefix};

struct LinePiece {
    enum class Kind { Frame, Junk };
    Kind kind;
    std::string bytes;  // a whole frame, prefix and closing "#" included, or the skipped bytes

    bool operator==(const LinePiece&) const = default;
};

class FrameSplitter {
public:
    // The console cannot send more than 65535 bytes in one frame; anything
    // longer without its closing "#" is noise and must not grow without end.
    static constexpr std::size_t kMaxFrameLength = 65535;

    explicit FrameSplitter(std::size_t maxFrameLength = kMaxFrameLength);

    // Takes the next bytes read from the line; returns the frames completed
    // and the junk skipped by them, in line order. An unfinished frame or a
    // possible start of a prefix is kept for the next call.
    std::vector<LinePiece> Feed(std::string_view bytes);

    // Bytes kept back, waiting for the rest of a frame.
    std::size_t Pending() const { return buffer_.size(); }

private:
    std::string buffer_;
    std::size_t maxFrameLength_;
};

}  // namespace vk630sim
