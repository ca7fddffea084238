// Feeds arbitrary replies to the three decoders. Besides the sanitizers'
// checks (no read past the reply, no undefined behaviour), it asserts what
// must hold for any input: text fields only ever carry characters copied from
// the reply, and a failure is always the integer conversion's message.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "dialogue/number_text.h"
#include "dialogue/reply_decoding.h"

namespace {

using dialogue::ControlUpdate;
using dialogue::DecodeOutcome;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

void CheckOutcome(std::string_view reply, const DecodeOutcome& outcome) {
    for (const ControlUpdate& update : outcome.updates) {
        if (update.control.empty()) Fail("update without a control");
        if (update.kind == ControlUpdate::Kind::Text && reply.find(update.text) == reply.npos) {
            Fail("text field not taken from the reply");
        }
    }
    // The message is carried as a C string and so ends at a NUL; the decode
    // text the window hands over never holds one (it is cut at the first).
    if (outcome.error && reply.find('\0') == reply.npos) {
        const std::string& message = *outcome.error;
        if (message.empty() || message.front() != '\'' ||
            !EndsWith(message, "' is not a valid integer value")) {
            Fail("unexpected error message");
        }
    }
}

// The shared integer conversion against the C library's, for texts it can read.
void CheckIntegerConversion(std::string_view text) {
    if (text.size() > 64 || text.find('\0') != text.npos) return;
    const std::string copy(text);
    errno = 0;
    char* end = nullptr;
    const long long reference = std::strtoll(copy.c_str(), &end, 10);
    const bool referenceValid = end != copy.c_str() && *end == '\0' && errno == 0 &&
                                reference >= std::numeric_limits<std::int32_t>::min() &&
                                reference <= std::numeric_limits<std::int32_t>::max();
    std::int32_t value = 0;
    const bool valid = dialogue::TryTextToInt(text, value);
    if (valid != referenceValid || (valid && value != reference)) Fail("integer conversion");
}

void ExerciseFloatConversion(std::string_view text) {
    for (char separator : {'.', ','}) {
        try {
            (void)dialogue::TextToFloat(text, separator);
        } catch (const dialogue::OperatorError&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    CheckOutcome(reply, dialogue::DecodeParameters(reply));
    CheckOutcome(reply, dialogue::DecodeCommandText(reply));
    CheckOutcome(reply, dialogue::DecodeCommandParse(reply));
    CheckIntegerConversion(reply);
    ExerciseFloatConversion(reply.substr(0, 256));
    return 0;
}
