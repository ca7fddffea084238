#include "settings/device_settings.h"

#include <algorithm>

#include "settings/choice_lists.h"

namespace settings {
namespace {

Setting Text(std::string_view path, std::string_view control) {
    return {path, control, Shape::Text, {}};
}
Setting Number(std::string_view path, std::string_view control) {
    return {path, control, Shape::Number, {}};
}
Setting Choice(std::string_view path, std::string_view control,
               const std::vector<std::string_view>& items) {
    return {path, control, Shape::Choice, items};
}

}  // namespace

const std::vector<Setting>& AllSettings() {
    // Written out rather than generated, so that a key path found in a
    // message can be found here too.
    static const std::vector<Setting> table{
        Choice("device.baud", "MR485BT", BaudChoices()),
        Choice("device.parity", "MR485JN", ParityChoices()),
        Number("device.interval", "JTME"),
        Number("device.address", "ADRM"),
        Number("outputs[0].at4mA", "DAO1H"),
        Number("outputs[0].at20mA", "DAO1L"),
        Number("outputs[1].at4mA", "DAO2H"),
        Number("outputs[1].at20mA", "DAO2L"),
        Number("outputs[2].at4mA", "DAO3H"),
        Number("outputs[2].at20mA", "DAO3L"),
        Choice("polling[0].command", "MAD1USE", CommandChoices()),
        Number("polling[0].start", "MAD1MADR"),
        Number("polling[0].length", "MAD1DADR"),
        Choice("polling[0].format", "MAD1XIN", FormatChoices()),
        Number("polling[0].coefficient", "MAD1XS"),
        Number("polling[0].migration", "DataQY1"),
        Choice("polling[1].command", "MAD2USE", CommandChoices()),
        Number("polling[1].start", "MAD2MADR"),
        Number("polling[1].length", "MAD2DADR"),
        Choice("polling[1].format", "MAD2XIN", FormatChoicesOfRow2()),
        Number("polling[1].coefficient", "MAD2XS"),
        Number("polling[1].migration", "DataQY2"),
        Choice("polling[2].command", "MAD3USE", CommandChoices()),
        Number("polling[2].start", "MAD3MADR"),
        Number("polling[2].length", "MAD3DADR"),
        Choice("polling[2].format", "MAD3XIN", FormatChoices()),
        Number("polling[2].coefficient", "MAD3XS"),
        Number("polling[2].migration", "DataQY3"),
        Choice("commandSlots[0].enable", "COMAD1", EnableChoices()),
        Text("commandSlots[0].command", "COMDDATA1"),
        Text("commandSlots[0].parse[0]", "ACOMBY1"),
        Text("commandSlots[0].parse[1]", "ACOMBY2"),
        Text("commandSlots[0].parse[2]", "ACOMBY3"),
        Choice("commandSlots[1].enable", "COMAD2", EnableChoices()),
        Text("commandSlots[1].command", "COMDDATA2"),
        Text("commandSlots[1].parse[0]", "BCOMBY1"),
        Text("commandSlots[1].parse[1]", "BCOMBY2"),
        Text("commandSlots[1].parse[2]", "BCOMBY3"),
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
