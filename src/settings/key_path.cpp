#include "settings/key_path.h"

namespace settings {

std::vector<PathStep> SplitPath(std::string_view path) {
    std::vector<PathStep> steps;
    std::string key;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '.' || c == '[') {
            if (!key.empty()) steps.emplace_back(std::move(key));
            key.clear();
            if (c == '[') {
                std::size_t position = 0;
                for (++i; i < path.size() && path[i] != ']'; ++i)
                    position = position * 10 + static_cast<std::size_t>(path[i] - '0');
                steps.emplace_back(position);
            }
        } else {
            key += c;
        }
    }
    if (!key.empty()) steps.emplace_back(std::move(key));
    return steps;
}

std::string JoinPath(const std::vector<PathStep>& steps) {
    std::string path;
    for (const PathStep& step : steps) {
        if (const auto* key = std::get_if<std::string>(&step)) {
            if (!path.empty()) path += '.';
            path += *key;
        } else {
            path += '[' + std::to_string(std::get<std::size_t>(step)) + ']';
        }
    }
    return path;
}

}  // namespace settings
