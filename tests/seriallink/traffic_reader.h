// A traffic log read back by its columns, as a technician's script would.
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace seriallink::test {

struct LoggedLine {
    std::string kind, text, bytes;  // the bytes from the hex column
};

inline std::vector<LoggedLine> ReadTrafficLog(const std::string& path) {
    std::vector<LoggedLine> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        const std::size_t kind = line.find(" ms  ") + 5, end = line.find("  ", kind);
        const std::size_t tab = line.find('\t');
        LoggedLine& out = lines.emplace_back(LoggedLine{line.substr(kind, end - kind), "", ""});
        if (end != std::string::npos) out.text = line.substr(end + 2, tab - end - 2);
        for (std::size_t i = tab + 1; tab != std::string::npos && i < line.size(); i += 3)
            out.bytes += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
    }
    return lines;
}

}  // namespace seriallink::test
