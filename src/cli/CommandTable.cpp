#include <algorithm>

#include "cli/CliCommand.h"

namespace tavik::cli {

const std::vector<CliCommand>& AllCommands() {
    static const std::vector<CliCommand> all = [] {
        std::vector<CliCommand> commands;
        // One line per subsystem.
        for (auto&& list :
             {DiskCommands(), MaintenanceCommands(), RemoteCommands(), DbQueryCommands(),
              ExchangeCommands(), BasicCommands(), ArchiveCommands()})
            commands.insert(commands.end(), list.begin(), list.end());
        return commands;
    }();
    return all;
}

bool ParseArguments(const CliCommand& command, const std::vector<std::string>& words, CliArgs& args,
                    std::string& error) {
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 3 || word.compare(0, 2, "--") != 0) {
            if (word == "--") {
                optionsEnded = true;
                continue;
            }
            args.positional.push_back(word);
            continue;
        }
        std::string name = word.substr(2);
        std::string value;
        const size_t equals = name.find('=');
        const bool inlineValue = equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        auto option = std::find_if(command.options.begin(), command.options.end(),
                                   [&](const CliOption& o) { return o.name == name; });
        if (option == command.options.end()) {
            error = "unknown option --" + name;
            return false;
        }
        if (!option->takesValue) {
            if (inlineValue) {
                error = "option --" + name + " takes no value";
                return false;
            }
            args.flags.insert(name);
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= words.size()) {
                error = "option --" + name + " needs a value";
                return false;
            }
            value = words[++i];
        }
        args.values[name] = value;
    }
    const int count = static_cast<int>(args.positional.size());
    if (count < command.minArguments || count > command.maxArguments) {
        error = "usage: tavik-cli " + command.name + " " + command.arguments;
        return false;
    }
    return true;
}

namespace {

void PrintHelp(std::ostream& out) {
    out << "usage: tavik-cli COMMAND [ARGUMENTS] [OPTIONS]\n\ncommands:\n";
    for (const CliCommand& c : AllCommands()) {
        out << "  " << c.name << " " << c.arguments << "\n      " << c.summary << "\n";
        for (const CliOption& o : c.options)
            out << "      --" << o.name << (o.takesValue ? " VALUE" : "") << "  " << o.help << "\n";
    }
}

}  // namespace

int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    if (words.empty() || words[0] == "help" || words[0] == "--help" || words[0] == "-h") {
        PrintHelp(words.empty() ? err : out);
        return words.empty() ? kExitUsage : kExitOk;
    }
    const auto& commands = AllCommands();
    auto command = std::find_if(commands.begin(), commands.end(),
                                [&](const CliCommand& c) { return c.name == words[0]; });
    if (command == commands.end()) {
        err << "tavik-cli: unknown command " << words[0] << " (try tavik-cli help)\n";
        return kExitUsage;
    }
    CliArgs args;
    std::string error;
    if (!ParseArguments(*command, std::vector<std::string>(words.begin() + 1, words.end()), args,
                        error)) {
        err << "tavik-cli " << command->name << ": " << error << "\n";
        return kExitUsage;
    }
    CliContext context{out, err};
    return command->run(args, context);
}

}  // namespace tavik::cli
