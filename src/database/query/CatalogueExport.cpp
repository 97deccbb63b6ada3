#include "database/query/CatalogueExport.h"

#include <cctype>
#include <unordered_map>
#include <unordered_set>

#include "base/Cp1252.h"
#include "base/PcFile.h"
#include "base/UpperAscii.h"
#include "database/query/ExportWriter.h"
#include "database/query/ParamResolver.h"
#include "database/query/QueryColumns.h"
#include "database/query/TokenReader.h"

namespace tavik {

namespace {

const char* const kTables[] = {"Disks", "Files", "DiskFileMM", "Queries", "Params", "Info"};
enum TableIndex { kDisks, kFiles, kLinks, kQueries, kParams, kInfo, kTableCount };

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

// Writes the rows of an open set from the first to the last.
void WriteBlock(CExportWriter& writer, CRecordSet& set, const std::string& table) {
    const auto& columns = ExportColumns(table);
    std::vector<std::string> captions;
    std::vector<int> indexes;
    for (const ExportColumn& c : columns) {
        captions.push_back(c.caption);
        indexes.push_back(set.FieldIndex(c.column));
    }
    writer.BeginTable(table, captions);
    if (set.IsOpen()) {
        for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
            for (int index : indexes)
                writer.Value(
                    index < 0 ? std::string()
                              : ValueText(set.GetFieldValue(index), set.GetFieldInfo(index).type));
            writer.EndRow();
        }
    }
    writer.EndTable();
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
    static const std::vector<ExportColumn> disks = {{"Disk name", "Disk name"},
                                                    {"ID", "ID"},
                                                    {"Size", "Size"},
                                                    {"Free", "Free"},
                                                    {"Files", "Files"},
                                                    {"DS", "DS"},
                                                    {"DD", "DD"},
                                                    {"Protected", "Protected"},
                                                    {"Creation date", "Creation date"},
                                                    {"Creation time", "Creation time"},
                                                    {"Modification date", "Modification date"},
                                                    {"Modification time", "Modification time"},
                                                    {"Archived date", "Archived date"},
                                                    {"Archived time", "Archived time"},
                                                    {"CRC-S", "CRC-S"},
                                                    {"CRC-F", "CRC-F"},
                                                    {"Drive type", "Drive type"},
                                                    {"Drive", "Drive"},
                                                    {"Info1", "Info1"},
                                                    {"Info2", "Info2"},
                                                    {"Info3", "Info3"}};
    static const std::vector<ExportColumn> files = {{"File name", "File name"},
                                                    {"ID", "ID"},
                                                    {"Type", "Type"},
                                                    {"Size", "Size"},
                                                    {"Records", "Records"},
                                                    {"Last byte", "Last"},
                                                    {"Protected", "Protected"},
                                                    {"Creation date", "Creation date"},
                                                    {"Creation time", "Creation time"},
                                                    {"Modification date", "Modification date"},
                                                    {"Modification time", "Modification time"},
                                                    {"Archived date", "Archived date"},
                                                    {"Archived time", "Archived time"},
                                                    {"CRC", "CRC"},
                                                    {"Info1", "Info1"},
                                                    {"Info2", "Info2"},
                                                    {"Info3", "Info3"}};
    static const std::vector<ExportColumn> links = {
        {"ID", "ID"}, {"DiskID", "DiskID"}, {"FileID", "FileID"}};
    static const std::vector<ExportColumn> queries = {{"Query name", "Query name"},
                                                      {"ID", "ID"},
                                                      {"From", "From"},
                                                      {"Where", "Where"},
                                                      {"Order by", "Order by"},
                                                      {"Predicate", "Predicate"},
                                                      {"SQL", "SQL"},
                                                      {"Join on", "Join on"},
                                                      {"Combination", "Combination"},
                                                      {"Parent query", "Parent name"},
                                                      {"Columns", "Columns"},
                                                      {"Comments", "Comments"}};
    static const std::vector<ExportColumn> params = {{"Name", "Name"},
                                                     {"ID", "ID"},
                                                     {"Type", "Type"},
                                                     {"Value", "Value"},
                                                     {"Comments", "Comments"}};
    static const std::vector<ExportColumn> info = {
        {"ID", "ID"}, {"Name", "Name"}, {"Value", "Value"}};
    static const std::vector<ExportColumn> none;
    if (table == "Disks") return disks;
    if (table == "Files") return files;
    if (table == "DiskFileMM") return links;
    if (table == "Queries") return queries;
    if (table == "Params") return params;
    if (table == "Info") return info;
    return none;
}

std::string FilesOfDisksStatement(CCatalogue& catalogue) {
    std::string sql =
        "SELECT t1.* FROM [Files] t1 INNER JOIN ([DiskFileMM] t2 INNER JOIN [Disks] t3 ON "
        "t3.[ID]=t2.[DiskID]) ON t2.[FileID]=t1.[ID] ";
    CDiskSet& disks = catalogue.DiskSet();
    const std::string diskSql = disks.IsOpen() ? disks.Sql() : std::string();
    const std::string upper = UpperAscii(diskSql);
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
    CExportWriter writer(options.separators);
    if (!writer.Open(Cp1252ToUtf8(path))) return Fail(catalogue, "Could not open file " + path);
    CDatabase& db = catalogue.Database();
    CDiskSet& disks = catalogue.DiskSet();
    CFileSet& files = catalogue.FileSet();
    if (options.disks == ExportRows::All && !disks.Open("SELECT ALL * FROM [Disks]"))
        return Fail(catalogue, disks.ErrorText());
    if (options.disks == ExportRows::All || options.disks == ExportRows::CurrentSet)
        WriteBlock(writer, disks, "Disks");
    switch (options.files) {
        case ExportRows::All:
            if (!files.Open("SELECT ALL * FROM [Files]")) return Fail(catalogue, files.ErrorText());
            WriteBlock(writer, files, "Files");
            break;
        case ExportRows::CurrentSet:
            WriteBlock(writer, files, "Files");
            break;
        case ExportRows::FromAboveDisks:
            if (!files.Open(FilesOfDisksStatement(catalogue)))
                return Fail(catalogue, files.ErrorText());
            WriteBlock(writer, files, "Files");
            break;
        case ExportRows::None:
            break;
    }
    const std::pair<bool, const char*> tables[] = {{options.links, "DiskFileMM"},
                                                   {options.queries, "Queries"},
                                                   {options.params, "Params"},
                                                   {options.info, "Info"}};
    for (const auto& [chosen, table] : tables) {
        if (!chosen) continue;
        CRecordSet set(&db);
        if (!set.Open(std::string("SELECT ALL * FROM [") + table + "]"))
            return Fail(catalogue, set.ErrorText());
        WriteBlock(writer, set, table);
    }
    if (!writer.Close()) return Fail(catalogue, "Could not write file " + path);
    return true;
}

namespace {

class CMerge {
public:
    CMerge(CCatalogue& catalogue, std::string_view bytes, const MergeOptions& options,
           MergeReport& report)
        : m_catalogue(catalogue),
          m_db(catalogue.Database()),
          m_reader(bytes, options.separators),
          m_options(options),
          m_report(report) {}

    bool Run();

private:
    bool Disks();
    bool Files();
    bool Links();
    bool Named(TableIndex table, TableMerge policy);
    void RemoveUnlinkedFiles();
    bool Engine(const std::string& error) {
        m_catalogue.Prompt().Message(error, PromptIcon::Error);
        return false;
    }
    // Opens `set` on the rows of `sql` whose parameters take `values` in order.
    bool OpenMatch(CRecordSet& set, const std::string& sql, const std::vector<CDbValue>& values);
    // Writes a record's fields (caption order) into the set's current new or edited row.
    void WriteFields(CRecordSet& set, const std::string& table,
                     const std::vector<std::string>& fields);

    CCatalogue& m_catalogue;
    CDatabase& m_db;
    CTokenReader m_reader;
    const MergeOptions& m_options;
    MergeReport& m_report;
    std::vector<std::string> m_fields;
    std::unordered_map<int64_t, int32_t> m_diskMap, m_fileMap;
    std::unordered_set<int32_t> m_addedFiles, m_linkedFiles, m_writtenDisks, m_writtenFiles;
    bool m_filesHandled = false;
    bool m_cleanedUp = false;
};

bool CMerge::OpenMatch(CRecordSet& set, const std::string& sql,
                       const std::vector<CDbValue>& values) {
    CQueryDef def;
    if (!m_db.CreateQueryDef(sql, def)) return Engine(m_db.ErrorText());
    for (size_t i = 0; i < def.Parameters().size() && i < values.size(); ++i)
        def.SetParameter(i, values[i]);
    if (!set.Open(def)) return Engine(set.ErrorText());
    return true;
}

void CMerge::WriteFields(CRecordSet& set, const std::string& table,
                         const std::vector<std::string>& fields) {
    const auto& columns = ExportColumns(table);
    for (size_t i = 0; i < columns.size() && i < fields.size(); ++i) {
        const std::string column = columns[i].column;
        if (column == "ID") continue;
        const int index = set.FieldIndex(column);
        if (index < 0) continue;
        const std::string& text = fields[i];
        switch (set.GetFieldInfo(index).type) {
            case DbType::Boolean:
                set.SetFieldValue(index, CDbValue::Bool(ReadYes(text)));
                break;
            case DbType::Byte:
            case DbType::Short:
            case DbType::Long:
                set.SetFieldValue(index, CDbValue::Integer(ReadDecimal(text)));
                break;
            default:
                set.SetFieldValue(index, text.empty() ? CDbValue::Null() : CDbValue::Text(text));
                break;
        }
    }
}

bool CMerge::Disks() {
    CRecordSet match(&m_db);
    CRecordSet adder(&m_db);
    if (!adder.Open("SELECT ALL * FROM [Disks] WHERE [ID] = 0")) return Engine(adder.ErrorText());
    while (m_reader.ReadRecord(ExportColumns("Disks").size(), m_fields)) {
        if (!OpenMatch(match, "SELECT ALL * FROM [Disks] WHERE [CRC-S] = [Merge CRC-S]",
                       {CDbValue::Text(m_fields[14])}))
            return false;
        // Rows this merge wrote are not matched again: two disks of the file with the same
        // sector checksum stay two disks.
        while (!match.IsEOF() &&
               m_writtenDisks.count(static_cast<int32_t>(match.GetFieldValue("ID").AsInteger())))
            match.MoveNext();
        CRecordSet* target = &adder;
        if (!match.IsEOF()) {
            if (m_options.disks == DiskMerge::Skip) continue;
            if (m_options.disks == DiskMerge::Overwrite) target = &match;
        }
        const bool adding = target == &adder;
        if (!(adding ? target->AddNew() : target->Edit())) return Engine(target->ErrorText());
        WriteFields(*target, "Disks", m_fields);
        if (!target->Update()) return Engine(target->ErrorText());
        const int32_t id = static_cast<int32_t>(target->GetFieldValue("ID").AsInteger());
        m_diskMap[ReadDecimal(m_fields[1])] = id;
        m_writtenDisks.insert(id);
        ++(adding ? m_report.disksAdded : m_report.disksUpdated);
    }
    return true;
}

bool CMerge::Files() {
    CRecordSet match(&m_db);
    CRecordSet adder(&m_db);
    if (!adder.Open("SELECT ALL * FROM [Files] WHERE [ID] = 0")) return Engine(adder.ErrorText());
    while (m_reader.ReadRecord(ExportColumns("Files").size(), m_fields)) {
        if (!OpenMatch(match,
                       "SELECT ALL * FROM [Files] WHERE [CRC] = [Merge CRC] AND [File name] = "
                       "[Merge name]",
                       {CDbValue::Text(m_fields[13]), CDbValue::Text(m_fields[0])}))
            return false;
        const int64_t exported = ReadDecimal(m_fields[1]);
        if (m_options.files != FileMerge::Reuse) {
            while (!match.IsEOF() && m_writtenFiles.count(static_cast<int32_t>(
                                         match.GetFieldValue("ID").AsInteger())))
                match.MoveNext();
        }
        if (!match.IsEOF() && m_options.files == FileMerge::Reuse) {
            m_fileMap[exported] = static_cast<int32_t>(match.GetFieldValue("ID").AsInteger());
            continue;
        }
        CRecordSet* target =
            !match.IsEOF() && m_options.files == FileMerge::Overwrite ? &match : &adder;
        const bool adding = target == &adder;
        if (!(adding ? target->AddNew() : target->Edit())) return Engine(target->ErrorText());
        WriteFields(*target, "Files", m_fields);
        if (!target->Update()) return Engine(target->ErrorText());
        const int32_t id = static_cast<int32_t>(target->GetFieldValue("ID").AsInteger());
        m_fileMap[exported] = id;
        m_writtenFiles.insert(id);
        if (adding) m_addedFiles.insert(id);
        ++(adding ? m_report.filesAdded : m_report.filesUpdated);
    }
    return true;
}

bool CMerge::Links() {
    CRecordSet match(&m_db);
    CRecordSet adder(&m_db);
    if (!adder.Open("SELECT ALL * FROM [DiskFileMM] WHERE [ID] = 0"))
        return Engine(adder.ErrorText());
    while (m_reader.ReadRecord(ExportColumns("DiskFileMM").size(), m_fields)) {
        const auto disk = m_diskMap.find(ReadDecimal(m_fields[1]));
        const auto file = m_fileMap.find(ReadDecimal(m_fields[2]));
        const bool diskMapped = disk != m_diskMap.end(), fileMapped = file != m_fileMap.end();
        if (diskMapped && !fileMapped) {
            m_catalogue.Prompt().Message("An disk was imported, but not all the files it contains",
                                         PromptIcon::Warning);
            return false;
        }
        if (!diskMapped && fileMapped) {
            m_catalogue.Prompt().Message("A file was imported, but not all the disks it belongs to",
                                         PromptIcon::Warning);
            return false;
        }
        if (!diskMapped) continue;
        m_linkedFiles.insert(file->second);
        if (!OpenMatch(match,
                       "SELECT ALL * FROM [DiskFileMM] WHERE [DiskID] = [Merge disk] AND "
                       "[FileID] = [Merge file]",
                       {CDbValue::Integer(disk->second), CDbValue::Integer(file->second)}))
            return false;
        if (!match.IsEOF()) continue;
        if (!adder.AddNew()) return Engine(adder.ErrorText());
        adder.SetFieldValue("DiskID", CDbValue::Integer(disk->second));
        adder.SetFieldValue("FileID", CDbValue::Integer(file->second));
        if (!adder.Update()) return Engine(adder.ErrorText());
        ++m_report.linksAdded;
    }
    return true;
}

void CMerge::RemoveUnlinkedFiles() {
    if (m_cleanedUp || !m_filesHandled) return;
    m_cleanedUp = true;
    CQueryDef def;
    if (!m_db.CreateQueryDef("DELETE FROM [Files] WHERE [ID] = [Merge file]", def)) return;
    for (int32_t id : m_addedFiles) {
        if (m_linkedFiles.count(id)) continue;
        def.SetParameter(0, CDbValue::Integer(id));
        if (m_db.Execute(def) > 0) ++m_report.filesRemoved;
    }
}

bool CMerge::Named(TableIndex table, TableMerge policy) {
    const std::string name = kTables[table];
    const auto& columns = ExportColumns(name);
    const std::string key = table == kQueries ? "Query name" : "Name";
    CRecordSet match(&m_db);
    CRecordSet adder(&m_db);
    if (!adder.Open("SELECT ALL * FROM [" + name + "] WHERE [ID] = 0"))
        return Engine(adder.ErrorText());
    // The key is the block's first field for Queries and Params, the second for Info.
    const size_t keyField = table == kInfo ? 1 : 0;
    while (m_reader.ReadRecord(columns.size(), m_fields)) {
        if (!OpenMatch(match, "SELECT ALL * FROM [" + name + "] WHERE [" + key + "] = [Merge key]",
                       {CDbValue::Text(m_fields[keyField])}))
            return false;
        CRecordSet* target = &adder;
        if (!match.IsEOF()) {
            if (policy == TableMerge::Skip) continue;
            target = &match;
        }
        const bool adding = target == &adder;
        if (!(adding ? target->AddNew() : target->Edit())) return Engine(target->ErrorText());
        WriteFields(*target, name, m_fields);
        if (!target->Update()) return Engine(target->ErrorText());
        ++(adding ? m_report.rowsAdded : m_report.rowsUpdated);
    }
    return true;
}

bool CMerge::Run() {
    std::string name;
    if (!m_reader.ReadTableName(name)) return true;
    int expected = 0;
    while (true) {
        int table = -1;
        for (int k = expected; k < kTableCount; ++k) {
            if (name == kTables[k]) {
                table = k;
                break;
            }
        }
        if (table > kLinks) RemoveUnlinkedFiles();
        if (table < 0) {
            m_reader.SkipBlock();
        } else {
            expected = table + 1;
            bool imported = true;
            switch (table) {
                case kDisks:
                    imported = m_options.disks != DiskMerge::DoNotImport;
                    break;
                case kFiles:
                case kLinks:
                    imported = m_options.disks != DiskMerge::DoNotImport;
                    break;
                case kQueries:
                    imported = m_options.queries != TableMerge::DoNotImport;
                    break;
                case kParams:
                    imported = m_options.params != TableMerge::DoNotImport;
                    break;
                case kInfo:
                    imported = m_options.info != TableMerge::DoNotImport;
                    break;
            }
            if (!imported) {
                m_reader.SkipBlock();
            } else if (m_reader.SkipRecord()) {
                bool ok = true;
                switch (table) {
                    case kDisks:
                        ok = Disks();
                        break;
                    case kFiles:
                        m_filesHandled = true;
                        ok = Files();
                        break;
                    case kLinks:
                        ok = Links();
                        break;
                    case kQueries:
                        ok = Named(kQueries, m_options.queries);
                        break;
                    case kParams:
                        ok = Named(kParams, m_options.params);
                        break;
                    case kInfo:
                        ok = Named(kInfo, m_options.info);
                        break;
                }
                if (!ok) return false;
            }
            if (table == kFiles && m_options.disks != DiskMerge::DoNotImport) m_filesHandled = true;
            if (table == kLinks) RemoveUnlinkedFiles();
        }
        if (!m_reader.ReadTableName(name)) break;
    }
    RemoveUnlinkedFiles();
    return true;
}

}  // namespace

bool MergeCatalogueBytes(CCatalogue& catalogue, std::string_view bytes, const std::string& path,
                         const MergeOptions& options, MergeReport* report) {
    (void)path;
    MergeReport local;
    MergeReport& r = report ? *report : local;
    r = MergeReport();
    if (!catalogue.IsOpen()) return false;
    if (!options.separators.Readable())
        return Fail(catalogue, "Every separator must be at least one character long.");
    const bool transaction = catalogue.Database().BeginTrans();
    CMerge merge(catalogue, bytes, options, r);
    r.completed = merge.Run();
    if (transaction) catalogue.Database().CommitTrans();
    // The current sets show the catalogue as it is now.
    catalogue.DiskSet().Open("SELECT ALL * FROM [Disks]");
    catalogue.FileSet().Open("SELECT ALL * FROM [Files]");
    return r.completed;
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
