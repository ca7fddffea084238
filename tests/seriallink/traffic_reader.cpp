#include "traffic_reader.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>

namespace seriallink::test {

TempDir::TempDir() {
    char pattern[] = "/tmp/traffic-log-test-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
    path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::vector<LoggedLine> ReadTrafficLog(const std::string& path) {
    // Only the stamp and kind by pattern: a chunk's line is far too long
    // for the standard library's recursive matcher.
    static const std::regex stamp(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  \+\d+ ms  ([A-Z-]+))");
    std::vector<LoggedLine> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        std::smatch m;
        const std::string rest =
            std::regex_search(line, m, stamp, std::regex_constants::match_continuous)
                ? m.suffix().str()
                : "";
        if (m.empty() || (!rest.empty() && !rest.starts_with("  "))) {
            lines.push_back({"?", line, "", false});
            continue;
        }
        const std::size_t tab = rest.find('\t');
        std::string bytes, unescaped,
            text = rest.substr(std::min<std::size_t>(2, rest.size()), tab - 2);
        const std::string hex = tab == std::string::npos ? "" : rest.substr(tab + 1);
        for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
            bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        for (std::size_t i = 0; i < text.size(); ++i) {
            bool escape = text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size();
            unescaped +=
                escape ? static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)) : text[i];
            if (escape) i += 3;
        }
        lines.push_back({m[1], text, bytes, unescaped == bytes});
    }
    return lines;
}

std::string Joined(const std::vector<LoggedLine>& lines, const std::string& kind) {
    std::string all;
    for (const LoggedLine& line : lines)
        if (line.kind == kind) all += line.bytes;
    return all;
}

}  // namespace seriallink::test
