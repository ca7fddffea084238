// vk630e-cli run as a child with a given standard input, its output and
// errors in files of a directory, as a batch script runs it.
#pragma once

#include <string>
#include <vector>

namespace cli::testing {

struct ChildResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Standard input is `input` from a file (a pipe's behaviour: no terminal).
// A run that outlives a minute is killed: status -1, and standard error
// says so.
ChildResult RunCliWithInput(const std::string& dir, std::vector<std::string> args,
                            const std::string& input);

std::string FileText(const std::string& path);

}  // namespace cli::testing
