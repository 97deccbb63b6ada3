// The command table of tavik-cli. Each subsystem keeps its commands in a file of its own that
// returns them as a list (DiskCommands() in DiskCommands.cpp, ...); CommandTable.cpp joins the
// lists. To add commands: write XyzCommands.cpp with `std::vector<CliCommand> XyzCommands()`,
// declare it below, add it to the list in CommandTable.cpp and the file to CMakeLists.txt.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace tavik::cli {

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the operation failed (the drive's error text was printed)
constexpr int kExitUsage = 2;   // the command line could not be read

struct CliOption {
    std::string name;  // without the leading "--"
    bool takesValue = false;
    std::string help;
};

struct CliArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool Has(const std::string& name) const { return flags.count(name) || values.count(name); }
    std::string Value(const std::string& name, const std::string& fallback = {}) const {
        auto it = values.find(name);
        return it == values.end() ? fallback : it->second;
    }
};

struct CliContext {
    std::ostream& out;
    std::ostream& err;
};

struct CliCommand {
    std::string name;
    std::string arguments;  // as shown in the usage line, e.g. "IMAGE N"
    std::string summary;
    int minArguments = 0;
    int maxArguments = 0;
    std::vector<CliOption> options;
    std::function<int(const CliArgs&, CliContext&)> run;
};

// The lists of the subsystems.
std::vector<CliCommand> DiskCommands();
std::vector<CliCommand> DbCommands();
// DbCommands() with the query tools joined into its "db" command.
std::vector<CliCommand> DbQueryCommands();
std::vector<CliCommand> MaintenanceCommands();
std::vector<CliCommand> RemoteCommands();
std::vector<CliCommand> ExchangeCommands();
std::vector<CliCommand> BasicCommands();
std::vector<CliCommand> ArchiveCommands();

// The ExportFormat that an --as value names ("none", "fiad", "tifiles", ...), -1 for none.
int FormatOf(const std::string& text);
// The --as values, for help and messages.
const char* FormatChoices();

// Every command, in the order the help shows them.
const std::vector<CliCommand>& AllCommands();

// One line per command, "- `tavik-cli NAME ARGUMENTS`: summary": what `tavik-cli help --list`
// prints and the README lists.
std::string CommandList();

// Reads the arguments after the command name; false (with a message in `error`) when an option
// is unknown, lacks its value, or the number of arguments is wrong.
bool ParseArguments(const CliCommand& command, const std::vector<std::string>& words, CliArgs& args,
                    std::string& error);

// The whole program: argv without the program name.
int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

}  // namespace tavik::cli
