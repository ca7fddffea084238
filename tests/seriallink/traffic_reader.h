// Reads a traffic log back the way a technician's script would: by its
// columns, the bytes taken from the hex column.
#pragma once

#include <string>
#include <vector>

namespace seriallink::test {

struct LoggedLine {
    std::string kind;   // "TX", "RX", "OPEN", ...; "?" for a line of another shape
    std::string text;   // the column after the kind, up to the tab
    std::string bytes;  // the hex column decoded
    bool textAgrees;    // the text column, its \xNN undone, equals the bytes
};

// A private folder for a test's log, removed with everything in it.
struct TempDir {
    TempDir();
    ~TempDir();
    std::string path;
};

std::vector<LoggedLine> ReadTrafficLog(const std::string& path);
// All bytes of the lines of one kind, in order.
std::string Joined(const std::vector<LoggedLine>& lines, const std::string& kind);

}  // namespace seriallink::test
