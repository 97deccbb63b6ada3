// An updatable set of rows opened on a Jet SQL text (a dynaset): rows in the order the SQL gives,
// a current row moved first/next/previous/last, find first on a criteria text, and add new /
// edit / update / delete of the current row.
//
// A SELECT of every column of one table ("SELECT ALL * FROM [Disks]", "SELECT t1.* FROM [Files]
// t1 INNER JOIN ...") keeps only the row ids in statement order and reads each row when it
// becomes current, so rows changed elsewhere show their new values and big tables open quickly;
// such a set can be changed. Any other SELECT is read whole when opened and cannot be changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/Database.h"
#include "database/DbValue.h"

namespace tavik {

class CRecordSet {
public:
    explicit CRecordSet(CDatabase* db = nullptr);
    virtual ~CRecordSet();
    CRecordSet(const CRecordSet&) = delete;
    CRecordSet& operator=(const CRecordSet&) = delete;

    void SetDatabase(CDatabase* db);
    CDatabase* Database() const { return m_db; }

    // Opens on the SQL text (the set's default source when empty) and moves to the first row.
    bool Open(const std::string& jetSql = {});
    bool Open(const CQueryDef& def);
    bool IsOpen() const { return m_open; }
    void Close();
    const std::string& Sql() const { return m_sql; }
    bool CanUpdate() const { return m_open && !m_table.empty(); }
    const std::string& Table() const { return m_table; }

    bool IsBOF() const;
    bool IsEOF() const;
    bool MoveFirst();
    bool MoveNext();
    bool MovePrev();
    bool MoveLast();
    long GetRecordCount() const;
    // Moves to the first row meeting the criteria; false (position unchanged) when none does or
    // the criteria cannot be evaluated (ErrorText tells which).
    bool FindFirst(const std::string& criteria);

    bool AddNew();
    bool Edit();
    // Writes the added or edited row. After an add the set stands on the new row, so its
    // counter can be read.
    bool Update();
    void CancelUpdate();
    bool Delete();
    bool IsEditing() const { return m_mode != Mode::None; }

    int GetFieldCount() const { return static_cast<int>(m_fields.size()); }
    const DbFieldInfo& GetFieldInfo(int index) const;
    int FieldIndex(const std::string& name) const;  // -1 when there is no such field
    CDbValue GetFieldValue(int index) const;
    CDbValue GetFieldValue(const std::string& name) const;
    bool SetFieldValue(int index, const CDbValue& value);
    bool SetFieldValue(const std::string& name, const CDbValue& value);
    bool SetFieldNull(const std::string& name) { return SetFieldValue(name, CDbValue::Null()); }

    std::string ErrorText() const;

    // What a record list reads the rows with: for a set over one table the statement of its
    // row IDs (in the set's order) and the values bound to it; for any other set its rows.
    const std::string& KeySql() const { return m_keySql; }
    const std::vector<CDbValue>& KeyValues() const { return m_keyValues; }
    const std::vector<std::vector<CDbValue>>& Rows() const { return m_rows; }

protected:
    virtual std::string DefaultSql() const { return {}; }
    // The current row changed (or a new row was started): bound sets read their members.
    virtual void OnRowChanged() {}
    // Just before an update writes: bound sets put their members into the row.
    virtual void OnBeforeUpdate() {}

private:
    enum class Mode { None, Adding, Editing };
    bool Fail(const std::string& text) const;
    bool LoadCurrent();
    bool Position(int64_t pos);
    bool FindInKeys(const std::string& criteria);
    bool FindInRows(const std::string& criteria);
    // The row ids of an updatable set are read on first need, so that a set opened only to add
    // rows (the link table) costs nothing however big its table is.
    void EnsureKeys() const;
    int64_t CurrentKey() const;

    CDatabase* m_db = nullptr;
    bool m_open = false;
    std::string m_sql;
    std::string m_table;  // set for updatable sets
    std::vector<DbFieldInfo> m_fields;
    mutable std::vector<int64_t> m_keys;  // updatable sets
    mutable bool m_keysLoaded = false;
    std::string m_keySql;
    std::vector<CDbValue> m_keyValues;
    int64_t m_addedKey = -1;                    // the row added before the ids were read
    std::vector<std::vector<CDbValue>> m_rows;  // read-only sets
    int64_t m_pos = -1;
    bool m_onDeleted = false;
    std::vector<CDbValue> m_current;
    Mode m_mode = Mode::None;
    std::vector<CDbValue> m_buffer;
    std::vector<bool> m_dirty;
};

}  // namespace tavik
