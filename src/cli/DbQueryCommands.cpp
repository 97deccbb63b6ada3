// The catalogue's query tools on the command line: "db export", "db merge", "db update" and
// "db properties". They join the other "db" subcommands in one "db" command: the subcommands
// here are handled here, every other one goes on to the "db" command of DbCommands.cpp.
#include <unistd.h>

#include <iostream>

#include "base/Cp1252.h"
#include "cli/CatalogJson.h"
#include "cli/CliCommand.h"
#include "cli/DbParams.h"
#include "database/Catalogue.h"
#include "database/DuplicateReport.h"
#include "database/query/CatalogueExport.h"
#include "database/query/CatalogueParams.h"
#include "database/query/QueryRun.h"

namespace tavik::cli {

namespace {

class CTerminalPrompt : public CUserPrompt {
public:
    explicit CTerminalPrompt(std::ostream& out) : m_out(out) {}
    void Message(const std::string& text, PromptIcon) override {
        m_out << Cp1252ToUtf8(text) << "\n";
    }
    PromptAnswer Ask(const std::string&, PromptButtons buttons) override {
        return buttons == PromptButtons::OkCancel || buttons == PromptButtons::Ok
                   ? PromptAnswer::Ok
                   : PromptAnswer::Yes;
    }
    bool KeyHeld(PolledKey) override { return false; }

private:
    std::ostream& m_out;
};

std::string Path(const std::string& argument) {
    return Utf8ToCp1252(argument);
}

bool Separator(const std::string& text, std::string& bytes) {
    if (text == "tab")
        bytes = "\t";
    else if (text == "cr")
        bytes = "\r";
    else if (text == "lf")
        bytes = "\n";
    else if (text == "crlf")
        bytes = "\r\n";
    else if (text == "ff")
        bytes = "\f";
    else if (text == "null")
        bytes.clear();
    else
        bytes = Utf8ToCp1252(text);
    return true;
}

Separators ReadSeparators(const CliArgs& args) {
    Separators s;
    Separator(args.Value("field-sep", "tab"), s.field);
    Separator(args.Value("record-sep", "crlf"), s.record);
    Separator(args.Value("table-sep", "ff"), s.table);
    return s;
}

template <class T>
bool Choice(const CliArgs& args, const std::string& option,
            std::initializer_list<std::pair<const char*, T>> choices, T& value,
            CliContext& context) {
    if (!args.values.count(option)) return true;
    const std::string text = args.Value(option);
    for (const auto& [name, v] : choices) {
        if (text == name) {
            value = v;
            return true;
        }
    }
    context.err << "tavik-cli db: --" << option << " " << text << " is not a choice\n";
    return false;
}

struct Opened {
    CatalogueOptions options;
    CTerminalPrompt prompt;
    CCatalogue catalogue;
    explicit Opened(std::ostream& out) : prompt(out), catalogue(options, prompt) {}
};

int RunExport(const std::vector<std::string>& words, const CliArgs& args, CliContext& context) {
    if (words.size() != 2) {
        context.err << "usage: tavik-cli db export FILE OUT [--disks all|none] [--files "
                       "all|none|from-disks] [--tables disks,files,links,queries,params,info]\n";
        return kExitUsage;
    }
    ExportOptions o;
    if (!Choice(args, "disks", {{"all", ExportRows::All}, {"none", ExportRows::None}}, o.disks,
                context) ||
        !Choice(args, "files",
                {{"all", ExportRows::All},
                 {"none", ExportRows::None},
                 {"from-disks", ExportRows::FromAboveDisks}},
                o.files, context))
        return kExitUsage;
    // The whole catalogue unless told otherwise. The older flags that named the tables beside
    // disks and files keep their meaning: only those named are written.
    const bool named = args.Has("saved-queries") || args.Has("parameters") ||
                       args.Has("info-table") || args.Has("links");
    o.queries = !named || args.Has("saved-queries");
    o.params = !named || args.Has("parameters");
    o.info = !named || args.Has("info-table");
    o.links = !named || args.Has("links");
    if (args.Has("tables")) {
        std::string list = args.Value("tables") + ",";
        bool disks = false, files = false;
        o.queries = o.params = o.info = o.links = false;
        for (size_t comma; (comma = list.find(',')) != std::string::npos;
             list.erase(0, comma + 1)) {
            const std::string table = list.substr(0, comma);
            bool* chosen = table == "disks"     ? &disks
                           : table == "files"   ? &files
                           : table == "links"   ? &o.links
                           : table == "queries" ? &o.queries
                           : table == "params"  ? &o.params
                           : table == "info"    ? &o.info
                                                : nullptr;
            if (!chosen) {
                context.err << "tavik-cli db export: --tables takes disks, files, links, "
                               "queries, params and info\n";
                return kExitUsage;
            }
            *chosen = true;
        }
        if (!disks) o.disks = ExportRows::None;
        if (!files) o.files = ExportRows::None;
    }
    o.separators = ReadSeparators(args);
    Opened db(context.err);
    if (!db.catalogue.Open(Path(words[0]))) return kExitFailed;
    if (!ExportCatalogue(db.catalogue, Path(words[1]), o)) return kExitFailed;
    context.out << "exported to " << words[1] << "\n";
    return kExitOk;
}

int RunMerge(const std::vector<std::string>& words, const CliArgs& args, CliContext& context) {
    if (words.size() != 2) {
        context.err << "usage: tavik-cli db merge FILE IN [--disks overwrite|skip|new|none] "
                       "[--files overwrite|reuse|new] [--queries|--params|--info "
                       "overwrite|skip|none]\n";
        return kExitUsage;
    }
    MergeOptions o;
    const std::initializer_list<std::pair<const char*, TableMerge>> table = {
        {"overwrite", TableMerge::Overwrite},
        {"skip", TableMerge::Skip},
        {"none", TableMerge::DoNotImport}};
    if (!Choice(args, "disks",
                {{"overwrite", DiskMerge::Overwrite},
                 {"skip", DiskMerge::Skip},
                 {"new", DiskMerge::CreateNew},
                 {"none", DiskMerge::DoNotImport}},
                o.disks, context) ||
        !Choice(args, "files",
                {{"overwrite", FileMerge::Overwrite},
                 {"reuse", FileMerge::Reuse},
                 {"new", FileMerge::CreateNew}},
                o.files, context) ||
        !Choice(args, "queries", table, o.queries, context) ||
        !Choice(args, "params", table, o.params, context) ||
        !Choice(args, "info", table, o.info, context))
        return kExitUsage;
    o.separators = ReadSeparators(args);
    Opened db(context.err);
    if (!db.catalogue.Open(Path(words[0]))) return kExitFailed;
    MergeReport r;
    if (!MergeCatalogue(db.catalogue, Path(words[1]), o, &r)) {
        context.err << "tavik-cli db merge: nothing was merged; the catalogue is as it was\n";
        return kExitFailed;
    }
    context.out << "disks added " << r.disksAdded << ", updated " << r.disksUpdated
                << "; files added " << r.filesAdded << ", updated " << r.filesUpdated
                << ", removed unlinked " << r.filesRemoved << "; links added " << r.linksAdded
                << "; other rows added " << r.rowsAdded << ", updated " << r.rowsUpdated << "\n";
    return kExitOk;
}

int RunUpdate(const std::vector<std::string>& words, const CliArgs& args, CliContext& context) {
    const std::string tableName = args.Value("table");
    if (words.empty() || !args.values.count("set") ||
        (tableName != "Disks" && tableName != "Files")) {
        context.err << "usage: tavik-cli db update FILE [NAME=VALUE]... --table Disks|Files --set "
                       "\"...\" [--where \"...\"]\n";
        return kExitUsage;
    }
    Opened db(context.out);
    CCommandLineParams source(db.catalogue,
                              std::vector<std::string>(words.begin() + 1, words.end()));
    std::string notPair;
    if (!source.Read(notPair)) {
        context.err << "tavik-cli db update: " << notPair << " is no NAME=VALUE\n";
        return kExitUsage;
    }
    if (!db.catalogue.Open(Path(words[0]))) return kExitFailed;
    CTerminalAsker asker(std::cin, context.err, &context.err == &std::cerr && ::isatty(0));
    return BulkUpdate(db.catalogue, tableName == "Files", Utf8ToCp1252(args.Value("set")),
                      Utf8ToCp1252(args.Value("where")), source, asker) == RunOutcome::Shown
               ? kExitOk
               : kExitFailed;
}

int RunProperties(const std::vector<std::string>& words, CliContext& context) {
    if (words.size() != 1) {
        context.err << "usage: tavik-cli db properties FILE\n";
        return kExitUsage;
    }
    Opened db(context.err);
    if (!db.catalogue.Open(Path(words[0]))) return kExitFailed;
    std::string text = Cp1252ToUtf8(DatabaseProperties(db.catalogue));
    std::string plain;
    for (char c : text)
        if (c != '\r') plain += c;
    context.out << plain;
    return kExitOk;
}

int RunDuplicates(const std::vector<std::string>& words, const CliArgs& args, CliContext& context) {
    if (words.size() != 1) {
        context.err << "usage: tavik-cli db duplicates FILE [--json]\n";
        return kExitUsage;
    }
    Opened db(context.err);
    if (!db.catalogue.Open(Path(words[0]))) return kExitFailed;
    DuplicateReport report;
    if (!FindDuplicates(db.catalogue.Database(), report)) {
        context.err << "tavik-cli db duplicates: "
                    << Cp1252ToUtf8(db.catalogue.Database().ErrorText()) << "\n";
        return kExitFailed;
    }
    const auto same = [](DiskSameness by) {
        return by == DiskSameness::Sectors ? "sectors" : "files";
    };
    if (args.Has("json")) {
        Json disks = Json::array(), files = Json::array();
        for (const DiskDuplicates& g : report.disks) {
            Json copies = Json::array();
            for (const DuplicateCopy& c : g.copies)
                copies.push_back({{"id", c.diskId},
                                  {"name", Cp1252ToUtf8(c.diskName)},
                                  {"drive", Cp1252ToUtf8(c.drive)}});
            disks.push_back({{"crc", g.crc}, {"same", same(g.by)}, {"copies", copies}});
        }
        for (const FileDuplicates& g : report.files) {
            Json copies = Json::array();
            for (const DuplicateCopy& c : g.copies)
                copies.push_back({{"id", c.diskId},
                                  {"disk", Cp1252ToUtf8(c.diskName)},
                                  {"drive", Cp1252ToUtf8(c.drive)},
                                  {"file", c.fileId}});
            files.push_back({{"crc", g.crc}, {"name", Cp1252ToUtf8(g.name)}, {"copies", copies}});
        }
        context.out << JsonText(Json{{"disks", disks}, {"files", files}}) << "\n";
        return kExitOk;
    }
    for (const DiskDuplicates& g : report.disks) {
        context.out << "Disks with the same " << same(g.by) << " (" << g.crc << "):\n";
        for (const DuplicateCopy& c : g.copies)
            context.out << "  " << c.diskId << "\t" << Cp1252ToUtf8(c.diskName) << "\t"
                        << Cp1252ToUtf8(c.drive) << "\n";
    }
    for (const FileDuplicates& g : report.files) {
        context.out << "File " << Cp1252ToUtf8(g.name) << " (" << g.crc << ") on "
                    << g.copies.size() << " disks:\n";
        for (const DuplicateCopy& c : g.copies)
            context.out << "  " << c.diskId << "\t" << Cp1252ToUtf8(c.diskName) << "\t"
                        << Cp1252ToUtf8(c.drive) << "\n";
    }
    context.out << report.disks.size() << " groups of disks, " << report.files.size()
                << " groups of files\n";
    return kExitOk;
}

}  // namespace

std::vector<CliCommand> DbQueryCommands() {
    std::vector<CliCommand> commands = DbCommands();
    for (CliCommand& c : commands) {
        if (c.name != "db") continue;
        c.arguments +=
            " | export FILE OUT | merge FILE IN | update FILE [NAME=VALUE]... | properties FILE | "
            "duplicates FILE";
        c.summary +=
            "; export the catalogue to delimited text (a value that holds a separator, a line "
            "break or a tab, or starts with a double quote, is enclosed in double quotes, a "
            "quote inside doubled) and merge such text back in one transaction, "
            "update columns in bulk, report the catalogue's properties and the disks and files it "
            "holds more than once";
        const std::vector<CliOption> more = {
            {"disks", true, "export: all|none; merge: overwrite|skip|new|none"},
            {"files", true, "export: all|none|from-disks; merge: overwrite|reuse|new"},
            {"tables", true,
             "export: the tables to write, of disks,files,links,queries,params,info (default: "
             "all)"},
            {"saved-queries", false, "export: only these of the other tables: Queries"},
            {"parameters", false, "export: only these of the other tables: Params"},
            {"info-table", false, "export: only these of the other tables: Info"},
            {"links", false, "export: only these of the other tables: DiskFileMM"},
            {"queries", true, "merge: overwrite|skip|none"},
            {"params", true, "merge: overwrite|skip|none"},
            {"info", true, "merge: overwrite|skip|none"},
            {"field-sep", true, "export/merge: tab (default)|cr|lf|crlf|ff|null|TEXT"},
            {"record-sep", true, "export/merge: crlf (default)|tab|cr|lf|ff|null|TEXT"},
            {"table-sep", true, "export/merge: ff (default)|tab|cr|lf|crlf|null|TEXT"},
            {"table", true, "update: Disks or Files"},
            {"set", true, "update: the SET list, e.g. '[Info1] = \"x\"'"},
            {"where", true, "update: the condition"}};
        c.options.insert(c.options.end(), more.begin(), more.end());
        auto others = c.run;
        c.run = [others](const CliArgs& args, CliContext& context) {
            const std::string sub = args.positional.at(0);
            const std::vector<std::string> words(args.positional.begin() + 1,
                                                 args.positional.end());
            if (sub == "export") return RunExport(words, args, context);
            if (sub == "merge") return RunMerge(words, args, context);
            if (sub == "update") return RunUpdate(words, args, context);
            if (sub == "properties") return RunProperties(words, context);
            if (sub == "duplicates") return RunDuplicates(words, args, context);
            return others(args, context);
        };
    }
    return commands;
}

}  // namespace tavik::cli
