// Rows of one catalogue table, written and found through statements prepared once with their
// values bound: what adding disks and merging a text export do thousands of times a second.
// A row is the values of the table's columns in table order (CatalogueColumns.h); the counter's
// value is ignored when a row is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/CatalogueColumns.h"
#include "database/Database.h"

namespace tavik {

class CTableRows {
public:
    CTableRows(CDatabase& db, CatalogueTable table);

    // The IDs of the rows whose columns (by position) equal the values, in ID order. Text
    // compares as the column compares (without regard to case). False on an engine error.
    bool Find(const std::vector<int>& columns, const std::vector<CDbValue>& values,
              std::vector<int64_t>& ids);
    // Adds a row; its new ID, or 0 on an engine error.
    int64_t Insert(const std::vector<CDbValue>& row);
    bool Update(int64_t id, const std::vector<CDbValue>& row);
    // Reads a row; false when there is none (or on an engine error).
    bool Read(int64_t id, std::vector<CDbValue>& row);

    CatalogueTable Table() const { return m_table; }
    static int Column(CatalogueTable table, const char* name) {
        return CatalogueColumnIndex(table, name);
    }

private:
    bool Step(sqlite3_stmt* statement);

    CDatabase& m_db;
    CatalogueTable m_table;
    std::vector<DbType> m_types;
    std::string m_insert, m_update, m_read;
    std::vector<std::string> m_finds;  // by the mask of columns found by
    std::vector<unsigned> m_findMasks;
};

}  // namespace tavik
