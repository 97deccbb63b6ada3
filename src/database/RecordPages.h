// The rows of a record list, read a page at a time as the list shows them. For the rows of one
// table (what disk, file, query and parameter lists show) only their number is read when the
// list opens; their IDs, in the order of its statement, are read in runs as rows are shown, and
// a page's cells by ID when a row of it is first shown, a page cache keyed by ID keeping the
// pages shown last. Sorting by a column orders the IDs in SQL. Rows of any other statement
// (free SQL results) were read whole by their set and are copied from it.
//
// A row deleted since the list opened shows empty cells. Cell texts follow the display rules
// (ValueToText).
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "database/DbValue.h"

namespace tavik {

class CDatabase;
class CRecordSet;

class CRecordPages {
public:
    static constexpr size_t kPageRows = 128;
    static constexpr size_t kPagesKept = 64;
    static constexpr size_t kIdRun = 8192;

    // Lists the rows of an open set, showing the set's fields at `positions`. False (with the
    // engine's description in the database's ErrorText) when the IDs cannot be read.
    bool Open(CRecordSet& set, const std::vector<int>& positions);
    void Clear();

    size_t RowCount() const;
    // A row's record ID (0 when the rows carry none).
    int64_t RecordId(size_t row);
    // The first row of a record, -1 when none shows it.
    long RowOfId(int64_t id);
    std::string Cell(size_t row, size_t column);
    // Puts the rows in the order of a column (then by ID); false on an engine error.
    bool SortBy(size_t column, bool descending);
    // A record changed: its cells are read again when next shown.
    void Forget(int64_t id);

    // Pages read from the database since the list opened (for tests and benchmarks).
    size_t PagesRead() const { return m_pagesRead; }

private:
    using Cells = std::vector<std::string>;
    bool Keyed() const { return !m_table.empty(); }
    const Cells* Page(size_t row);
    // Reads the run of IDs that holds `row` (every run when `row` is past the end).
    bool ReadIds(size_t row);

    CDatabase* m_db = nullptr;
    std::string m_table;   // the table whose rows are listed ("" for rows read whole)
    std::string m_keySql;  // the IDs in the statement's order
    std::vector<CDbValue> m_keyValues;
    std::vector<std::string> m_columns;  // names of the shown fields
    std::vector<DbType> m_types;
    size_t m_count = 0;
    std::vector<int64_t> m_ids;    // 0 where not read yet
    std::vector<bool> m_runsRead;  // by run of kIdRun rows

    std::unordered_map<int64_t, Cells> m_cells;  // by ID
    std::list<std::vector<int64_t>> m_recent;    // IDs read together, the last read first
    std::vector<Cells> m_rows;                   // rows read whole
    size_t m_pagesRead = 0;
};

}  // namespace tavik
