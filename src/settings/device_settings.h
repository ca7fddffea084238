// The settings a technician commissions a transmitter with, held by the
// name of the window control that carries each one. The window, the
// settings file and the command-line program all speak this one model, so a
// value read from a file goes into exactly the frame a "Set" button sends.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/reply_decoding.h"

namespace settings {

// How a setting's value is compared after a read-back: numbers by value
// ("10" and "010" agree), texts and choices exactly.
enum class Shape { Text, Number, Choice };

struct Setting {
    std::string_view path;     // key path in the file: "polling[2].format"
    std::string_view control;  // window control: "MAD2XIN"
    Shape shape;
    std::vector<std::string_view> choices;  // the list's item texts (Choice only)
};

// The 38 settings in the file's order (device, outputs, polling, command slots).
const std::vector<Setting>& AllSettings();
const Setting* FindByControl(std::string_view control);
const Setting* FindByPath(std::string_view path);

// Values by control name: texts exactly as typed (bytes, one per character),
// choices by selected index (-1 when no item is chosen).
struct Fields {
    std::map<std::string, std::string, std::less<>> texts;
    std::map<std::string, int, std::less<>> indices;

    bool operator==(const Fields&) const = default;
};

// The values as the window's description starts with them.
Fields WindowDefaults();

// Decoded replies land in a model exactly as in the window: text and index
// updates in order; visibility and captions carry no setting.
void Apply(Fields& fields, const dialogue::DecodeOutcome& outcome);

// The updates that show the values in the window (for "Open Settings…").
std::vector<dialogue::ControlUpdate> ToUpdates(const Fields& fields);

}  // namespace settings
