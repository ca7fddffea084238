#include "core/frame_splitter.h"

#include <algorithm>

namespace vk630sim {
namespace {

constexpr std::size_t kPrefixLength = 7;  // six characters and "#"
constexpr std::size_t kNameLength = kPrefixLength - 1;

std::size_t FindFirstPrefix(std::string_view text, std::size_t from) {
    std::size_t first = std::string_view::npos;
    for (auto prefix : kFramePrefixes) first = std::min(first, text.find(prefix, from));
    return first;
}

// Length of the longest tail of text that is the beginning of a prefix: it
// may be completed by the next read, so it is not junk yet.
std::size_t PossiblePrefixTail(std::string_view text) {
    for (std::size_t n = std::min(text.size(), kNameLength); n > 0; --n) {
        auto tail = text.substr(text.size() - n);
        for (auto prefix : kFramePrefixes) {
            if (prefix.starts_with(tail)) return n;
        }
    }
    return 0;
}

// The write and query names cannot end a valid frame's body (they are no
// hexadecimal text and no value the device stores), so a body ending in one
// of them right before its "#" means the frame was cut short and a new one
// began. "999999" is left out: a hexadecimal command may end that way.
bool BodyEndsInNewPrefix(std::string_view frameUpToHash) {
    if (frameUpToHash.size() < 2 * kPrefixLength - 1) return false;
    auto name = frameUpToHash.substr(frameUpToHash.size() - kNameLength);
    return name == kWritePrefix.substr(0, kNameLength) ||
           name == kQueryPrefix.substr(0, kNameLength);
}

}  // namespace

FrameSplitter::FrameSplitter(std::size_t maxFrameLength) : maxFrameLength_(maxFrameLength) {}

std::vector<LinePiece> FrameSplitter::Feed(std::string_view bytes) {
    buffer_.append(bytes);
    std::string_view text = buffer_;
    std::vector<LinePiece> pieces;
    auto junk = [&](std::size_t from, std::size_t to) {
        if (to > from)
            pieces.push_back({LinePiece::Kind::Junk, std::string(text.substr(from, to - from))});
    };

    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t start = FindFirstPrefix(text, pos);
        if (start == std::string_view::npos) {
            std::size_t keep = PossiblePrefixTail(text.substr(pos));
            junk(pos, text.size() - keep);
            pos = text.size() - keep;
            break;
        }
        junk(pos, start);
        std::size_t hash = text.find('#', start + kPrefixLength);
        if (hash == std::string_view::npos) {
            if (text.size() - start > maxFrameLength_) {
                junk(start, text.size());
                pos = text.size();
            } else {
                pos = start;
            }
            break;
        }
        if (BodyEndsInNewPrefix(text.substr(start, hash - start))) {
            std::size_t restart = hash - kNameLength;
            junk(start, restart);
            pos = restart;
            continue;
        }
        pieces.push_back(
            {LinePiece::Kind::Frame, std::string(text.substr(start, hash + 1 - start))});
        pos = hash + 1;
    }
    buffer_.erase(0, pos);
    return pieces;
}

}  // namespace vk630sim
