// Verification: what the device reported against what was written.
#include <optional>

#include "dialogue/number_text.h"
#include "settings/commissioning.h"

namespace settings {
namespace {

constexpr const char* kNotReported = "(not reported)";

std::optional<long double> NumberOf(const std::string& text) {
    try {
        return dialogue::TextToFloat(text, '.');
    } catch (const dialogue::OperatorError&) {
        return std::nullopt;
    }
}

// "10" and "010" agree, "100.0" and "100" too; a text that is no number
// must match exactly.
bool SameNumber(const std::string& written, const std::string& readBack) {
    const auto a = NumberOf(written);
    const auto b = NumberOf(readBack);
    return a && b ? *a == *b : written == readBack;
}

std::string ChoiceText(const Setting& setting, int index) {
    if (index < 0 || index >= static_cast<int>(setting.choices.size())) return "(none)";
    return std::string(setting.choices[static_cast<std::size_t>(index)]);
}

bool Held(const Setting& setting, const Fields& written) {
    const std::string control(setting.control);
    if (setting.shape == Shape::Choice) {
        auto found = written.indices.find(control);
        return found != written.indices.end() && found->second >= 0;
    }
    return written.texts.contains(control);
}

}  // namespace

std::size_t CountHeld(const Fields& written) {
    std::size_t count = 0;
    for (const Setting& setting : AllSettings()) count += Held(setting, written) ? 1 : 0;
    return count;
}

std::vector<Difference> Compare(const Fields& written, const Fields& readBack) {
    std::vector<Difference> differences;
    for (const Setting& setting : AllSettings()) {
        if (!Held(setting, written)) continue;
        const std::string control(setting.control);
        const std::string path(setting.path);
        if (setting.shape == Shape::Choice) {
            const int index = written.indices.at(control);
            auto found = readBack.indices.find(control);
            if (found == readBack.indices.end())
                differences.push_back({path, ChoiceText(setting, index), kNotReported});
            else if (found->second != index)
                differences.push_back(
                    {path, ChoiceText(setting, index), ChoiceText(setting, found->second)});
            continue;
        }
        const std::string& text = written.texts.at(control);
        auto found = readBack.texts.find(control);
        if (found == readBack.texts.end()) {
            differences.push_back({path, text, kNotReported});
            continue;
        }
        const bool same = setting.shape == Shape::Number ? SameNumber(text, found->second)
                                                         : text == found->second;
        if (!same) differences.push_back({path, text, found->second});
    }
    return differences;
}

}  // namespace settings
