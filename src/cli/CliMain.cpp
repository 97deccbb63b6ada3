#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommand.h"

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    return tavik::cli::RunCli(words, std::cout, std::cerr);
}
