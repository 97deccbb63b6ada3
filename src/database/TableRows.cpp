#include "database/TableRows.h"

#include <sqlite3.h>

#include "database/SqlText.h"

namespace tavik {

CTableRows::CTableRows(CDatabase& db, CatalogueTable table) : m_db(db), m_table(table) {
    const std::string name = SqlName(CatalogueTableName(table));
    std::string columns, marks, sets;
    int n = 0;
    for (const CatalogueColumn& c : CatalogueColumns(table)) {
        m_types.push_back(c.type);
        ++n;
        if (c.counter) continue;
        const std::string mark = "?" + std::to_string(n);
        columns += (columns.empty() ? "" : ", ") + SqlName(c.name);
        marks += (marks.empty() ? "" : ", ") + mark;
        sets += (sets.empty() ? "" : ", ") + SqlName(c.name) + " = " + mark;
    }
    m_insert = "INSERT INTO " + name + " (" + columns + ") VALUES (" + marks + ")";
    m_update = "UPDATE " + name + " SET " + sets + " WHERE rowid = ?" + std::to_string(n + 1);
    m_read = "SELECT * FROM " + name + " WHERE rowid = ?1";
}

bool CTableRows::Step(sqlite3_stmt* statement) {
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE) return m_db.FailFromEngine();
    return true;
}

bool CTableRows::Find(const std::vector<int>& columns, const std::vector<CDbValue>& values,
                      std::vector<int64_t>& ids) {
    ids.clear();
    unsigned mask = 0;
    for (int c : columns)
        mask |= 1u << c;
    size_t k = 0;
    while (k < m_findMasks.size() && m_findMasks[k] != mask)
        ++k;
    if (k == m_findMasks.size()) {
        std::string sql = "SELECT rowid FROM " + SqlName(CatalogueTableName(m_table)) + " WHERE ";
        for (size_t i = 0; i < columns.size(); ++i) {
            const CatalogueColumn& c = CatalogueColumns(m_table)[static_cast<size_t>(columns[i])];
            sql += (i ? " AND " : "") + SqlName(c.name) + " = ?" + std::to_string(i + 1);
        }
        m_findMasks.push_back(mask);
        m_finds.push_back(sql + " ORDER BY rowid");
    }
    sqlite3_stmt* s = m_db.Statement(m_finds[k]);
    if (!s || !m_db.Bind(s, values)) return false;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(s, 0));
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return m_db.FailFromEngine();
    return true;
}

int64_t CTableRows::Insert(const std::vector<CDbValue>& row) {
    sqlite3_stmt* s = m_db.Statement(m_insert);
    if (!s || !m_db.Bind(s, row) || !Step(s)) return 0;
    return sqlite3_last_insert_rowid(m_db.Handle());
}

bool CTableRows::Update(int64_t id, const std::vector<CDbValue>& row) {
    sqlite3_stmt* s = m_db.Statement(m_update);
    if (!s || !m_db.Bind(s, row)) return false;
    sqlite3_bind_int64(s, static_cast<int>(m_types.size()) + 1, id);
    return Step(s);
}

bool CTableRows::Read(int64_t id, std::vector<CDbValue>& row) {
    row.clear();
    sqlite3_stmt* s = m_db.Statement(m_read);
    if (!s) return false;
    sqlite3_bind_int64(s, 1, id);
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) {
        for (size_t i = 0; i < m_types.size(); ++i)
            row.push_back(m_db.Column(s, static_cast<int>(i), m_types[i]));
    }
    sqlite3_reset(s);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return m_db.FailFromEngine();
    return rc == SQLITE_ROW;
}

}  // namespace tavik
