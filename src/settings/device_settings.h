// The settings a technician commissions a transmitter with, held by the
// name of the window control that carries each one. The window, the
// settings file and the command-line program all speak this one model, so a
// value read from a file goes into exactly the frame a "Set" button sends.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/reply_decoding.h"

namespace settings {

// How a setting's value is compared after a read-back: numbers by value
// ("10" and "010" agree), texts and choices exactly.
enum class Shape { Text, Number, Choice };

// What the device's parameter reply carries for a text or a number: the
// width of its field there, and whether the frame holds it as hexadecimal
// bytes (two digits each). A value from a file that the reply could not
// carry is refused, since it would reach the line as it stands.
struct Field {
    std::size_t fewest = 0;
    std::size_t most = 0;
    bool hex = false;
};

struct Setting {
    std::string_view path;     // key path in the file: "polling[2].format"
    std::string_view control;  // window control: "MAD2XIN"
    Shape shape;
    Field field;                            // Text and Number only
    std::vector<std::string_view> choices;  // the list's item texts (Choice only)
};

// The 38 settings in the file's order (device, outputs, polling, command slots).
const std::vector<Setting>& AllSettings();
const Setting* FindByControl(std::string_view control);
const Setting* FindByPath(std::string_view path);

// Why a text or number from a file or a command line cannot be sent as it
// stands ("expected 1 to 3 printable ASCII characters other than \"#\", found
// \"017#TEKVAR#JTM:999\""), or nothing when it can. What the technician
// types into the window is not held to this: it goes out as typed.
std::optional<std::string> ValueProblem(const Setting& setting, std::string_view value);

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
