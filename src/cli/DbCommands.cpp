// Commands on catalogue databases: "db create", "db add", "db rescan", "db remove", "db sql" and
// "db import-mdb", all under the one command word "db".
#include <unistd.h>
#include <algorithm>

#include <iostream>

#include "base/CInteger.h"
#include "base/Cp1252.h"
#include "cli/CatalogJson.h"
#include "cli/CliCommand.h"
#include "database/Catalogue.h"
#include "database/DiskScanner.h"
#include "database/DisplaySpec.h"
#include "database/JetImport.h"
#include "database/MdbReader.h"
#include "disk/VirtualDrive.h"

namespace tavik::cli {

namespace {

// Messages go to the error stream; questions are answered OK, since each command says plainly
// what it is to do.
class CStreamPrompt : public CUserPrompt {
public:
    explicit CStreamPrompt(std::ostream& err) : m_err(err) {}
    void Message(const std::string& text, PromptIcon) override {
        m_err << Cp1252ToUtf8(text) << "\n";
        ++messages;
    }
    PromptAnswer Ask(const std::string&, PromptButtons buttons) override {
        return buttons == PromptButtons::OkCancel || buttons == PromptButtons::Ok
                   ? PromptAnswer::Ok
                   : PromptAnswer::Yes;
    }
    bool KeyHeld(PolledKey) override { return false; }

    int messages = 0;

private:
    std::ostream& m_err;
};

// Answers the duplicate dialog from the command's options; with "ask" the file duplicates are
// asked on the terminal.
class COptionResolver : public CDuplicateResolver {
public:
    COptionResolver(bool newDisks, int rescanId, std::ostream& out)
        : m_newDisks(newDisks), m_rescanId(rescanId), m_out(out) {}

    DuplicateAnswer Resolve(DuplicateMode mode,
                            const std::vector<DuplicateCandidate>& rows) override {
        if (mode == SelectDiskToUpdate) return {DuplicateButton::Overwrite, m_rescanId};
        if (mode != IdenticalFile) {
            if (!m_newDisks) {
                m_out << "  " << DuplicateHeading(mode) << ":";
                for (const auto& r : rows)
                    m_out << " " << r.id;
                m_out << " (skipped)\n";
            }
            return {m_newDisks ? DuplicateButton::CreateNew : DuplicateButton::Cancel};
        }
        m_out << DuplicateHeading(mode) << ":\n";
        for (const auto& r : rows)
            m_out << "  " << r.id << "  " << Cp1252ToUtf8(r.name) << "\n";
        for (;;) {
            m_out << "new, use or update (add \" all\" for every file of this disk)? "
                  << std::flush;
            std::string line;
            if (!std::getline(std::cin, line)) return {DuplicateButton::UseOld};
            DuplicateAnswer a;
            a.forAll = line.find(" all") != std::string::npos;
            if (line.rfind("new", 0) == 0)
                a.button = DuplicateButton::CreateNew;
            else if (line.rfind("use", 0) == 0)
                a.button = DuplicateButton::UseOld;
            else if (line.rfind("update", 0) == 0)
                a.button = DuplicateButton::UpdateOld;
            else
                continue;
            return a;
        }
    }

private:
    bool m_newDisks;
    int m_rescanId;
    std::ostream& m_out;
};

std::string Path(const std::string& argument) {
    return Utf8ToCp1252(argument);
}

bool OpenCatalogue(CCatalogue& catalogue, const std::string& file) {
    return catalogue.Open(Path(file));
}

int RunCreate(const std::vector<std::string>& words, const CliArgs&, CliContext& context) {
    if (words.size() != 1) {
        context.err << "usage: tavik-cli db create FILE\n";
        return kExitUsage;
    }
    CStreamPrompt prompt(context.err);
    CatalogueOptions options;
    CCatalogue catalogue(options, prompt);
    if (!catalogue.Create(Path(words[0]))) return kExitFailed;
    context.out << "created " << words[0] << "\n";
    return kExitOk;
}

int RunScan(const std::vector<std::string>& words, const CliArgs& args, CliContext& context,
            bool rescan) {
    if (words.size() < 2 || (rescan && words.size() != 2)) {
        context.err << (rescan ? "usage: tavik-cli db rescan FILE IMAGE --id N\n"
                               : "usage: tavik-cli db add FILE IMAGE...\n");
        return kExitUsage;
    }
    CStreamPrompt prompt(context.err);
    CatalogueOptions options;
    const std::string duplicates = args.Value("duplicates", "new");
    const std::string disks = args.Value("duplicate-disks", "skip");
    const struct {
        const char* word;
        FileDuplicates option;
    } policies[] = {{"ask", DuplicatesAskMe},
                    {"new", DuplicatesCreateNew},
                    {"reuse", DuplicatesUseOld},
                    {"update", DuplicatesUpdateOld}};
    const auto policy = std::find_if(std::begin(policies), std::end(policies),
                                     [&](const auto& p) { return duplicates == p.word; });
    if (policy == std::end(policies) || (disks != "skip" && disks != "new")) {
        context.err << "tavik-cli db: --duplicates takes ask, new, reuse or update; "
                       "--duplicate-disks takes skip or new\n";
        return kExitUsage;
    }
    if (policy->option == DuplicatesAskMe && !::isatty(0)) {
        context.err << "tavik-cli db: --duplicates ask needs a terminal to ask on; use new, "
                       "reuse or update\n";
        return kExitUsage;
    }
    options.fileDuplicates = policy->option;
    int id = 0;
    if (rescan) {
        std::optional<long> n = ReadCInteger(args.Value("id"));
        if (!n || *n <= 0) {
            context.err << "tavik-cli db rescan: --id N names the disk row to update\n";
            return kExitUsage;
        }
        id = static_cast<int>(*n);
    }
    CCatalogue catalogue(options, prompt);
    if (!OpenCatalogue(catalogue, words[0])) return kExitFailed;
    COptionResolver resolver(disks == "new", id, context.out);
    CDiskScanner scanner(catalogue, resolver);
    int failed = 0;
    for (size_t i = 1; i < words.size(); ++i) {
        CVirtualDrive drive;
        auto file = CDiskFile::Open(Path(words[i]), OpenMode::ReadOnly);
        if (!file) drive.SetLastError(DiskError::CantOpenPcFile);
        if (!file || !drive.MountFile(std::move(file), 0, 0, -1)) {
            context.err << words[i] << ": " << Cp1252ToUtf8(drive.ErrorText()) << "\n";
            ++failed;
            continue;
        }
        const int messagesBefore = prompt.messages;
        const bool ok = rescan ? scanner.RescanDisk(drive) : scanner.AddDisk(drive);
        if (ok) {
            context.out << words[i] << ": " << (rescan ? "rescanned into" : "added as") << " disk "
                        << scanner.LastDiskId() << "\n";
        } else if (prompt.messages == messagesBefore) {
            context.out << words[i] << ": not added\n";
        } else {
            ++failed;
        }
    }
    return failed ? kExitFailed : kExitOk;
}

int RunRemove(const std::vector<std::string>& words, CliContext& context) {
    if (words.size() < 2) {
        context.err << "usage: tavik-cli db remove FILE ID...\n";
        return kExitUsage;
    }
    std::vector<int> ids;
    for (size_t i = 1; i < words.size(); ++i) {
        std::optional<long> n = ReadCInteger(words[i]);
        if (!n) {
            context.err << "tavik-cli db remove: " << words[i] << " is no ID\n";
            return kExitUsage;
        }
        ids.push_back(static_cast<int>(*n));
    }
    CStreamPrompt prompt(context.err);
    CatalogueOptions options;
    CCatalogue catalogue(options, prompt);
    if (!OpenCatalogue(catalogue, words[0])) return kExitFailed;
    COptionResolver resolver(false, 0, context.out);
    CDiskScanner scanner(catalogue, resolver);
    return scanner.RemoveDisks(ids) ? kExitOk : kExitFailed;
}

Json JsonValue(const CDbValue& v, DbType type) {
    switch (v.GetKind()) {
        case CDbValue::Kind::Null:
            return nullptr;
        case CDbValue::Kind::Bool:
            return v.AsBool();
        case CDbValue::Kind::Integer:
            if (type == DbType::Boolean) return v.AsBool();
            return v.AsInteger();
        case CDbValue::Kind::Double:
            return v.AsDouble();
        default:
            return Cp1252ToUtf8(v.AsText());
    }
}

std::string TsvValue(const CDbValue& v, DbType type) {
    if (type == DbType::Boolean && !v.IsNull()) return v.AsBool() ? "Yes" : "No";
    std::string text = Cp1252ToUtf8(v.AsText());
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

int RunSql(const std::vector<std::string>& words, const CliArgs& args, CliContext& context) {
    if (words.size() != 2) {
        context.err << "usage: tavik-cli db sql FILE \"STATEMENT\"\n";
        return kExitUsage;
    }
    CStreamPrompt prompt(context.err);
    CatalogueOptions options;
    CCatalogue catalogue(options, prompt);
    if (!OpenCatalogue(catalogue, words[0])) return kExitFailed;
    CDatabase& db = catalogue.Database();
    CQueryDef def;
    if (!db.CreateQueryDef(Utf8ToCp1252(words[1]), def)) {
        context.err << Cp1252ToUtf8(db.ErrorText()) << "\n";
        return kExitFailed;
    }
    if (!def.Parameters().empty()) {
        context.err << "the statement has parameters, which the command line cannot ask for:";
        for (const auto& p : def.Parameters())
            context.err << " [" << Cp1252ToUtf8(p) << "]";
        context.err << "\n";
        return kExitFailed;
    }
    const bool json = args.Has("json");
    if (!def.IsQuery()) {
        int changed = db.Execute(def);
        if (changed < 0) {
            context.err << Cp1252ToUtf8(db.ErrorText()) << "\n";
            return kExitFailed;
        }
        if (json) {
            context.out << JsonText(Json{{"modified", changed}}) << "\n";
        } else {
            context.out << "Modified " << changed << " records\n";
        }
        return kExitOk;
    }
    CRecordSet& set = catalogue.ResultSet();
    if (!set.Open(def)) {
        context.err << Cp1252ToUtf8(set.ErrorText()) << "\n";
        return kExitFailed;
    }
    const int n = set.GetFieldCount();
    if (json) {
        Json rows = Json::array();
        for (; !set.IsEOF(); set.MoveNext()) {
            Json row = Json::object();
            for (int i = 0; i < n; ++i)
                row[Cp1252ToUtf8(set.GetFieldInfo(i).name)] =
                    JsonValue(set.GetFieldValue(i), set.GetFieldInfo(i).type);
            rows.push_back(row);
        }
        context.out << JsonText(rows) << "\n";
        return kExitOk;
    }
    for (int i = 0; i < n; ++i)
        context.out << (i ? "\t" : "") << Cp1252ToUtf8(set.GetFieldInfo(i).name);
    context.out << "\n";
    for (; !set.IsEOF(); set.MoveNext()) {
        for (int i = 0; i < n; ++i)
            context.out << (i ? "\t" : "")
                        << TsvValue(set.GetFieldValue(i), set.GetFieldInfo(i).type);
        context.out << "\n";
    }
    return kExitOk;
}

int RunImport(const std::vector<std::string>& words, CliContext& context) {
    if (words.empty() || words.size() > 2) {
        context.err << "usage: tavik-cli db import-mdb MDB [SQLITE]\n";
        return kExitUsage;
    }
    std::string error;
    auto reader = CMdbReader::Open(Path(words[0]), error);
    const std::string target = words.size() > 1 ? Path(words[1]) : ImportTargetPath(Path(words[0]));
    if (!reader || !ImportJetCatalogue(*reader, target, error)) {
        context.err << Cp1252ToUtf8(error) << "\n";
        return kExitFailed;
    }
    context.out << "imported into " << Cp1252ToUtf8(target) << "\n";
    return kExitOk;
}

int RunDb(const CliArgs& args, CliContext& context) {
    const std::string sub = args.positional.at(0);
    const std::vector<std::string> words(args.positional.begin() + 1, args.positional.end());
    if (sub == "create") return RunCreate(words, args, context);
    if (sub == "add") return RunScan(words, args, context, false);
    if (sub == "rescan") return RunScan(words, args, context, true);
    if (sub == "remove") return RunRemove(words, context);
    if (sub == "sql") return RunSql(words, args, context);
    if (sub == "import-mdb") return RunImport(words, context);
    context.err << "tavik-cli db: unknown subcommand " << sub
                << " (create, add, rescan, remove, sql, import-mdb)\n";
    return kExitUsage;
}

}  // namespace

std::vector<CliCommand> DbCommands() {
    return {
        {"db",
         "create FILE | add FILE IMAGE... | rescan FILE IMAGE --id N | remove FILE ID... | "
         "sql FILE STATEMENT | import-mdb MDB [SQLITE]",
         "catalogue databases: create one, add or rescan disk images, remove disks, run Jet SQL "
         "(rows as TSV or JSON), import an old Jet catalogue",
         1,
         1000,
         {{"duplicates", true,
           "add/rescan: a file recorded already: ask, new (default), reuse or update"},
          {"duplicate-disks", true, "add: a disk recorded already: skip (default) or new"},
          {"id", true, "rescan: the disk row to update"},
          {"json", false, "sql: rows as JSON"}},
         RunDb},
    };
}

}  // namespace tavik::cli
