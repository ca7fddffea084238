#include "cli/progress.h"

#include <unistd.h>

#include <cstdio>

namespace cli {

Progress::Progress() : terminal_(::isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() {
    Clear();
}

void Progress::Show(const std::string& text) {
    if (!terminal_) return;
    // Back to the start of the line and erase it: one line that changes.
    std::fprintf(stderr, "\r\033[K%s", text.c_str());
    std::fflush(stderr);
    shown_ = true;
}

void Progress::Clear() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace cli
