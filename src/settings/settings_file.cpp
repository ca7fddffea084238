#include "settings/settings_file.h"

#include <cstdint>
#include <string_view>

#include "settings/document_json.h"
#include "settings/key_path.h"
#include "settings/quoted_value.h"

namespace settings {
namespace {

constexpr const char* kFormat = "vk630e-settings";
constexpr std::int64_t kVersion = 1;

// Texts are byte strings of 8-bit characters, the file is UTF-8: a byte is
// the character of the same code, both ways.
std::string Utf8FromBytes(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return text;
}

// The parser has already refused text that is not UTF-8.
bool BytesFromUtf8(std::string_view text, std::string& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            bytes += static_cast<char>(lead);
        } else if ((lead & 0xE0) == 0xC0 && lead <= 0xC3 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[++i]);
            bytes += static_cast<char>(((lead & 0x03) << 6) | (next & 0x3F));
        } else {
            return false;  // a character beyond code 255
        }
    }
    return true;
}

std::vector<PathStep> Child(std::vector<PathStep> steps, PathStep step) {
    steps.push_back(std::move(step));
    return steps;
}

std::string Found(const Json& value) {
    return std::string(", found ") + (value.is_string() ? "a text" : value.type_name());
}

// A wrong value as a message quotes it: never a whole list or object, and
// of a text only its start.
std::string Shown(const Json& value) {
    if (value.is_string()) return Quoted(value.get_ref<const std::string&>());
    if (value.is_structured()) return value.type_name();
    return value.dump();
}

// The place of a key path in a document, made as it is first named.
Json& NodeAt(Json& doc, std::string_view path) {
    Json* node = &doc;
    for (const PathStep& step : SplitPath(path)) {
        if (const auto* key = std::get_if<std::string>(&step))
            node = &(*node)[*key];
        else
            node = &(*node)[std::get<std::size_t>(step)];
    }
    return *node;
}

// The shape every file has: objects, arrays and, at the leaves, the
// position of the setting in AllSettings (or -1 for the header texts).
const Json& Skeleton() {
    static const Json skeleton = [] {
        Json doc = Json::object();
        doc["format"] = -1;
        doc["version"] = -1;
        doc["saved"] = -1;
        doc["program"] = -1;
        const auto& table = AllSettings();
        for (std::size_t i = 0; i < table.size(); ++i) {
            NodeAt(doc, table[i].path) = static_cast<std::int64_t>(i);
        }
        return doc;
    }();
    return skeleton;
}

std::string KeyList(const Json& object) {
    std::string list;
    for (const auto& item : object.items()) {
        if (!list.empty()) list += ", ";
        list += item.key();
    }
    return list;
}

std::string ChoiceList(const Setting& setting) {
    std::string list;
    for (const std::string_view item : setting.choices) {
        list += '"';
        list += item;
        list += "\", ";
    }
    return "one of " + list + "or null";
}

class Reader {
public:
    explicit Reader(const std::string& name) : name_(name) {}

    SettingsFile Read(const Json& doc) {
        if (!doc.is_object()) Refuse(name_, {}, "expected an object" + Found(doc));
        CheckHeader(doc);
        Walk(doc, Skeleton(), {});
        file_.saved = doc["saved"].get<std::string>();
        file_.program = doc["program"].get<std::string>();
        return file_;
    }

private:
    void CheckHeader(const Json& doc) {
        const std::string format = std::string("expected \"") + kFormat + "\"";
        auto found = doc.find("format");
        if (found == doc.end()) Refuse(name_, {"format"}, "missing; " + format);
        if (*found != kFormat) Refuse(name_, {"format"}, format + ", found " + Shown(*found));
        found = doc.find("version");
        if (found == doc.end()) Refuse(name_, {"version"}, "missing; expected 1");
        if (!found->is_number_integer() || *found < 1)
            Refuse(name_, {"version"}, "expected 1, found " + Shown(*found));
        if (*found > kVersion)
            Refuse(name_, {"version"},
                   "expected 1; version " + Shown(*found) + " comes from a newer program");
    }

    void Walk(const Json& node, const Json& shape, const std::vector<PathStep>& where) {
        if (shape.is_object()) {
            if (!node.is_object()) Refuse(name_, where, "expected an object" + Found(node));
            for (const auto& item : shape.items()) {
                auto found = node.find(item.key());
                if (found == node.end())
                    Refuse(name_, Child(where, item.key()), "missing key; expected it here");
                Walk(*found, item.value(), Child(where, item.key()));
            }
            for (const auto& item : node.items()) {
                if (!shape.contains(item.key()))
                    Refuse(name_, Child(where, item.key()),
                           "unexpected key; expected only " + KeyList(shape));
            }
        } else if (shape.is_array()) {
            if (!node.is_array() || node.size() != shape.size())
                Refuse(
                    name_, where,
                    "expected a list of " + std::to_string(shape.size()) + " entries" +
                        (node.is_array() ? ", found " + std::to_string(node.size()) : Found(node)));
            for (std::size_t i = 0; i < shape.size(); ++i) Walk(node[i], shape[i], Child(where, i));
        } else {
            Leaf(node, shape.get<std::int64_t>(), where);
        }
    }

    void Leaf(const Json& value, std::int64_t position, const std::vector<PathStep>& where) {
        if (position < 0) {
            // "format" and "version" are checked first; "saved" and "program" are texts.
            if (where.back() == PathStep{"saved"} || where.back() == PathStep{"program"}) {
                if (!value.is_string()) Refuse(name_, where, "expected a text" + Found(value));
            }
            return;
        }
        const Setting& setting = AllSettings()[static_cast<std::size_t>(position)];
        const std::string control(setting.control);
        if (setting.shape == Shape::Choice) {
            file_.fields.indices[control] = ChoiceIndex(setting, value, where);
            return;
        }
        if (!value.is_string()) Refuse(name_, where, "expected a text in quotes" + Found(value));
        std::string bytes;
        if (!BytesFromUtf8(value.get_ref<const std::string&>(), bytes))
            Refuse(name_, where, "expected characters of code 0 to 255 only");
        if (const auto problem = ValueProblem(setting, bytes)) Refuse(name_, where, *problem);
        file_.fields.texts[control] = std::move(bytes);
    }

    int ChoiceIndex(const Setting& setting, const Json& value, const std::vector<PathStep>& where) {
        if (value.is_null()) return -1;  // the box with no item chosen
        if (value.is_string()) {
            const auto& text = value.get_ref<const std::string&>();
            for (std::size_t i = 0; i < setting.choices.size(); ++i) {
                if (setting.choices[i] == text) return static_cast<int>(i);
            }
            Refuse(name_, where, "expected " + ChoiceList(setting) + ", found " + Shown(value));
        }
        Refuse(name_, where, "expected " + ChoiceList(setting) + Found(value));
    }

    const std::string& name_;
    SettingsFile file_;
};

Json LeafValue(const Setting& setting, const Fields& fields) {
    const std::string control(setting.control);
    if (setting.shape == Shape::Choice) {
        auto found = fields.indices.find(control);
        const int index = found == fields.indices.end() ? -1 : found->second;
        if (index < 0 || index >= static_cast<int>(setting.choices.size())) return nullptr;
        return std::string(setting.choices[static_cast<std::size_t>(index)]);
    }
    auto found = fields.texts.find(control);
    return Utf8FromBytes(found == fields.texts.end() ? std::string_view() : found->second);
}

}  // namespace

std::string WriteSettings(const SettingsFile& file) {
    Json doc = Json::object();
    doc["format"] = kFormat;
    doc["version"] = kVersion;
    doc["saved"] = file.saved;
    doc["program"] = file.program;
    for (const Setting& setting : AllSettings()) {
        NodeAt(doc, setting.path) = LeafValue(setting, file.fields);
    }
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

SettingsFile ReadSettings(const std::string& json, const std::string& name) {
    return Reader(name).Read(ParseDocument(json, name));
}

}  // namespace settings
