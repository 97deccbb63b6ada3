#include "database/Schema.h"

namespace tavik {

namespace {

FieldDef Text(const char* name, int size) {
    return {name, DbType::Text, size, false, false};
}
FieldDef Fixed(const char* name, int size) {
    return {name, DbType::Text, size, true, false};
}
FieldDef Counter(const char* name) {
    return {name, DbType::Long, 4, false, true};
}
FieldDef Long(const char* name) {
    return {name, DbType::Long, 4, false, false};
}
FieldDef Short(const char* name) {
    return {name, DbType::Short, 2, false, false};
}
FieldDef YesNo(const char* name) {
    return {name, DbType::Boolean, 1, false, false};
}
FieldDef Memo(const char* name) {
    return {name, DbType::Memo, 0, false, false};
}

IndexDef Primary() {
    return {"PrimaryKey", {"ID"}, true, true, true};
}
IndexDef Plain(const char* name, const char* field) {
    return {name, {field}, false, false, false};
}

}  // namespace

const std::vector<CatalogueTable>& CatalogueTables() {
    static const std::vector<CatalogueTable> tables = {
        {{"Disks",
          {Fixed("Disk name", 10),
           Counter("ID"),
           Short("Size"),
           Short("Free"),
           Short("Files"),
           YesNo("DS"),
           YesNo("DD"),
           YesNo("Protected"),
           Text("Creation date", 10),
           Text("Creation time", 10),
           Text("Modification date", 10),
           Text("Modification time", 10),
           Text("Archived date", 10),
           Text("Archived time", 10),
           Fixed("CRC-S", 8),
           Fixed("CRC-F", 8),
           Text("Drive type", 10),
           Text("Drive", 255),
           Text("Info1", 255),
           Text("Info2", 255),
           Memo("Info3")}},
         {Primary(), Plain("CRCS", "CRC-S"), Plain("CRCF", "CRC-F"), Plain("Diskname", "Disk name"),
          Plain("Info1", "Info1"), Plain("Info2", "Info2")}},
        {{"Files",
          {Fixed("File name", 10), Counter("ID"), Text("Type", 6), Short("Size"), Short("Records"),
           Short("Last"), YesNo("Protected"), Text("Creation date", 10), Text("Creation time", 10),
           Text("Modification date", 10), Text("Modification time", 10), Text("Archived date", 10),
           Text("Archived time", 10), Fixed("CRC", 8), Text("Info1", 255), Text("Info2", 255),
           Memo("Info3")}},
         {Primary(), Plain("CRC", "CRC"), Plain("Filename", "File name"), Plain("Info1", "Info1"),
          Plain("Info2", "Info2")}},
        {{"DiskFileMM", {Counter("ID"), Long("DiskID"), Long("FileID")}},
         {Primary(), Plain("DiskID", "DiskID"), Plain("FileID", "FileID")}},
        {{"Queries",
          {Counter("ID"), Text("Query name", 80), Text("From", 10), Text("Where", 255),
           Text("Order by", 255), Text("Predicate", 255), Text("SQL", 255), Text("Join on", 255),
           Short("Combination"), Text("Parent name", 80), Text("Columns", 255),
           Text("Comments", 255)}},
         {Primary(), Plain("Query name", "Query name")}},
        {{"Params",
          {Counter("ID"), Text("Name", 80), Short("Type"), Text("Value", 255),
           Text("Comments", 255)}},
         {Primary(), Plain("Name", "Name")}},
        {{"Info", {Counter("ID"), Text("Name", 80), Memo("Value")}}, {Primary()}},
    };
    return tables;
}

const std::vector<CatalogueRelation>& CatalogueRelations() {
    static const std::vector<CatalogueRelation> relations = {
        {"FilesOnDisk", "Disks", "DiskFileMM", "ID", "DiskID"},
        {"DisksWithFile", "Files", "DiskFileMM", "ID", "FileID"},
    };
    return relations;
}

const std::vector<std::pair<std::string, std::string>>& DefaultInfoRows() {
    static const std::vector<std::pair<std::string, std::string>> rows = {
        {"Version", kVersionText},
        {"Created by", "TAVIK, a disk manager for the TI-99/4A"},
        {"Default disk query fields",
         "[ID] [Disk name] [Size]<right> [CRC-S][CRC-F] [Info1][Info2] [Drive type][Drive]"},
        {"Default file query fields",
         "[ID] [File name] [Type][Size]<right> [CRC] [Info1][Info2] [Modification date]"},
        {"Default query list fields", "[Query name] [From][Combination] [Parent query] [Comments]"},
        {"Default parameter list fields", "[Name] [Type] [Value] [Comments]"},
        {"Default disk query sizes",
         "<100><0xC028><0xC032><0xC032><0xC032><17><17><17><120><120><120><120><120><120><70><70>"
         "<60><120><150><150><150>"},
        {"Default file query sizes",
         "<150><0xC028><150><0xC032><0xC032><0xC032><17><120><120><120><120><120><120><70><150>"
         "<150><150>"},
        {"Default query list sizes",
         "<100><0xC028><50><150><150><60><150><70><0xC046><100><300><300>"},
        {"Default parameter list sizes", "<100><0xC028><40><200><400>"},
        {"Default SQL query sizes", "<60>"},
    };
    return rows;
}

bool CreateCatalogueTables(CDatabase& db) {
    for (const auto& t : CatalogueTables()) {
        if (!db.CreateTable(t.table)) return false;
        for (const auto& index : t.indexes)
            if (!db.CreateIndex(t.table.name, index)) return false;
    }
    for (const auto& r : CatalogueRelations()) {
        if (!db.CreateRelation(r.name, r.table, r.foreignTable, kCatalogueRelationAttributes,
                               r.field, r.foreignField))
            return false;
    }
    return true;
}

bool HasCatalogueTables(const CDatabase& db) {
    for (const auto& t : CatalogueTables())
        if (!db.Columns(t.table.name)) return false;
    return true;
}

}  // namespace tavik
