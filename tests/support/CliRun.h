// Runs tavik-cli inside a test: the exit code and what went to standard output and error.
// For tests that link tavik_cli_core.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace tavik::test {

struct CliResult {
    int code;
    std::string out, err;
};

inline CliResult RunCliWords(const std::vector<std::string>& words) {
    std::ostringstream out, err;
    const int code = cli::RunCli(words, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace tavik::test
