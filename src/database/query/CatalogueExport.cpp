#include "database/query/CatalogueExport.h"

#include <array>
#include <cctype>
#include <unordered_map>
#include <unordered_set>

#include <sqlite3.h>

#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/PcFile.h"
#include "database/CatalogueColumns.h"
#include "database/SqlText.h"
#include "database/TableRows.h"
#include "database/query/ExportWriter.h"
#include "database/query/ParamResolver.h"
#include "database/query/QueryColumns.h"
#include "database/query/TokenReader.h"

namespace tavik {

namespace {

const char* const kTables[] = {"Disks", "Files", "DiskFileMM", "Queries", "Params", "Info"};
enum TableIndex { kDisks, kFiles, kLinks, kQueries, kParams, kInfo, kTableCount };

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string ValueText(const CDbValue& value, DbType type) {
    if (value.IsNull()) return {};
    switch (type) {
        case DbType::Boolean:
            return value.AsBool() ? "Yes" : "No";
        case DbType::Byte:
        case DbType::Short:
        case DbType::Long:
            return std::to_string(static_cast<int32_t>(value.AsInteger()));
        default:
            return value.AsText();
    }
}

bool Fail(CCatalogue& catalogue, const std::string& text) {
    catalogue.Prompt().Message(text, PromptIcon::Error);
    return false;
}

// The block's header and the rows of an open set from the first to the last; a row whose ID was
// written already (a file on two of the disks a join went through) is written once.
void WriteBlock(CExportWriter& writer, CRecordSet& set, const std::string& table) {
    const auto& columns = ExportColumns(table);
    std::vector<std::string> captions;
    std::vector<int> indexes;
    for (const ExportColumn& c : columns) {
        captions.push_back(c.caption);
        indexes.push_back(set.FieldIndex(c.column));
    }
    writer.BeginTable(table, captions);
    const int id = set.FieldIndex("ID");
    std::unordered_set<int64_t> written;
    if (set.IsOpen()) {
        for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
            if (id >= 0 && !written.insert(set.GetFieldValue(id).AsInteger()).second) continue;
            for (int index : indexes)
                writer.Value(
                    index < 0 ? std::string()
                              : ValueText(set.GetFieldValue(index), set.GetFieldInfo(index).type));
            writer.EndRow();
        }
    }
    writer.EndTable();
}

// A whole table, read in one pass in ID order.
bool WriteTable(CExportWriter& writer, CDatabase& db, CatalogueTable table) {
    const auto all = CatalogueColumns(table);
    std::vector<std::string> captions;
    std::vector<size_t> positions;
    for (const CatalogueColumn* c : ListedColumns(table)) {
        captions.push_back(c->Caption());
        positions.push_back(static_cast<size_t>(c - all.data()));
    }
    writer.BeginTable(CatalogueTableName(table), captions);
    sqlite3_stmt* s =
        db.Statement("SELECT * FROM " + SqlName(CatalogueTableName(table)) + " ORDER BY rowid");
    if (!s) return false;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        for (size_t p : positions)
            writer.Value(ValueText(db.Column(s, static_cast<int>(p), all[p].type), all[p].type));
        writer.EndRow();
    }
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return db.FailFromEngine();
    writer.EndTable();
    return true;
}

// A disk statement whose condition may be moved onto the joined tables as it stands: one plain
// SELECT of every disk column, no TOP, no join, no sub-select.
bool PlainDiskStatement(const std::string& upper) {
    const bool head = upper.rfind("SELECT ALL * FROM [DISKS]", 0) == 0 ||
                      upper.rfind("SELECT DISTINCTROW * FROM [DISKS]", 0) == 0;
    return head && upper.find("SELECT", 1) == std::string::npos &&
           upper.find("JOIN") == std::string::npos;
}

}  // namespace

const std::vector<ExportColumn>& ExportColumns(const std::string& table) {
    static const auto kColumns = [] {
        std::array<std::vector<ExportColumn>, kCatalogueTableCount> columns;
        for (int t = 0; t < kCatalogueTableCount; ++t)
            for (const CatalogueColumn* c : ListedColumns(static_cast<CatalogueTable>(t)))
                columns[static_cast<size_t>(t)].push_back({c->Caption(), c->name});
        return columns;
    }();
    static const std::vector<ExportColumn> none;
    CatalogueTable id;
    return FindCatalogueTable(table, id) ? kColumns[static_cast<size_t>(id)] : none;
}

std::string FilesOfDisksStatement(CCatalogue& catalogue) {
    std::string sql =
        "SELECT t1.* FROM [Files] t1 INNER JOIN ([DiskFileMM] t2 INNER JOIN [Disks] t3 ON "
        "t3.[ID]=t2.[DiskID]) ON t2.[FileID]=t1.[ID] ";
    CDiskSet& disks = catalogue.DiskSet();
    const std::string diskSql = disks.IsOpen() ? disks.Sql() : std::string();
    const std::string upper = Upper(diskSql);
    if (diskSql.empty() || PlainDiskStatement(upper)) {
        const size_t where = upper.find("WHERE");
        if (where != std::string::npos) sql += QualifyColumns(diskSql.substr(where), "t3");
        return sql;
    }
    // A combined query's condition names aliases and sub-selects of its own: the files are
    // chosen by the IDs of the disks the set shows instead.
    std::string ids;
    for (disks.MoveFirst(); !disks.IsEOF(); disks.MoveNext()) {
        if (!ids.empty()) ids += ",";
        ids += std::to_string(disks.m_ID.Value());
    }
    return sql + "WHERE t3.[ID] IN (" + (ids.empty() ? std::string("0") : ids) + ")";
}

bool ExportCatalogue(CCatalogue& catalogue, const std::string& path, const ExportOptions& options) {
    if (!catalogue.IsOpen()) return false;
    if (!options.separators.Quotable())
        return Fail(catalogue,
                    "A separator must not start with a double quote (\"), which "
                    "encloses the values that hold separators.");
    CDatabase& db = catalogue.Database();
    CDiskSet& disks = catalogue.DiskSet();
    CFileSet& files = catalogue.FileSet();
    std::string error = "Could not open file " + path;
    // The file is written beside its place and put there whole, so that a failure leaves any
    // file of that name as it was.
    const bool written = ReplaceFileAtomically(Cp1252ToUtf8(path), [&](CPcFile& file) {
        error = "Could not write file " + path;
        CExportWriter writer(options.separators);
        writer.OpenFile(file);
        auto engine = [&](const std::string& text) {
            error = text;
            return false;
        };
        if (options.disks == ExportRows::All) {
            if (!disks.Open("SELECT ALL * FROM [Disks]")) return engine(disks.ErrorText());
            if (!WriteTable(writer, db, CatalogueTable::Disks)) return engine(db.ErrorText());
        } else if (options.disks == ExportRows::CurrentSet) {
            WriteBlock(writer, disks, "Disks");
        }
        switch (options.files) {
            case ExportRows::All:
                if (!files.Open("SELECT ALL * FROM [Files]")) return engine(files.ErrorText());
                if (!WriteTable(writer, db, CatalogueTable::Files)) return engine(db.ErrorText());
                break;
            case ExportRows::CurrentSet:
                WriteBlock(writer, files, "Files");
                break;
            case ExportRows::FromAboveDisks:
                if (!files.Open(FilesOfDisksStatement(catalogue))) return engine(files.ErrorText());
                WriteBlock(writer, files, "Files");
                break;
            case ExportRows::None:
                break;
        }
        const std::pair<bool, CatalogueTable> tables[] = {
            {options.links, CatalogueTable::Links},
            {options.queries, CatalogueTable::Queries},
            {options.params, CatalogueTable::Params},
            {options.info, CatalogueTable::Info}};
        for (const auto& [chosen, table] : tables)
            if (chosen && !WriteTable(writer, db, table)) return engine(db.ErrorText());
        return writer.Close();
    });
    return written || Fail(catalogue, error);
}

namespace {

// One merge: the file's blocks read in order into the open catalogue, inside the caller's
// transaction. Any error ends it with a message (naming the line where the file is at fault);
// the caller then undoes everything.
class CMerge {
public:
    CMerge(CCatalogue& catalogue, std::string_view bytes, const std::string& path,
           const MergeOptions& options, MergeReport& report)
        : m_path(path),
          m_catalogue(catalogue),
          m_db(catalogue.Database()),
          m_reader(bytes, options.separators),
          m_options(options),
          m_report(report) {}

    bool Run();

private:
    using Row = std::vector<CDbValue>;
    bool Block(CatalogueTable table);
    bool Imported(CatalogueTable table) const;
    bool Disk(CTableRows& rows, const Row& row);
    bool File(CTableRows& rows, const Row& row);
    bool Link(CTableRows& rows, const Row& row);
    bool Named(CTableRows& rows, const Row& row, TableMerge policy, int key);
    bool RemoveUnlinkedFiles();
    // A record's fields (list order) as a row of the table (table order).
    static Row ToRow(CatalogueTable table, const std::vector<std::string>& fields);
    bool Error(size_t position, const std::string& text) {
        return Message(m_path + ", line " + std::to_string(m_reader.LineAt(position)) + ": " +
                       text);
    }
    bool Message(const std::string& text) {
        m_catalogue.Prompt().Message(text, PromptIcon::Error);
        return false;
    }
    bool Engine() { return Message(m_db.ErrorText()); }

    const std::string& m_path;
    CCatalogue& m_catalogue;
    CDatabase& m_db;
    CTokenReader m_reader;
    const MergeOptions& m_options;
    MergeReport& m_report;
    std::unordered_map<int64_t, int64_t> m_diskMap, m_fileMap;
    std::unordered_set<int64_t> m_diskIds;  // IDs of the disks the file lists
    std::unordered_set<int64_t> m_addedDisks, m_addedFiles, m_linkedFiles, m_writtenDisks,
        m_takenFiles;
    std::vector<int64_t> m_ids;
    bool m_filesRead = false;
};

int64_t Decimal(const std::string& text) {
    return ReadDecimal(text);
}

bool IsKey(const std::string& column) {
    return column == "ID" || column == "DiskID" || column == "FileID";
}

// What the export writes for a row's ID: an optional minus and decimal digits, in 32 bits.
bool IsWholeNumber(const std::string& text) {
    const size_t digits = text.size() - (text.rfind('-', 0) == 0 ? 1 : 0);
    if (digits == 0 || digits > 10) return false;
    for (size_t i = text.size() - digits; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    const long long value = std::stoll(text);
    return value >= INT32_MIN && value <= INT32_MAX;
}

CMerge::Row CMerge::ToRow(CatalogueTable table, const std::vector<std::string>& fields) {
    const auto all = CatalogueColumns(table);
    Row row(all.size());
    const auto listed = ListedColumns(table);
    for (size_t i = 0; i < listed.size() && i < fields.size(); ++i) {
        const CatalogueColumn& c = *listed[i];
        const std::string& text = fields[i];
        CDbValue& value = row[static_cast<size_t>(&c - all.data())];
        // A null is written as nothing, and so is an empty text, which the catalogue stores as
        // null. A counter's value is the row's ID in the catalogue the file came from.
        if (text.empty()) continue;
        switch (c.type) {
            case DbType::Boolean:
                value = CDbValue::Bool(ReadYes(text));
                break;
            case DbType::Byte:
            case DbType::Short:
            case DbType::Long:
                value = CDbValue::Integer(Decimal(text));
                break;
            default:
                value = CDbValue::Text(text);
                break;
        }
    }
    return row;
}

bool CMerge::Imported(CatalogueTable table) const {
    switch (table) {
        case CatalogueTable::Disks:
        case CatalogueTable::Files:
        case CatalogueTable::Links:
            return m_options.disks != DiskMerge::DoNotImport;
        case CatalogueTable::Queries:
            return m_options.queries != TableMerge::DoNotImport;
        case CatalogueTable::Params:
            return m_options.params != TableMerge::DoNotImport;
        case CatalogueTable::Info:
            return m_options.info != TableMerge::DoNotImport;
    }
    return false;
}

bool CMerge::Disk(CTableRows& rows, const Row& row) {
    static const int kCrcS = CTableRows::Column(CatalogueTable::Disks, "CRC-S");
    const int64_t exported = row[1].AsInteger();
    if (!rows.Find({kCrcS}, {row[static_cast<size_t>(kCrcS)]}, m_ids)) return Engine();
    // Rows this merge wrote are not matched again: two disks of the file with the same sector
    // checksum stay two disks.
    int64_t match = 0;
    for (int64_t id : m_ids)
        if (!match && !m_writtenDisks.count(id)) match = id;
    if (match && m_options.disks == DiskMerge::Skip) return true;
    int64_t id = match;
    if (match && m_options.disks == DiskMerge::Overwrite) {
        if (!rows.Update(match, row)) return Engine();
        ++m_report.disksUpdated;
    } else {
        if (!(id = rows.Insert(row))) return Engine();
        m_addedDisks.insert(id);
        ++m_report.disksAdded;
    }
    m_diskMap[exported] = id;
    m_writtenDisks.insert(id);
    return true;
}

bool CMerge::File(CTableRows& rows, const Row& row) {
    static const int kCrc = CTableRows::Column(CatalogueTable::Files, "CRC");
    static const int kName = CTableRows::Column(CatalogueTable::Files, "File name");
    const int64_t exported = row[1].AsInteger();
    // A file listed again (it is on two of the exported disks) is the same file.
    if (m_fileMap.count(exported)) return true;
    if (!rows.Find({kCrc, kName}, {row[static_cast<size_t>(kCrc)], row[static_cast<size_t>(kName)]},
                   m_ids))
        return Engine();
    // Each file of the text takes a row of its own where there are enough: merging a
    // catalogue's export into it gives every file its own row back.
    int64_t match = 0;
    for (int64_t id : m_ids)
        if (!match && !m_takenFiles.count(id)) match = id;
    if (!match && !m_ids.empty() && m_options.files == FileMerge::Reuse) match = m_ids.front();
    int64_t id = match;
    if (match && m_options.files == FileMerge::Reuse) {
        // nothing written
    } else if (match && m_options.files == FileMerge::Overwrite) {
        if (!rows.Update(match, row)) return Engine();
        ++m_report.filesUpdated;
    } else {
        if (!(id = rows.Insert(row))) return Engine();
        m_addedFiles.insert(id);
        ++m_report.filesAdded;
    }
    m_fileMap[exported] = id;
    m_takenFiles.insert(id);
    return true;
}

bool CMerge::Link(CTableRows& rows, const Row& row) {
    const auto disk = m_diskMap.find(row[1].AsInteger());
    const auto file = m_fileMap.find(row[2].AsInteger());
    // Links of disks this merge did not write (left by "Skip if exist", or not in the file)
    // are not its business.
    if (disk == m_diskMap.end()) return true;
    if (file == m_fileMap.end())
        return Message("An disk was imported, but not all the files it contains");
    m_linkedFiles.insert(file->second);
    const Row link = {CDbValue::Null(), CDbValue::Integer(disk->second),
                      CDbValue::Integer(file->second)};
    // A disk or a file this merge added has no links yet to be found.
    const bool added = m_addedDisks.count(disk->second) || m_addedFiles.count(file->second);
    if (!added && !rows.Find({1, 2}, {link[1], link[2]}, m_ids)) return Engine();
    if (!added && !m_ids.empty()) return true;
    if (!rows.Insert(link)) return Engine();
    ++m_report.linksAdded;
    return true;
}

bool CMerge::Named(CTableRows& rows, const Row& row, TableMerge policy, int key) {
    if (!rows.Find({key}, {row[static_cast<size_t>(key)]}, m_ids)) return Engine();
    if (!m_ids.empty() && policy == TableMerge::Skip) return true;
    if (!m_ids.empty()) {
        if (!rows.Update(m_ids.front(), row)) return Engine();
        ++m_report.rowsUpdated;
    } else {
        if (!rows.Insert(row)) return Engine();
        ++m_report.rowsAdded;
    }
    return true;
}

// Every file row this merge added that no link holds goes again.
bool CMerge::RemoveUnlinkedFiles() {
    if (!m_filesRead) return true;
    m_filesRead = false;
    for (int64_t id : m_addedFiles) {
        if (m_linkedFiles.count(id)) continue;
        if (m_db.Execute("DELETE FROM [Files] WHERE [ID] = " + std::to_string(id)) < 0)
            return Engine();
        ++m_report.filesRemoved;
    }
    return true;
}

bool CMerge::Block(CatalogueTable table) {
    const std::string name = CatalogueTableName(table);
    const auto& columns = ExportColumns(name);
    std::vector<std::string> fields;
    size_t at = m_reader.Position();
    if (m_reader.ReadRecord(fields) != TokenEnd::Record || fields.size() != columns.size())
        return Error(at, "the header of table " + name + " does not name its " +
                             std::to_string(columns.size()) +
                             " columns; were the separators those the file was written with?");
    for (size_t i = 0; i < columns.size(); ++i) {
        if (Upper(fields[i]) != Upper(columns[i].caption))
            return Error(at, "table " + name + " has the column \"" + fields[i] + "\" where \"" +
                                 columns[i].caption + "\" was expected");
    }
    const bool imported = Imported(table);
    CTableRows rows(m_db, table);
    static const int kQueryName = CTableRows::Column(CatalogueTable::Queries, "Query name");
    static const int kName = CTableRows::Column(CatalogueTable::Params, "Name");
    static const int kInfoName = CTableRows::Column(CatalogueTable::Info, "Name");
    while (true) {
        at = m_reader.Position();
        const TokenEnd end = m_reader.ReadRecord(fields);
        if (end == TokenEnd::Table && fields.size() == 1 && fields[0].empty()) return true;
        if (end == TokenEnd::EndOfFile && fields.size() == 1 && fields[0].empty())
            return Error(at, "the file ends inside table " + name + " (it is cut short)");
        if (end != TokenEnd::Record)
            return Error(
                at, end == TokenEnd::EndOfFile
                        ? "the file ends inside a record of table " + name + " (it is cut short)"
                        : "a record of table " + name +
                              " ends without its record "
                              "separator");
        if (fields.size() != columns.size())
            return Error(at, "a record of table " + name + " has " + std::to_string(fields.size()) +
                                 " fields where " + std::to_string(columns.size()) +
                                 " were expected");
        if (!imported) continue;
        // The IDs tie links to disks and files: one that is no number would tie them wrongly.
        for (size_t i = 0; i < columns.size(); ++i) {
            if (IsKey(columns[i].column) && !IsWholeNumber(fields[i]))
                return Error(at, "a record of table " + name + " has \"" + fields[i] +
                                     "\" where its " + columns[i].caption +
                                     " must be a whole number");
        }
        const Row row = ToRow(table, fields);
        // Links name a disk by its ID: two disks of one ID would take each other's files.
        if (table == CatalogueTable::Disks && !m_diskIds.insert(row[1].AsInteger()).second)
            return Error(at, "the ID " + fields[1] + " is listed twice in table Disks");
        bool ok = true;
        switch (table) {
            case CatalogueTable::Disks:
                ok = Disk(rows, row);
                break;
            case CatalogueTable::Files:
                ok = File(rows, row);
                break;
            case CatalogueTable::Links:
                ok = Link(rows, row);
                break;
            case CatalogueTable::Queries:
                ok = Named(rows, row, m_options.queries, kQueryName);
                break;
            case CatalogueTable::Params:
                ok = Named(rows, row, m_options.params, kName);
                break;
            case CatalogueTable::Info:
                ok = Named(rows, row, m_options.info, kInfoName);
                break;
        }
        if (!ok) return false;
    }
}

bool CMerge::Run() {
    int next = 0;  // tables come in the order Disks, Files, DiskFileMM, Queries, Params, Info
    std::string name;
    while (!m_reader.AtEnd()) {
        const size_t at = m_reader.Position();
        const TokenEnd end = m_reader.Read(name);
        if (end == TokenEnd::EndOfFile && at > 0)
            return Error(at, "the file ends inside a table name (it is cut short)");
        if (end != TokenEnd::Record)
            return Error(at,
                         "a table name must end with the record separator; were the "
                         "separators those the file was written with?");
        CatalogueTable table;
        if (!FindCatalogueTable(name, table) || name != CatalogueTableName(table))
            return Error(at, "\"" + name + "\" is no table of a catalogue");
        if (static_cast<int>(table) < next)
            return Error(at, "table " + name + " comes after a table that follows it");
        if (static_cast<int>(table) > static_cast<int>(CatalogueTable::Links) &&
            !RemoveUnlinkedFiles())
            return false;
        next = static_cast<int>(table) + 1;
        if (table == CatalogueTable::Files && Imported(table)) m_filesRead = true;
        if (!Block(table)) return false;
        if (table == CatalogueTable::Links && !RemoveUnlinkedFiles()) return false;
        if (m_reader.AtCleanEnd()) break;
    }
    return RemoveUnlinkedFiles();
}

}  // namespace

bool MergeCatalogueBytes(CCatalogue& catalogue, std::string_view bytes, const std::string& path,
                         const MergeOptions& options, MergeReport* report) {
    MergeReport local;
    MergeReport& r = report ? *report : local;
    r = MergeReport();
    if (!catalogue.IsOpen()) return false;
    if (!options.separators.Readable())
        return Fail(catalogue, "Every separator must be at least one character long.");
    bool ok;
    {
        // The whole merge is one transaction: it is all there, or the catalogue is as it was.
        CTransaction transaction(catalogue.Database());
        if (!transaction.Started()) return Fail(catalogue, catalogue.Database().ErrorText());
        CMerge merge(catalogue, bytes, path, options, r);
        ok = merge.Run() &&
             (transaction.Commit() || Fail(catalogue, catalogue.Database().ErrorText()));
    }
    if (!ok) r = MergeReport();
    r.completed = ok;
    // The current sets show the catalogue as it is now.
    catalogue.DiskSet().Open("SELECT ALL * FROM [Disks]");
    catalogue.FileSet().Open("SELECT ALL * FROM [Files]");
    return ok;
}

bool MergeCatalogue(CCatalogue& catalogue, const std::string& path, const MergeOptions& options,
                    MergeReport* report) {
    if (!catalogue.IsOpen()) return false;
    if (!options.separators.Readable())
        return Fail(catalogue, "Every separator must be at least one character long.");
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(Cp1252ToUtf8(path), bytes))
        return Fail(catalogue, "Could not open file " + path);
    return MergeCatalogueBytes(
        catalogue, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
        path, options, report);
}

}  // namespace tavik
