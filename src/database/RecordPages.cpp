#include "database/RecordPages.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "database/DisplaySpec.h"
#include "database/RecordSet.h"
#include "database/SqlText.h"

namespace tavik {

namespace {

bool IsNumber(DbType type) {
    return type == DbType::Byte || type == DbType::Short || type == DbType::Long;
}

// The order of a column's values as the list sorts them: texts byte by byte, numbers by value,
// yes/no as their words ("No" before "Yes"); a null (an empty cell) first.
std::string SortExpression(const std::string& column, DbType type) {
    if (type == DbType::Boolean)
        return "CASE WHEN " + column + " IS NULL THEN 0 WHEN " + column + " = 0 THEN 1 ELSE 2 END";
    if (IsNumber(type)) return column;
    return column + " COLLATE BINARY";
}

}  // namespace

void CRecordPages::Clear() {
    *this = CRecordPages();
}

bool CRecordPages::Open(CRecordSet& set, const std::vector<int>& positions) {
    Clear();
    if (!set.IsOpen()) return true;
    m_db = set.Database();
    for (int p : positions) {
        m_columns.push_back(set.GetFieldInfo(p).name);
        m_types.push_back(set.GetFieldInfo(p).type);
    }
    if (set.CanUpdate()) {
        m_table = set.Table();
        m_keySql = set.KeySql();
        m_keyValues = set.KeyValues();
        sqlite3_stmt* s = m_db->Statement("SELECT count(*) FROM (" + m_keySql + ")");
        if (!s || !m_db->Bind(s, m_keyValues)) return false;
        const int rc = sqlite3_step(s);
        m_count = rc == SQLITE_ROW ? static_cast<size_t>(sqlite3_column_int64(s, 0)) : 0;
        sqlite3_reset(s);
        if (rc != SQLITE_ROW) return m_db->FailFromEngine();
        m_ids.assign(m_count, 0);
        m_runsRead.assign((m_count + kIdRun - 1) / kIdRun, false);
        return true;
    }
    for (const auto& row : set.Rows()) {
        Cells cells;
        for (size_t c = 0; c < positions.size(); ++c) {
            const auto p = static_cast<size_t>(positions[c]);
            cells.push_back(p < row.size() ? ValueToText(row[p], m_types[c]) : std::string());
        }
        m_rows.push_back(std::move(cells));
    }
    return true;
}

size_t CRecordPages::RowCount() const {
    return Keyed() ? m_count : m_rows.size();
}

bool CRecordPages::ReadIds(size_t row) {
    const size_t run = row / kIdRun;
    if (run < m_runsRead.size() && m_runsRead[run]) return true;
    // Past the end: every run, in one pass.
    const bool all = run >= m_runsRead.size();
    const size_t first = all ? 0 : run * kIdRun;
    sqlite3_stmt* s =
        m_db->Statement(all ? m_keySql
                            : "SELECT * FROM (" + m_keySql + ") LIMIT " + std::to_string(kIdRun) +
                                  " OFFSET ?" + std::to_string(m_keyValues.size() + 1));
    if (!s || !m_db->Bind(s, m_keyValues)) return false;
    if (!all)
        sqlite3_bind_int64(s, static_cast<int>(m_keyValues.size() + 1),
                           static_cast<int64_t>(first));
    size_t r = first;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW && r < m_count)
        m_ids[r++] = sqlite3_column_int64(s, 0);
    sqlite3_reset(s);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return m_db->FailFromEngine();
    if (all)
        m_runsRead.assign(m_runsRead.size(), true);
    else
        m_runsRead[run] = true;
    return true;
}

int64_t CRecordPages::RecordId(size_t row) {
    if (!Keyed() || row >= m_count) return 0;
    ReadIds(row);
    return m_ids[row];
}

long CRecordPages::RowOfId(int64_t id) {
    if (!Keyed()) return -1;
    ReadIds(m_count);
    const auto it = std::find(m_ids.begin(), m_ids.end(), id);
    return it == m_ids.end() ? -1 : static_cast<long>(it - m_ids.begin());
}

// The cells of the rows of `row`'s page that are not cached are read in one statement.
const CRecordPages::Cells* CRecordPages::Page(size_t row) {
    ReadIds(row);
    if (const auto it = m_cells.find(m_ids[row]); it != m_cells.end()) return &it->second;
    const size_t first = row / kPageRows * kPageRows;
    const size_t last = std::min(first + kPageRows, m_count);
    std::vector<int64_t> wanted;
    for (size_t r = first; r < last; ++r)
        if (!m_cells.count(m_ids[r])) wanted.push_back(m_ids[r]);
    std::string sql = "SELECT rowid";
    for (const std::string& c : m_columns)
        sql += ", " + SqlName(c);
    sql += " FROM " + SqlName(m_table) + " WHERE rowid IN (";
    for (size_t k = 0; k < kPageRows; ++k)
        sql += (k ? ", ?" : "?") + std::to_string(k + 1);
    sql += ")";
    sqlite3_stmt* s = m_db->Statement(sql);
    const Cells empty(m_columns.size());
    if (s) {
        for (size_t k = 0; k < kPageRows; ++k) {
            if (k < wanted.size())
                sqlite3_bind_int64(s, static_cast<int>(k + 1), wanted[k]);
            else
                sqlite3_bind_null(s, static_cast<int>(k + 1));
        }
        while (sqlite3_step(s) == SQLITE_ROW) {
            Cells cells;
            for (size_t c = 0; c < m_columns.size(); ++c)
                cells.push_back(
                    ValueToText(m_db->Column(s, static_cast<int>(c + 1), m_types[c]), m_types[c]));
            m_cells[sqlite3_column_int64(s, 0)] = std::move(cells);
        }
        sqlite3_reset(s);
    }
    // Rows deleted since the list opened read as empty.
    for (int64_t id : wanted)
        m_cells.try_emplace(id, empty);
    ++m_pagesRead;
    m_recent.push_front(std::move(wanted));
    if (m_recent.size() > kPagesKept) {
        for (int64_t id : m_recent.back())
            m_cells.erase(id);
        m_recent.pop_back();
    }
    return &m_cells[m_ids[row]];
}

std::string CRecordPages::Cell(size_t row, size_t column) {
    if (row >= RowCount() || column >= m_columns.size()) return {};
    const Cells* cells = Keyed() ? Page(row) : &m_rows[row];
    return (*cells)[column];
}

bool CRecordPages::SortBy(size_t column, bool descending) {
    if (column >= m_columns.size()) return false;
    if (!Keyed()) {
        const bool number = IsNumber(m_types[column]);
        std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Cells& a, const Cells& b) {
            const std::string& x = descending ? b[column] : a[column];
            const std::string& y = descending ? a[column] : b[column];
            if (number && !x.empty() && !y.empty())
                return std::atoll(x.c_str()) < std::atoll(y.c_str());
            return x < y;
        });
        return true;
    }
    const std::string sql = "WITH k(key) AS (" + m_keySql + ") SELECT k.key FROM k LEFT JOIN " +
                            SqlName(m_table) + " t ON t.rowid = k.key ORDER BY " +
                            SortExpression("t." + SqlName(m_columns[column]), m_types[column]) +
                            (descending ? " DESC" : "") + ", k.key";
    sqlite3_stmt* s = m_db->Statement(sql);
    if (!s || !m_db->Bind(s, m_keyValues)) return false;
    std::vector<int64_t> ids;
    ids.reserve(m_ids.size());
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(s, 0));
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return m_db->FailFromEngine();
    m_ids = std::move(ids);
    m_count = m_ids.size();
    m_runsRead.assign((m_count + kIdRun - 1) / kIdRun, true);
    return true;
}

void CRecordPages::Forget(int64_t id) {
    m_cells.erase(id);
}

}  // namespace tavik
