// The catalogue's schema: six tables (column order matters: SELECT * returns the columns in this
// order, and for Disks and Files the name comes before the ID), their indexes, the two cascading
// relations and the rows a new catalogue's Info table receives.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "database/Database.h"

namespace tavik {

struct CatalogueTableDef {
    TableDef table;
    std::vector<IndexDef> indexes;
};

// Disks, Files, DiskFileMM, Queries, Params, Info, in the order they are created, with the
// columns of CatalogueColumns.h.
const std::vector<CatalogueTableDef>& CatalogueTables();

struct CatalogueRelation {
    const char* name;
    const char* table;
    const char* foreignTable;
    const char* field;
    const char* foreignField;
};
const std::vector<CatalogueRelation>& CatalogueRelations();
constexpr long kCatalogueRelationAttributes = kRelationUpdateCascade | kRelationDeleteCascade;

// The Info rows of a new catalogue, in order.
const std::vector<std::pair<std::string, std::string>>& DefaultInfoRows();
inline constexpr const char* kVersionText = "TAVIK database version 1.0";

// Creates every table with its indexes, then the relations (steps of a new catalogue); false
// with the engine's description in the database's ErrorText.
bool CreateCatalogueTables(CDatabase& db);
// True when the database has the six tables.
bool HasCatalogueTables(const CDatabase& db);

}  // namespace tavik
