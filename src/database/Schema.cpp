#include "database/Schema.h"

#include <cstdio>

#include "database/CatalogueColumns.h"

namespace tavik {

namespace {

// A size list as the Info defaults spell it: codes with a justification in hexadecimal.
std::string DefaultSizes(CatalogueTable table) {
    std::string text;
    char entry[16];
    for (const CatalogueColumn* c : ListedColumns(table)) {
        std::snprintf(entry, sizeof entry, c->displayCode >= 0x4000 ? "<0x%X>" : "<%d>",
                      c->displayCode);
        text += entry;
    }
    return text;
}

}  // namespace

const std::vector<CatalogueTableDef>& CatalogueTables() {
    static const std::vector<CatalogueTableDef> tables = [] {
        std::vector<CatalogueTableDef> all;
        for (int t = 0; t < kCatalogueTableCount; ++t) {
            const auto table = static_cast<CatalogueTable>(t);
            CatalogueTableDef entry;
            entry.table.name = CatalogueTableName(table);
            entry.indexes.push_back({"PrimaryKey", {"ID"}, true, true, true});
            for (const CatalogueColumn& c : CatalogueColumns(table)) {
                entry.table.fields.push_back({c.name, c.type, c.size, c.fixed, c.counter});
                if (c.index && !c.counter) entry.indexes.push_back({c.index, {c.name}});
            }
            all.push_back(std::move(entry));
        }
        return all;
    }();
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
        {"Default disk query sizes", DefaultSizes(CatalogueTable::Disks)},
        {"Default file query sizes", DefaultSizes(CatalogueTable::Files)},
        {"Default query list sizes", DefaultSizes(CatalogueTable::Queries)},
        {"Default parameter list sizes", DefaultSizes(CatalogueTable::Params)},
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
