// Runs tavik-cli inside the test process and keeps what it printed.
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

inline CliResult RunCli(const std::vector<std::string>& words) {
    std::ostringstream out, err;
    const int code = cli::RunCli(words, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace tavik::test
