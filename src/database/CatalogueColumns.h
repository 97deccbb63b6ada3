// The catalogue's columns, defined once. For each of the six tables: its columns in table order
// (the order SELECT * returns them; for Disks and Files the name comes before the ID), each with
// its type, its index, its caption (the name the record lists and the text export use: "Last byte"
// for Files.Last, "Parent query" for Queries.Parent name) and its display code (the default width
// and justification of its list column, as a size code).
//
// Lists and the text export show a table's columns in list order: the table order, except that
// the name of a saved query or a parameter comes before its ID. A list's field numbers count in
// that order.
//
// The schema, the record classes, the query columns, the display specifications and the export
// and merge all take their columns from here.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "database/DbValue.h"

namespace tavik {

enum class CatalogueTable { Disks, Files, Links, Queries, Params, Info };
inline constexpr int kCatalogueTableCount = 6;

// "Disks", "Files", "DiskFileMM", "Queries", "Params", "Info".
const char* CatalogueTableName(CatalogueTable table);
// The table of that name (any case); false when there is none.
bool FindCatalogueTable(std::string_view name, CatalogueTable& table);

struct CatalogueColumn {
    const char* name;
    DbType type;
    int size = 0;          // text: the most characters
    bool fixed = false;    // fixed-size text
    bool counter = false;  // the engine numbers new rows
    const char* caption = nullptr;
    uint16_t displayCode = 0;     // bits 14-15 justification, bits 0-11 width; 0: none
    bool listedFirst = false;     // comes first in list order
    const char* index = nullptr;  // the name of the column's index (counters: the primary key)

    const char* Caption() const { return caption ? caption : name; }
};

std::span<const CatalogueColumn> CatalogueColumns(CatalogueTable table);
std::span<const CatalogueColumn* const> ListedColumns(CatalogueTable table);

// The position of a column (by name or caption, any case) in its table; -1 when it has none.
int CatalogueColumnIndex(CatalogueTable table, std::string_view nameOrCaption);

// True for every column name and caption of Disks and Files: the names a condition may qualify
// with a table alias.
bool IsDiskOrFileColumn(std::string_view nameOrCaption);

}  // namespace tavik
