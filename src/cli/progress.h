// Progress for a technician watching the run: shown on standard error when
// it is a terminal, never in a log or a pipe, so a batch script's output
// holds results only.
#pragma once

#include <string>

namespace cli {

class Progress {
public:
    Progress();  // looks whether standard error is a terminal
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Replaces the line shown before.
    void Show(const std::string& text);
    // Removes the line, before a result or an error is printed.
    void Clear();

private:
    bool terminal_;
    bool shown_ = false;
};

}  // namespace cli
