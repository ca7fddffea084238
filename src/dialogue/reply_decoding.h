// Decoding of the transmitter's replies into the window's controls. Each
// decoder is a pure function of the decode text: it returns the updates to
// apply, in order, and stops early at the first field that fails its
// conversion (the updates before it stand, the error is shown).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dialogue {

struct ControlUpdate {
    enum class Kind {
        Text,       // control's text := text
        ItemIndex,  // choice box's selected index := index (outside the list: none)
        Visible,    // group's visibility := visible
        Caption,    // label's caption := text
    };
    Kind kind = Kind::Text;
    std::string control;  // the control's name in the window, e.g. "MAD1XS"
    std::string text;
    int index = -1;
    bool visible = false;

    bool operator==(const ControlUpdate&) const = default;
};

// Shorthands for building updates (decoders and tests alike).
ControlUpdate TextUpdate(std::string control, std::string text);
ControlUpdate IndexUpdate(std::string control, int index);
ControlUpdate VisibleUpdate(std::string control, bool visible);
ControlUpdate CaptionUpdate(std::string control, std::string caption);

struct DecodeOutcome {
    std::vector<ControlUpdate> updates;
    std::optional<std::string> error;  // the conversion message, when one failed
};

// Position of the first occurrence of key in text, or npos.
std::size_t FindKey(std::string_view text, std::string_view key);

DecodeOutcome DecodeParameters(std::string_view text);    // ReplyKind 101
DecodeOutcome DecodeCommandText(std::string_view text);   // ReplyKind 1501
DecodeOutcome DecodeCommandParse(std::string_view text);  // ReplyKind 1502

}  // namespace dialogue
