#include "dialogue/reply_decoding.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dialogue/number_text.h"

namespace dialogue {

ControlUpdate TextUpdate(std::string control, std::string text) {
    ControlUpdate update;
    update.kind = ControlUpdate::Kind::Text;
    update.control = std::move(control);
    update.text = std::move(text);
    return update;
}

ControlUpdate IndexUpdate(std::string control, int index) {
    ControlUpdate update;
    update.kind = ControlUpdate::Kind::ItemIndex;
    update.control = std::move(control);
    update.index = index;
    return update;
}

ControlUpdate VisibleUpdate(std::string control, bool visible) {
    ControlUpdate update;
    update.kind = ControlUpdate::Kind::Visible;
    update.control = std::move(control);
    update.visible = visible;
    return update;
}

ControlUpdate CaptionUpdate(std::string control, std::string caption) {
    ControlUpdate update;
    update.kind = ControlUpdate::Kind::Caption;
    update.control = std::move(control);
    update.text = std::move(caption);
    return update;
}

std::size_t FindKey(std::string_view text, std::string_view key) {
    return text.find(key);
}

namespace {

// The fields of one block, at offsets from its key. A reply cut short must
// never make us read past its end: the first field that does not lie wholly
// inside the text ends the block, so later fields of the same block stay
// unread even where a shorter one would happen to fit.
class BlockReader {
public:
    BlockReader(std::string_view text, std::size_t keyPosition)
        : block_(text.substr(keyPosition)) {}

    std::optional<std::string_view> Field(std::size_t offset, std::size_t length) {
        if (cut_ || offset > block_.size() || length > block_.size() - offset) {
            cut_ = true;
            return std::nullopt;
        }
        return block_.substr(offset, length);
    }

private:
    std::string_view block_;
    bool cut_ = false;
};

enum class Conversion { Text, Index, IntervalWithModeRule };

struct FieldLayout {
    std::size_t offset;
    std::size_t length;
    Conversion conversion;
    std::string control;
};

struct BlockLayout {
    std::string key;
    std::vector<FieldLayout> fields;
};

std::string Numbered(std::string_view stem, int number, std::string_view tail = {}) {
    return std::string(stem) + std::to_string(number) + std::string(tail);
}

std::vector<BlockLayout> MakeParameterBlocks() {
    std::vector<BlockLayout> blocks;
    blocks.push_back(
        {"BOAT:", {{5, 1, Conversion::Index, "MR485BT"}, {7, 1, Conversion::Index, "MR485JN"}}});
    blocks.push_back({"ADR:", {{4, 3, Conversion::Text, "ADRM"}}});
    blocks.push_back({"JTM:", {{4, 3, Conversion::IntervalWithModeRule, "JTME"}}});
    for (int slot = 1; slot <= 3; ++slot) {
        blocks.push_back({Numbered("ZDAD0", slot, ":"),
                          {{7, 1, Conversion::Index, Numbered("MAD", slot, "USE")},
                           {9, 3, Conversion::Text, Numbered("MAD", slot, "MADR")},
                           {13, 1, Conversion::Text, Numbered("MAD", slot, "DADR")},
                           {15, 2, Conversion::Index, Numbered("MAD", slot, "XIN")},
                           {18, 6, Conversion::Text, Numbered("MAD", slot, "XS")},
                           {25, 5, Conversion::Text, Numbered("DataQY", slot)}}});
    }
    for (int row = 1; row <= 3; ++row) {
        blocks.push_back({Numbered("DOAT", row, ":"),
                          {{6, 5, Conversion::Text, Numbered("DAO", row, "H")},
                           {12, 5, Conversion::Text, Numbered("DAO", row, "L")}}});
    }
    return blocks;
}

std::vector<BlockLayout> MakeCommandParseBlocks() {
    std::vector<BlockLayout> blocks;
    blocks.push_back({"COMP01:",
                      {{7, 2, Conversion::Text, "ACOMBY1"},
                       {9, 2, Conversion::Text, "ACOMBY2"},
                       {11, 2, Conversion::Text, "ACOMBY3"}}});
    blocks.push_back({"COMP02:",
                      {{7, 2, Conversion::Text, "BCOMBY1"},
                       {9, 2, Conversion::Text, "BCOMBY2"},
                       {11, 2, Conversion::Text, "BCOMBY3"}}});
    return blocks;
}

// After the interval is written, its numeric value decides the layout; this
// runs after the window's own "000" rule and so has the last word.
// GroupBox1 is deliberately left alone.
void AppendModeRule(std::int32_t interval, std::vector<ControlUpdate>& updates) {
    const bool full = interval != 0;
    for (const char* group : {"GroupBox7", "GroupBox5", "GroupBox3"}) {
        updates.push_back(VisibleUpdate(group, full));
    }
    updates.push_back(CaptionUpdate("Label2", full ? "OUT1:" : "ADDR:00"));
    updates.push_back(CaptionUpdate("Label3", full ? "OUT2:" : "ADDR:02"));
    updates.push_back(CaptionUpdate("Label5", full ? "OUT3:" : "ADDR:04"));
}

// Throws OperatorError at the first field that fails its conversion; the
// updates appended so far stand.
void DecodeBlocks(std::string_view text, const std::vector<BlockLayout>& blocks,
                  std::vector<ControlUpdate>& updates) {
    for (const BlockLayout& block : blocks) {
        const std::size_t position = FindKey(text, block.key);
        if (position == std::string_view::npos) continue;
        BlockReader reader(text, position);
        for (const FieldLayout& field : block.fields) {
            const std::optional<std::string_view> chars = reader.Field(field.offset, field.length);
            if (!chars) break;
            switch (field.conversion) {
                case Conversion::Text:
                    updates.push_back(TextUpdate(field.control, std::string(*chars)));
                    break;
                case Conversion::Index:
                    updates.push_back(IndexUpdate(field.control, TextToInt(*chars)));
                    break;
                case Conversion::IntervalWithModeRule:
                    // The text goes in first (the window's change rule fires on
                    // it), then the same characters are converted.
                    updates.push_back(TextUpdate(field.control, std::string(*chars)));
                    AppendModeRule(TextToInt(*chars), updates);
                    break;
            }
        }
    }
}

// "COMR1:e,NN,<2N characters>": the command text's width comes from the reply
// itself, so it is checked against what is actually there before reading.
void DecodeCommandSlot(std::string_view text, int slot, std::vector<ControlUpdate>& updates) {
    const std::size_t position = FindKey(text, Numbered("COMR", slot, ":"));
    if (position == std::string_view::npos) return;
    BlockReader reader(text, position);

    const std::optional<std::string_view> enable = reader.Field(6, 1);
    if (!enable) return;
    updates.push_back(IndexUpdate(Numbered("COMAD", slot), TextToInt(*enable)));

    const std::optional<std::string_view> length = reader.Field(8, 2);
    if (!length) return;
    const std::int32_t byteCount = TextToInt(*length);

    const std::string commandControl = Numbered("COMDDATA", slot);
    if (byteCount <= 0) {
        // Nothing to read, so nothing can lie outside the text.
        updates.push_back(TextUpdate(commandControl, ""));
        return;
    }
    const std::optional<std::string_view> command =
        reader.Field(11, 2 * static_cast<std::size_t>(byteCount));
    if (!command) return;
    updates.push_back(TextUpdate(commandControl, std::string(*command)));
}

template <typename Decode>
DecodeOutcome Run(Decode decode) {
    DecodeOutcome outcome;
    try {
        decode(outcome.updates);
    } catch (const OperatorError& failure) {
        outcome.error = failure.what();
    }
    return outcome;
}

}  // namespace

DecodeOutcome DecodeParameters(std::string_view text) {
    static const std::vector<BlockLayout> blocks = MakeParameterBlocks();
    return Run([&](std::vector<ControlUpdate>& updates) { DecodeBlocks(text, blocks, updates); });
}

DecodeOutcome DecodeCommandText(std::string_view text) {
    return Run([&](std::vector<ControlUpdate>& updates) {
        DecodeCommandSlot(text, 1, updates);
        DecodeCommandSlot(text, 2, updates);
    });
}

DecodeOutcome DecodeCommandParse(std::string_view text) {
    static const std::vector<BlockLayout> blocks = MakeCommandParseBlocks();
    return Run([&](std::vector<ControlUpdate>& updates) { DecodeBlocks(text, blocks, updates); });
}

}  // namespace dialogue
