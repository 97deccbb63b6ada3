#include "database/query/QueryRun.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "base/Cp1252.h"
#include "database/query/Assemble.h"
#include "database/query/QueryRules.h"

namespace tavik {

namespace {

std::string Format(const char* format, int value) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

bool IsDiskQuery(const QueryFields& node) {
    return node.kind == static_cast<int32_t>(QueryKind::Disks);
}

}  // namespace

RunOutcome RunQuery(CCatalogue& catalogue, std::span<const QueryFields> chain, CParamSource& source,
                    CParamAsker& asker) {
    if (chain.empty() || !catalogue.IsOpen()) return RunOutcome::Failed;
    const bool disks = IsDiskQuery(chain[0]);
    CRecordSet& set = disks ? static_cast<CRecordSet&>(catalogue.DiskSet())
                            : static_cast<CRecordSet&>(catalogue.FileSet());
    std::string sql = Assemble(chain);
    if (sql.empty()) sql = disks ? "SELECT ALL * FROM [Disks]" : "SELECT ALL * FROM [Files]";
    std::string error;
    switch (
        OpenResolved(set, catalogue.Database(), sql, source, asker, catalogue.Prompt(), error)) {
        case StatementResult::Done:
            return RunOutcome::Shown;
        case StatementResult::Cancelled:
            return RunOutcome::Cancelled;
        case StatementResult::Failed:
            break;
    }
    catalogue.Prompt().Message(error, PromptIcon::Error);
    set.Open(disks ? "SELECT ALL * FROM [Disks] WHERE [ID] = 0"
                   : "SELECT ALL * FROM [Files] WHERE [ID] = 0");
    return RunOutcome::Failed;
}

RunOutcome RunFreeSql(CCatalogue& catalogue, const QueryFields& node, CParamSource& source,
                      CParamAsker& asker, int* changed) {
    if (!catalogue.IsOpen()) return RunOutcome::Failed;
    std::string error;
    StatementResult result;
    int count = 0;
    if (IsFreeSqlCommand(node)) {
        result = ExecuteResolved(catalogue.Database(), node.sql, source, asker, catalogue.Prompt(),
                                 count, error);
        if (result == StatementResult::Done) {
            if (changed) *changed = count;
            catalogue.Prompt().Message(Format("Modified %d records", count));
        }
    } else {
        CRecordSet& results = catalogue.ResultSet();
        results.Close();
        result = OpenResolved(results, catalogue.Database(), node.sql, source, asker,
                              catalogue.Prompt(), error);
        if (result == StatementResult::Done) catalogue.Prompt().Message("Done");
    }
    if (result == StatementResult::Cancelled) return RunOutcome::Cancelled;
    if (result == StatementResult::Failed) {
        catalogue.Prompt().Message(error, PromptIcon::Error);
        return RunOutcome::Failed;
    }
    return RunOutcome::Shown;
}

RunOutcome BulkUpdate(CCatalogue& catalogue, bool files, const std::string& set,
                      const std::string& where, CParamSource& source, CParamAsker& asker,
                      int* changed) {
    if (!catalogue.IsOpen()) return RunOutcome::Failed;
    std::string error;
    int count = 0;
    switch (ExecuteResolved(catalogue.Database(), BulkUpdateStatement(files, set, where), source,
                            asker, catalogue.Prompt(), count, error)) {
        case StatementResult::Cancelled:
            return RunOutcome::Cancelled;
        case StatementResult::Failed:
            catalogue.Prompt().Message(error, PromptIcon::Error);
            return RunOutcome::Failed;
        case StatementResult::Done:
            break;
    }
    if (changed) *changed = count;
    catalogue.Prompt().Message(Format("Done. Modified %d records", count));
    return RunOutcome::Shown;
}

namespace {

std::string TimeText(std::time_t when, const char* format) {
    std::tm local{};
    localtime_r(&when, &local);
    char buffer[256];
    const size_t n = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, n);
}

// The file's birth time where the file system records one, else its last status change.
std::time_t CreationTime(const std::string& path, std::time_t fallback) {
#ifdef STATX_BTIME
    struct statx sx {};
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
        return static_cast<std::time_t>(sx.stx_btime.tv_sec);
#endif
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) return st.st_ctime;
    return fallback;
}

long RowCount(CDatabase& db, const char* table) {
    CRecordSet set(&db);
    if (!set.Open(std::string("SELECT ALL * FROM [") + table + "]")) return 0;
    set.MoveLast();
    return set.GetRecordCount();
}

}  // namespace

std::string DatabaseProperties(CCatalogue& catalogue) {
    const std::string path = catalogue.Path();
    const std::string native = Cp1252ToUtf8(path);
    struct stat st {};
    const std::time_t modified = stat(native.c_str(), &st) == 0 ? st.st_mtime : 0;
    std::string text = "Filename: " + path;
    text += "\r\nFirst created: " +
            TimeText(CreationTime(native, modified), "%B %d, %Y %H:%M:%S\r\nLast modified: ");
    text += TimeText(modified, "%B %d, %Y %H:%M:%S\r\n\r\n");
    CDatabase& db = catalogue.Database();
    text += Format("Disk entries: %d\r\n", static_cast<int>(RowCount(db, "Disks")));
    text += Format("File entries: %d\r\n", static_cast<int>(RowCount(db, "Files")));
    text += Format("Saved queries: %d\r\n", static_cast<int>(RowCount(db, "Queries")));
    text += Format("Saved params: %d\r\n", static_cast<int>(RowCount(db, "Params")));
    return text;
}

}  // namespace tavik
