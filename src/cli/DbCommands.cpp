// Commands on catalogue databases: "db create", "db add", "db rescan", "db remove", "db sql" and
// "db import-mdb", all under the one command word "db".
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <filesystem>
#include <iostream>

#include "base/CInteger.h"
#include "base/Cp1252.h"
#include "cli/CatalogJson.h"
#include "cli/CliCommand.h"
#include "cli/DbParams.h"
#include "database/Catalogue.h"
#include "database/DiskScanner.h"
#include "database/DisplaySpec.h"
#include "database/JetImport.h"
#include "database/MdbReader.h"
#include "disk/VirtualDrive.h"
#include "exchange/ClassifyPcFile.h"

namespace tavik::cli {

namespace {

// Messages go to the error stream; questions are answered OK, since each command says plainly
// what it is to do.
class CStreamPrompt : public CUserPrompt {
public:
    explicit CStreamPrompt(std::ostream& err) : m_err(err) {}
    void Message(const std::string& text, PromptIcon) override {
        m_err << (subject.empty() ? "" : subject + ": ") << Cp1252ToUtf8(text) << "\n";
        ++messages;
    }
    PromptAnswer Ask(const std::string&, PromptButtons buttons) override {
        return buttons == PromptButtons::OkCancel || buttons == PromptButtons::Ok
                   ? PromptAnswer::Ok
                   : PromptAnswer::Yes;
    }
    bool KeyHeld(PolledKey) override { return false; }

    int messages = 0;
    std::string subject;  // what the messages are about (the image being added)

private:
    std::ostream& m_err;
};

// Answers the duplicate dialog from the command's options; with "ask" the file duplicates are
// asked on the terminal.
class COptionResolver : public CDuplicateResolver {
public:
    COptionResolver(bool newDisks, int rescanId, std::ostream& out)
        : m_newDisks(newDisks), m_rescanId(rescanId), m_out(out) {}

    DuplicateAnswer Resolve(int mode, const std::vector<DuplicateCandidate>& rows) override {
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

// An image read whole into memory: a disk is read sector by sector, and one read of the file
// is much faster than hundreds. The drive records the file's path.
class CImageInMemory : public CMemFile {
public:
    CImageInMemory(std::vector<uint8_t> bytes, std::string path)
        : CMemFile(std::move(bytes)), m_path(std::move(path)) {}
    std::string Path() const override { return m_path; }

private:
    std::string m_path;
};

bool HoldsDiskImage(const std::vector<uint8_t>& bytes, const std::string& path) {
    return IsDiskKind(ClassifyPcBytes(bytes.data(), bytes.size(), path).kind);
}

// The first bytes of a file, enough to tell a disk image by.
bool StartsLikeAnImage(const std::filesystem::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return false;
    std::vector<uint8_t> head(128);
    head.resize(std::fread(head.data(), 1, head.size(), f));
    std::fclose(f);
    return HoldsDiskImage(head, Utf8ToCp1252(file.string()));
}

// What the command line names: files as they are; folders searched below for the files that
// hold a disk image (by their content, whatever their names); "-" for names on standard input,
// one a line.
std::vector<std::string> ImagePaths(const std::vector<std::string>& words, std::istream& in) {
    std::vector<std::string> paths;
    std::vector<std::string> names;
    for (const std::string& word : words) {
        if (word != "-") {
            names.push_back(word);
            continue;
        }
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) names.push_back(line);
        }
    }
    namespace fs = std::filesystem;
    for (const std::string& name : names) {
        std::error_code ec;
        if (!fs::is_directory(name, ec)) {
            paths.push_back(name);
            continue;
        }
        std::vector<std::string> found;
        const auto options = fs::directory_options::skip_permission_denied;
        for (fs::recursive_directory_iterator it(name, options, ec), end; !ec && it != end;
             it.increment(ec)) {
            if (it->is_regular_file(ec) && StartsLikeAnImage(it->path()))
                found.push_back(it->path().string());
        }
        std::sort(found.begin(), found.end());
        paths.insert(paths.end(), found.begin(), found.end());
    }
    return paths;
}

// A line on the terminal that shows how far a long add has come, drawn again at most five
// times a second.
class CProgressLine {
public:
    CProgressLine(std::ostream& err, bool shown) : m_err(err), m_shown(shown) {}
    void Show(size_t done, size_t total, int added, int failed, bool last = false) {
        if (!m_shown) return;
        const auto now = std::chrono::steady_clock::now();
        if (!last && now - m_drawn < std::chrono::milliseconds(200)) return;
        m_drawn = now;
        m_err << "\r" << done << " of " << total << " images: " << added << " added, " << failed
              << " failed" << (last ? "\n" : "") << std::flush;
    }

private:
    std::ostream& m_err;
    bool m_shown;
    std::chrono::steady_clock::time_point m_drawn{};
};

int RunScan(const std::vector<std::string>& words, const CliArgs& args, CliContext& context,
            bool rescan) {
    if (words.size() < 2 || (rescan && words.size() != 2)) {
        context.err << (rescan ? "usage: tavik-cli db rescan FILE IMAGE --id N\n"
                               : "usage: tavik-cli db add FILE IMAGE|FOLDER|-...\n");
        return kExitUsage;
    }
    CStreamPrompt prompt(context.err);
    CatalogueOptions options;
    const std::string duplicates = args.Value("duplicates", "new");
    const std::string disks = args.Value("duplicate-disks", "skip");
    const struct {
        const char* word;
        int option;
    } policies[] = {{"ask", 0}, {"new", 1}, {"reuse", 2}, {"update", 3}};
    int policy = -1;
    for (const auto& p : policies)
        if (duplicates == p.word) policy = p.option;
    if (policy < 0 || (disks != "skip" && disks != "new")) {
        context.err << "tavik-cli db: --duplicates takes ask, new, reuse or update; "
                       "--duplicate-disks takes skip or new\n";
        return kExitUsage;
    }
    const bool fromInput = std::find(words.begin() + 1, words.end(), "-") != words.end();
    if (policy == 0 && (!::isatty(0) || fromInput)) {
        context.err << "tavik-cli db: --duplicates ask needs a terminal to ask on; use new, "
                       "reuse or update\n";
        return kExitUsage;
    }
    options.fileDuplicates = policy;
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
    const std::vector<std::string> paths =
        ImagePaths(std::vector<std::string>(words.begin() + 1, words.end()), std::cin);
    CProgressLine progress(context.err, &context.err == &std::cerr && ::isatty(2) && !rescan);
    // Each disk is one transaction of its own; they are committed together twice a second.
    // The disks since the last commit are told again when a commit fails: they are not kept.
    CCommitBatch batch(catalogue.Database());
    std::vector<std::string> uncommitted;
    int commits = 0;
    auto committed = [&](bool ok) {
        if (ok && batch.Commits() != commits) uncommitted.clear();
        commits = batch.Commits();
        if (ok) return true;
        context.err << Cp1252ToUtf8(catalogue.Database().ErrorText()) << "\n";
        for (const std::string& path : uncommitted)
            context.err << path << ": not kept\n";
        return false;
    };
    int failed = 0, added = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        progress.Show(i, paths.size(), added, failed);
        const std::string& path = paths[i];
        std::vector<uint8_t> bytes;
        CVirtualDrive drive;
        if (!ReadWholeFile(path, bytes)) {
            drive.SetLastError(DiskError::CantOpenPcFile);
            context.err << path << ": " << Cp1252ToUtf8(drive.ErrorText()) << "\n";
            ++failed;
            continue;
        }
        if (!HoldsDiskImage(bytes, Path(path))) {
            context.err << path << ": not a disk image\n";
            ++failed;
            continue;
        }
        if (!drive.MountFile(std::make_unique<CImageInMemory>(std::move(bytes), Path(path)), 0, 0,
                             -1)) {
            context.err << path << ": " << Cp1252ToUtf8(drive.ErrorText()) << "\n";
            ++failed;
            continue;
        }
        if (!committed(batch.Tick())) return kExitFailed;
        const int messagesBefore = prompt.messages;
        prompt.subject = path;
        const bool ok = rescan ? scanner.RescanDisk(drive) : scanner.AddDisk(drive);
        prompt.subject.clear();
        if (ok) {
            ++added;
            uncommitted.push_back(path);
            context.out << path << ": " << (rescan ? "rescanned into" : "added as") << " disk "
                        << scanner.LastDiskId() << "\n";
        } else if (prompt.messages == messagesBefore) {
            context.out << path << ": not added\n";
        } else {
            ++failed;
        }
    }
    if (!committed(batch.Finish())) return kExitFailed;
    progress.Show(paths.size(), paths.size(), added, failed, true);
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
    if (words.size() < 2) {
        context.err << "usage: tavik-cli db sql FILE \"STATEMENT\" [NAME=VALUE]...\n";
        return kExitUsage;
    }
    CStreamPrompt prompt(context.err);
    CatalogueOptions options;
    CCatalogue catalogue(options, prompt);
    CCommandLineParams params(catalogue, std::vector<std::string>(words.begin() + 2, words.end()));
    std::string notPair;
    if (!params.Read(notPair)) {
        context.err << "tavik-cli db sql: " << notPair << " is no NAME=VALUE\n";
        return kExitUsage;
    }
    if (!OpenCatalogue(catalogue, words[0])) return kExitFailed;
    CDatabase& db = catalogue.Database();
    CTerminalAsker asker(std::cin, context.err, &context.err == &std::cerr && ::isatty(0));
    const std::string sql = Utf8ToCp1252(words[1]);
    CQueryDef def;
    if (!db.CreateQueryDef(sql, def)) {
        context.err << Cp1252ToUtf8(db.ErrorText()) << "\n";
        return kExitFailed;
    }
    const bool json = args.Has("json");
    std::string error;
    if (!def.IsQuery()) {
        int changed = 0;
        const StatementResult result =
            ExecuteResolved(db, sql, params, asker, prompt, changed, error);
        if (result != StatementResult::Done) {
            if (result == StatementResult::Failed) context.err << Cp1252ToUtf8(error) << "\n";
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
    const StatementResult result = OpenResolved(set, db, sql, params, asker, prompt, error);
    if (result != StatementResult::Done) {
        if (result == StatementResult::Failed) context.err << Cp1252ToUtf8(error) << "\n";
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
         "create FILE | add FILE IMAGE|FOLDER|-... | rescan FILE IMAGE --id N | remove FILE ID... "
         "| sql FILE STATEMENT [NAME=VALUE]... | import-mdb MDB [SQLITE]",
         "catalogue databases: create one, add disk images (any number; folders are searched "
         "below for images, told by their content; - reads names from standard input) or rescan "
         "one, remove disks, run Jet SQL with its parameters (rows as TSV or JSON), import an "
         "old Jet catalogue",
         1,
         INT_MAX,
         {{"duplicates", true,
           "add/rescan: a file recorded already: ask, new (default), reuse or update"},
          {"duplicate-disks", true, "add: a disk recorded already: skip (default) or new"},
          {"id", true, "rescan: the disk row to update"},
          {"json", false, "sql, duplicates: as JSON"}},
         RunDb},
    };
}

}  // namespace tavik::cli
