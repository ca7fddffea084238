#include "cli/overrides.h"

#include <vector>

#include "cli/exit_status.h"

namespace cli {
namespace {

[[noreturn]] void Refuse(const std::string& assignment, const std::string& expected) {
    throw Failure(kUsage, "--set " + assignment + ": expected " + expected);
}

const settings::Setting& Find(const std::string& assignment, const std::string& key) {
    if (const settings::Setting* exact = settings::FindByPath(key)) return *exact;
    std::vector<const settings::Setting*> named;
    for (const settings::Setting& setting : settings::AllSettings()) {
        const std::string_view path = setting.path;
        if (path.size() > key.size() && path.ends_with(key) &&
            path[path.size() - key.size() - 1] == '.')
            named.push_back(&setting);
    }
    if (named.size() == 1) return *named.front();
    std::string paths;
    for (const settings::Setting* setting : named) paths += " " + std::string(setting->path);
    Refuse(assignment, named.empty() ? "a key of the settings file, such as address or "
                                       "polling[1].format"
                                     : "one of the key paths" + paths);
}

}  // namespace

void ApplyOverride(settings::Fields& fields, const std::string& assignment) {
    const auto equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) Refuse(assignment, "KEY=VALUE");
    const std::string value = assignment.substr(equals + 1);
    const settings::Setting& setting = Find(assignment, assignment.substr(0, equals));
    const std::string control(setting.control);
    if (setting.shape != settings::Shape::Choice) {
        // Held to the file's rule: a value that could put a frame of its own
        // on the line is refused before the port is opened.
        if (const auto problem = settings::ValueProblem(setting, value))
            throw Failure(kUsage, "--set " + std::string(setting.path) + ": " + *problem);
        fields.texts[control] = value;
        return;
    }
    if (value == "null") {
        fields.indices[control] = -1;
        return;
    }
    std::string items;
    for (std::size_t i = 0; i < setting.choices.size(); ++i) {
        if (setting.choices[i] == value) {
            fields.indices[control] = static_cast<int>(i);
            return;
        }
        items += "\"" + std::string(setting.choices[i]) + "\", ";
    }
    Refuse(assignment, "one of " + items + "or null");
}

}  // namespace cli
