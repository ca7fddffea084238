#include "settings/device_settings.h"

#include <algorithm>

#include "settings/choice_lists.h"
#include "settings/quoted_value.h"

namespace settings {
namespace {

// The widths are those of the fields the parameter and command replies are
// decoded from; a reply always fills its field, the window starts narrower
// ("10" for the interval's three characters).
Setting Number(std::string_view path, std::string_view control, std::size_t width) {
    return {path, control, Shape::Number, {1, width, false}, {}};
}
// The two command slots: a command of up to 99 bytes (the reply counts them
// in two digits) and parse bytes of one byte each.
Setting Command(std::string_view path, std::string_view control) {
    return {path, control, Shape::Text, {0, 2 * 99, true}, {}};
}
Setting ParseByte(std::string_view path, std::string_view control) {
    return {path, control, Shape::Text, {2, 2, true}, {}};
}
Setting Choice(std::string_view path, std::string_view control,
               const std::vector<std::string_view>& items) {
    return {path, control, Shape::Choice, {}, items};
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// A "#" would end the frame early and start another; a NUL or a control
// character is no part of any reply.
bool IsCarried(char c) {
    return c >= 0x20 && c < 0x7F && c != '#';
}

std::string Expected(const Field& field) {
    if (field.hex) {
        if (field.fewest == field.most) return std::to_string(field.most) + " hexadecimal digits";
        return "an even number of hexadecimal digits, at most " + std::to_string(field.most);
    }
    const std::string count = field.fewest == field.most ? std::to_string(field.most)
                                                         : std::to_string(field.fewest) + " to " +
                                                               std::to_string(field.most);
    return count + " printable ASCII character" + (field.most == 1 ? "" : "s") +
           " other than \"#\"";
}

}  // namespace

const std::vector<Setting>& AllSettings() {
    // Written out rather than generated, so that a key path found in a
    // message can be found here too.
    static const std::vector<Setting> table{
        Choice("device.baud", "MR485BT", BaudChoices()),
        Choice("device.parity", "MR485JN", ParityChoices()),
        Number("device.interval", "JTME", 3),
        Number("device.address", "ADRM", 3),
        Number("outputs[0].at4mA", "DAO1H", 5),
        Number("outputs[0].at20mA", "DAO1L", 5),
        Number("outputs[1].at4mA", "DAO2H", 5),
        Number("outputs[1].at20mA", "DAO2L", 5),
        Number("outputs[2].at4mA", "DAO3H", 5),
        Number("outputs[2].at20mA", "DAO3L", 5),
        Choice("polling[0].command", "MAD1USE", CommandChoices()),
        Number("polling[0].start", "MAD1MADR", 3),
        Number("polling[0].length", "MAD1DADR", 1),
        Choice("polling[0].format", "MAD1XIN", FormatChoices()),
        Number("polling[0].coefficient", "MAD1XS", 6),
        Number("polling[0].migration", "DataQY1", 5),
        Choice("polling[1].command", "MAD2USE", CommandChoices()),
        Number("polling[1].start", "MAD2MADR", 3),
        Number("polling[1].length", "MAD2DADR", 1),
        Choice("polling[1].format", "MAD2XIN", FormatChoicesOfRow2()),
        Number("polling[1].coefficient", "MAD2XS", 6),
        Number("polling[1].migration", "DataQY2", 5),
        Choice("polling[2].command", "MAD3USE", CommandChoices()),
        Number("polling[2].start", "MAD3MADR", 3),
        Number("polling[2].length", "MAD3DADR", 1),
        Choice("polling[2].format", "MAD3XIN", FormatChoices()),
        Number("polling[2].coefficient", "MAD3XS", 6),
        Number("polling[2].migration", "DataQY3", 5),
        Choice("commandSlots[0].enable", "COMAD1", EnableChoices()),
        Command("commandSlots[0].command", "COMDDATA1"),
        ParseByte("commandSlots[0].parse[0]", "ACOMBY1"),
        ParseByte("commandSlots[0].parse[1]", "ACOMBY2"),
        ParseByte("commandSlots[0].parse[2]", "ACOMBY3"),
        Choice("commandSlots[1].enable", "COMAD2", EnableChoices()),
        Command("commandSlots[1].command", "COMDDATA2"),
        ParseByte("commandSlots[1].parse[0]", "BCOMBY1"),
        ParseByte("commandSlots[1].parse[1]", "BCOMBY2"),
        ParseByte("commandSlots[1].parse[2]", "BCOMBY3"),
    };
    return table;
}

const Setting* FindByControl(std::string_view control) {
    const auto& table = AllSettings();
    auto it = std::find_if(table.begin(), table.end(),
                           [&](const Setting& s) { return s.control == control; });
    return it == table.end() ? nullptr : &*it;
}

const Setting* FindByPath(std::string_view path) {
    const auto& table = AllSettings();
    auto it =
        std::find_if(table.begin(), table.end(), [&](const Setting& s) { return s.path == path; });
    return it == table.end() ? nullptr : &*it;
}

std::optional<std::string> ValueProblem(const Setting& setting, std::string_view value) {
    const Field& field = setting.field;
    const bool fits = value.size() >= field.fewest && value.size() <= field.most &&
                      (!field.hex || value.size() % 2 == 0) &&
                      std::ranges::all_of(value, field.hex ? IsHexDigit : IsCarried);
    if (fits) return std::nullopt;
    return "expected " + Expected(field) + ", found " + Quoted(value);
}

Fields WindowDefaults() {
    Fields fields;
    const auto text = [&](const char* control, const char* value) {
        fields.texts[control] = value;
    };
    fields.indices["MR485BT"] = 3;
    fields.indices["MR485JN"] = 0;
    text("JTME", "10");
    text("ADRM", "001");
    for (const char* row : {"1", "2", "3"}) {
        const std::string n = row;
        text(("DAO" + n + "H").c_str(), "0.000");
        text(("DAO" + n + "L").c_str(), "100.0");
        // The command-number box shows "0_Close" with no item chosen.
        fields.indices["MAD" + n + "USE"] = -1;
        text(("MAD" + n + "MADR").c_str(), "01");
        text(("MAD" + n + "DADR").c_str(), "0");
        fields.indices["MAD" + n + "XIN"] = 0;
        text(("MAD" + n + "XS").c_str(), "000001");
        text(("DataQY" + n).c_str(), "00000");
    }
    for (const char* slot : {"1", "2"}) {
        const std::string n = slot;
        const std::string bytes = n == "1" ? "ACOMBY" : "BCOMBY";
        // The enable box shows "Close" with no item chosen.
        fields.indices["COMAD" + n] = -1;
        text(("COMDDATA" + n).c_str(), "0103000000044409");
        text((bytes + "1").c_str(), "01");
        text((bytes + "2").c_str(), "03");
        text((bytes + "3").c_str(), "00");
    }
    return fields;
}

void Apply(Fields& fields, const dialogue::DecodeOutcome& outcome) {
    for (const dialogue::ControlUpdate& update : outcome.updates) {
        const Setting* setting = FindByControl(update.control);
        if (setting == nullptr) continue;  // group visibility, label captions
        if (update.kind == dialogue::ControlUpdate::Kind::Text) {
            fields.texts[update.control] = update.text;
        } else if (update.kind == dialogue::ControlUpdate::Kind::ItemIndex) {
            // As in a choice box: an index outside the list selects nothing.
            const int count = static_cast<int>(setting->choices.size());
            fields.indices[update.control] =
                update.index >= 0 && update.index < count ? update.index : -1;
        }
    }
}

std::vector<dialogue::ControlUpdate> ToUpdates(const Fields& fields) {
    std::vector<dialogue::ControlUpdate> updates;
    for (const Setting& setting : AllSettings()) {
        const std::string control(setting.control);
        if (setting.shape == Shape::Choice) {
            auto it = fields.indices.find(control);
            if (it != fields.indices.end())
                updates.push_back(dialogue::IndexUpdate(control, it->second));
        } else {
            auto it = fields.texts.find(control);
            if (it != fields.texts.end())
                updates.push_back(dialogue::TextUpdate(control, it->second));
        }
    }
    return updates;
}

}  // namespace settings
