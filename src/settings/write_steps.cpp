// The frames of "Write All Settings" and of the read-back, each built by the
// same frame function as the window's own button.
#include <functional>
#include <string_view>

#include "dialogue/frames.h"
#include "settings/commissioning.h"

namespace settings {
namespace {

class FieldReader {
public:
    explicit FieldReader(const Fields& fields) : fields_(fields) {}

    std::string Text(const std::string& control) const {
        auto found = fields_.texts.find(control);
        return found == fields_.texts.end() ? std::string() : found->second;
    }
    int Index(const std::string& control) const {
        auto found = fields_.indices.find(control);
        return found == fields_.indices.end() ? -1 : found->second;
    }

private:
    const Fields& fields_;
};

// A group's frame, or why it cannot be sent.
struct Built {
    std::string frame;
    std::string refusal;
};

struct WriteGroup {
    std::string name;
    std::vector<std::string> controls;
    std::function<Built(const FieldReader&)> build;
};

std::vector<WriteGroup> WriteGroups() {
    std::vector<WriteGroup> groups;
    groups.push_back({"device line", {"MR485BT", "MR485JN"}, [](const FieldReader& in) {
                          return Built{
                              dialogue::LineSettingsFrame(in.Index("MR485BT"), in.Index("MR485JN")),
                              {}};
                      }});
    groups.push_back({"interval", {"JTME"}, [](const FieldReader& in) {
                          return Built{dialogue::IntervalFrame(in.Text("JTME")), {}};
                      }});
    groups.push_back({"address", {"ADRM"}, [](const FieldReader& in) {
                          return Built{dialogue::AddressFrame(in.Text("ADRM")), {}};
                      }});
    for (int row = 1; row <= 3; ++row) {
        const std::string n = std::to_string(row);
        const std::vector<std::string> controls{"MAD" + n + "USE",  "MAD" + n + "MADR",
                                                "MAD" + n + "DADR", "MAD" + n + "XIN",
                                                "MAD" + n + "XS",   "DataQY" + n};
        groups.push_back({"polling " + n, controls, [row, controls](const FieldReader& in) {
                              dialogue::PollingRow fields;
                              fields.commandIndex = in.Index(controls[0]);
                              fields.startAddress = in.Text(controls[1]);
                              fields.dataLength = in.Text(controls[2]);
                              fields.formatIndex = in.Index(controls[3]);
                              fields.coefficient = in.Text(controls[4]);
                              fields.migration = in.Text(controls[5]);
                              return Built{dialogue::PollingFrame(row, fields), {}};
                          }});
    }
    for (int row = 1; row <= 3; ++row) {
        const std::string n = std::to_string(row);
        const std::string at4 = "DAO" + n + "H";
        const std::string at20 = "DAO" + n + "L";
        groups.push_back(
            {"output " + n, {at4, at20}, [row, at4, at20](const FieldReader& in) {
                 return Built{dialogue::OutputRangeFrame(row, in.Text(at4), in.Text(at20)), {}};
             }});
    }
    for (int slot = 1; slot <= 2; ++slot) {
        const std::string n = std::to_string(slot);
        const std::string enable = "COMAD" + n;
        const std::string command = "COMDDATA" + n;
        groups.push_back(
            {"command " + n, {enable, command}, [slot, enable, command](const FieldReader& in) {
                 const std::string text = in.Text(command);
                 if (!dialogue::IsEvenLength(text))
                     return Built{{},
                                  std::string(FindByControl(command)->path) + ": " +
                                      dialogue::kMsgOddCommand};
                 return Built{dialogue::CommandWriteFrame(slot, in.Index(enable), text), {}};
             }});
        const std::string stem = slot == 1 ? "ACOMBY" : "BCOMBY";
        const std::vector<std::string> bytes{stem + "1", stem + "2", stem + "3"};
        groups.push_back({"command " + n + " parse", bytes, [slot, bytes](const FieldReader& in) {
                              return Built{
                                  dialogue::CommandParseFrame(slot, in.Text(bytes[0]),
                                                              in.Text(bytes[1]), in.Text(bytes[2])),
                                  {}};
                          }});
    }
    return groups;
}

// The kind the group's own button sets; the buttons that set none get
// display-only in the run (see Step).
std::int32_t KindOf(const std::string& group) {
    if (group.rfind("output ", 0) == 0) return dialogue::KindDisplayOnly;
    if (group.rfind("command ", 0) == 0)
        return group.find("parse") != std::string::npos ? dialogue::KindCommandParse
                                                        : dialogue::KindCommandWrite;
    return dialogue::KindDisplayOnly;
}

}  // namespace

std::vector<Step> WriteSteps(const Fields& fields, std::vector<std::string>& skipped) {
    const FieldReader in(fields);
    std::vector<Step> steps;
    for (const WriteGroup& group : WriteGroups()) {
        // Frames from a file never carry an index of -1: the device would
        // take it as a setting nobody chose.
        std::string refusal;
        for (const std::string& control : group.controls) {
            if (FindByControl(control)->shape == Shape::Choice && in.Index(control) < 0) {
                refusal = std::string(FindByControl(control)->path) + " has no item chosen";
                break;
            }
        }
        Built built;
        if (refusal.empty()) {
            built = group.build(in);
            refusal = built.refusal;
        }
        if (refusal.empty() && !dialogue::FitsOneSend(built.frame))
            refusal = dialogue::kMsgFrameTooLong;
        if (!refusal.empty()) {
            skipped.push_back(group.name + " not sent: " + refusal);
            continue;
        }
        steps.push_back({group.name, std::move(built.frame), KindOf(group.name), group.controls});
    }
    return steps;
}

std::vector<Step> ReadBackSteps() {
    std::vector<Step> steps{
        {"parameters", dialogue::ReadParametersFrame(), dialogue::KindParameters, {}}};
    for (int slot = 1; slot <= 2; ++slot) {
        const std::string n = std::to_string(slot);
        steps.push_back(
            {"command " + n, dialogue::CommandTextQueryFrame(slot), dialogue::KindCommandText, {}});
        steps.push_back({"command " + n + " parse",
                         dialogue::CommandParseQueryFrame(slot),
                         dialogue::KindCommandParse,
                         {}});
    }
    return steps;
}

Fields SentPart(const Fields& fields) {
    std::vector<std::string> skipped;
    Fields sent;
    for (const Step& step : WriteSteps(fields, skipped)) {
        for (const std::string& control : step.controls) {
            if (auto text = fields.texts.find(control); text != fields.texts.end())
                sent.texts.insert(*text);
            if (auto index = fields.indices.find(control); index != fields.indices.end())
                sent.indices.insert(*index);
        }
    }
    return sent;
}

}  // namespace settings
