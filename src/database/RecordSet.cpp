#include "database/RecordSet.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <unordered_set>

#include "base/Cp1252.h"
#include "database/SqlText.h"

namespace tavik {

namespace {

std::string Upper(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

// The columns of a set's own rows as one more table, for criteria on read-only sets.
class CRowSchema : public CJetSchema {
public:
    CRowSchema(const CJetSchema& base, std::vector<std::string> columns)
        : m_base(base), m_columns(std::move(columns)) {}
    const std::vector<std::string>* Columns(std::string_view table) const override {
        if (table == kName) return &m_columns;
        return m_base.Columns(table);
    }
    static constexpr std::string_view kName = "tavik current rows";

private:
    const CJetSchema& m_base;
    std::vector<std::string> m_columns;
};

// Turns a value into what a column of the given type holds; false when it cannot.
bool Coerce(const CDbValue& in, DbType type, CDbValue& out) {
    if (in.IsNull()) {
        out = in;
        return true;
    }
    switch (type) {
        case DbType::Boolean:
            if (in.GetKind() == CDbValue::Kind::Text) {
                std::string u = Upper(in.AsText());
                if (u == "YES" || u == "TRUE" || u == "ON") {
                    out = CDbValue::Bool(true);
                    return true;
                }
                if (u == "NO" || u == "FALSE" || u == "OFF") {
                    out = CDbValue::Bool(false);
                    return true;
                }
                char* end = nullptr;
                long long v = std::strtoll(in.AsText().c_str(), &end, 10);
                if (in.AsText().empty() || *end) return false;
                out = CDbValue::Bool(v != 0);
                return true;
            }
            out = CDbValue::Bool(in.AsBool());
            return true;
        case DbType::Byte:
        case DbType::Short:
        case DbType::Long:
            if (in.GetKind() == CDbValue::Kind::Bool) {
                out = CDbValue::Integer(in.AsBool() ? -1 : 0);
            } else if (in.GetKind() == CDbValue::Kind::Text) {
                std::string t = in.AsText();
                char* end = nullptr;
                long long v = std::strtoll(t.c_str(), &end, 10);
                while (end && *end == ' ')
                    ++end;
                if (t.empty() || (end && *end)) return false;
                out = CDbValue::Integer(v);
            } else if (in.GetKind() == CDbValue::Kind::Double) {
                double d = in.AsDouble();
                out = CDbValue::Integer(static_cast<int64_t>(d < 0 ? d - 0.5 : d + 0.5));
            } else {
                out = CDbValue::Integer(in.AsInteger());
            }
            return true;
        case DbType::Currency:
        case DbType::Single:
        case DbType::Double:
            if (in.GetKind() == CDbValue::Kind::Text) {
                std::string t = in.AsText();
                char* end = nullptr;
                double d = std::strtod(t.c_str(), &end);
                if (t.empty() || (end && *end)) return false;
                out = CDbValue::Double(d);
            } else {
                out = CDbValue::Double(in.GetKind() == CDbValue::Kind::Bool
                                           ? (in.AsBool() ? -1.0 : 0.0)
                                           : in.AsDouble());
            }
            return true;
        case DbType::Binary:
        case DbType::LongBinary:
            out = CDbValue::Blob(in.AsText());
            return true;
        case DbType::Text:
        case DbType::Memo:
        case DbType::Date:
            out = CDbValue::Text(in.GetKind() == CDbValue::Kind::Bool
                                     ? std::string(in.AsBool() ? "-1" : "0")
                                     : in.AsText());
            return true;
    }
    return false;
}

}  // namespace

CRecordSet::CRecordSet(CDatabase* db) : m_db(db) {}

CRecordSet::~CRecordSet() {
    Close();
}

void CRecordSet::SetDatabase(CDatabase* db) {
    Close();
    m_db = db;
}

bool CRecordSet::Fail(const std::string& text) const {
    if (m_db) m_db->Fail(text);
    return false;
}

std::string CRecordSet::ErrorText() const {
    return m_db ? m_db->ErrorText() : "No database.";
}

void CRecordSet::Close() {
    if (m_db) m_db->Detach(this);
    m_open = false;
    m_sql.clear();
    m_table.clear();
    m_fields.clear();
    m_keys.clear();
    m_keysLoaded = false;
    m_keySql.clear();
    m_keyValues.clear();
    m_addedKey = -1;
    m_rows.clear();
    m_current.clear();
    m_buffer.clear();
    m_dirty.clear();
    m_pos = -1;
    m_onDeleted = false;
    m_mode = Mode::None;
}

bool CRecordSet::Open(const std::string& jetSql) {
    if (!m_db) return false;
    std::string sql = jetSql.empty() ? DefaultSql() : jetSql;
    // A set may be opened on a table by its name alone ("[Info]").
    std::string name = sql;
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (name.size() > 2 && name.front() == '[' && name.back() == ']' &&
        name.find(']') == name.size() - 1)
        name = name.substr(1, name.size() - 2);
    if (!m_db->TableName(name).empty()) sql = "SELECT * FROM [" + name + "]";
    CQueryDef def;
    if (!m_db->CreateQueryDef(sql, def)) {
        Close();
        return false;
    }
    if (!def.Parameters().empty()) {
        Close();
        return Fail("Too few parameters. Expected " + std::to_string(def.Parameters().size()) +
                    ".");
    }
    return Open(def);
}

bool CRecordSet::Open(const CQueryDef& def) {
    Close();
    if (!m_db || !m_db->IsOpen()) return Fail("The database is not open.");
    const JetTranslation& t = def.Translation();
    if (!t.ok) return Fail(t.error.empty() ? "Invalid SQL statement." : t.error);
    if (!t.isQuery) return Fail("Invalid operation: the statement returns no rows.");
    const bool keyed = !t.baseTable.empty();
    sqlite3_stmt* s = m_db->Statement(keyed ? t.keySql : t.sql);
    if (!s || !m_db->Bind(s, def.Values())) return false;

    if (keyed) {
        m_table = m_db->TableName(t.baseTable);
        m_fields = m_db->TableFields(m_table);
    } else {
        const int n = sqlite3_column_count(s);
        for (int i = 0; i < n; ++i) {
            const char* name = sqlite3_column_name(s, i);
            m_fields.push_back(FieldInfoFromDeclaration(Utf8ToCp1252(name ? name : ""),
                                                        sqlite3_column_decltype(s, i)));
        }
    }
    if (keyed) {
        sqlite3_reset(s);
        m_keySql = t.keySql;
        m_keyValues = def.Values();
        m_sql = def.Sql();
        m_open = true;
        m_db->Attach(this);
        m_db->ClearError();
        m_pos = -1;  // the first row once the ids are read
        return true;
    }
    std::vector<bool> typed(m_fields.size(), false);
    for (size_t i = 0; i < m_fields.size(); ++i)
        typed[i] = sqlite3_column_decltype(s, static_cast<int>(i)) != nullptr || keyed;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        std::vector<CDbValue> row;
        row.reserve(m_fields.size());
        for (size_t i = 0; i < m_fields.size(); ++i) {
            // A computed column takes its type from its first value.
            if (!typed[i] && sqlite3_column_type(s, static_cast<int>(i)) != SQLITE_NULL) {
                typed[i] = true;
                switch (sqlite3_column_type(s, static_cast<int>(i))) {
                    case SQLITE_INTEGER:
                        m_fields[i].type = DbType::Long;
                        m_fields[i].size = 4;
                        break;
                    case SQLITE_FLOAT:
                        m_fields[i].type = DbType::Double;
                        m_fields[i].size = 8;
                        break;
                    case SQLITE_BLOB:
                        m_fields[i].type = DbType::LongBinary;
                        m_fields[i].size = 0;
                        break;
                    default:
                        break;
                }
            }
            row.push_back(m_db->Column(s, static_cast<int>(i), m_fields[i].type));
        }
        m_rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        m_db->FailFromEngine();
        sqlite3_reset(s);
        std::string error = m_db->ErrorText();
        Close();
        return Fail(error);
    }
    sqlite3_reset(s);
    m_sql = def.Sql();
    m_open = true;
    m_db->Attach(this);
    m_db->ClearError();
    Position(0);
    return true;
}

void CRecordSet::EnsureKeys() const {
    if (!m_open || m_table.empty() || m_keysLoaded) return;
    m_keysLoaded = true;
    auto* self = const_cast<CRecordSet*>(this);
    sqlite3_stmt* s = m_db->Statement(m_keySql);
    if (s && m_db->Bind(s, m_keyValues)) {
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW)
            m_keys.push_back(sqlite3_column_int64(s, 0));
        if (rc != SQLITE_DONE) m_db->FailFromEngine();
        sqlite3_reset(s);
    }
    int64_t pos = 0;
    if (m_addedKey >= 0) {
        auto it = std::find(m_keys.begin(), m_keys.end(), m_addedKey);
        if (it == m_keys.end()) it = m_keys.insert(m_keys.end(), m_addedKey);
        pos = it - m_keys.begin();
    }
    self->m_addedKey = -1;
    if (self->m_mode == Mode::None) {
        self->Position(pos);
    } else {
        self->m_pos = pos;
    }
}

int64_t CRecordSet::CurrentKey() const {
    if (!m_keysLoaded) return m_addedKey;
    return m_keys[static_cast<size_t>(m_pos)];
}

long CRecordSet::GetRecordCount() const {
    if (!m_open) return 0;
    EnsureKeys();
    return static_cast<long>(m_table.empty() ? m_rows.size() : m_keys.size());
}

bool CRecordSet::IsBOF() const {
    return !m_open || GetRecordCount() == 0 || m_pos < 0;
}

bool CRecordSet::IsEOF() const {
    return !m_open || GetRecordCount() == 0 || m_pos >= GetRecordCount();
}

bool CRecordSet::LoadCurrent() {
    m_current.assign(m_fields.size(), CDbValue::Null());
    if (m_keysLoaded || m_table.empty()) {
        if (m_pos < 0 || m_pos >= GetRecordCount() || m_onDeleted) return false;
    } else if (m_addedKey < 0) {
        return false;
    }
    if (m_table.empty()) {
        m_current = m_rows[static_cast<size_t>(m_pos)];
        return true;
    }
    sqlite3_stmt* s = m_db->Statement("SELECT * FROM " + SqlName(m_table) + " WHERE rowid = ?1");
    if (!s) return false;
    sqlite3_bind_int64(s, 1, CurrentKey());
    bool found = sqlite3_step(s) == SQLITE_ROW;
    if (found) {
        int n = sqlite3_column_count(s);
        for (int i = 0; i < n && i < static_cast<int>(m_fields.size()); ++i)
            m_current[static_cast<size_t>(i)] =
                m_db->Column(s, i, m_fields[static_cast<size_t>(i)].type);
    }
    sqlite3_reset(s);
    return found;
}

bool CRecordSet::Position(int64_t pos) {
    EnsureKeys();
    m_mode = Mode::None;
    m_onDeleted = false;
    const int64_t n = GetRecordCount();
    if (pos < -1) pos = -1;
    if (pos > n) pos = n;
    m_pos = pos;
    LoadCurrent();
    OnRowChanged();
    return m_pos >= 0 && m_pos < n;
}

bool CRecordSet::MoveFirst() {
    return m_open && Position(0);
}

bool CRecordSet::MoveLast() {
    return m_open && Position(GetRecordCount() - 1);
}

bool CRecordSet::MoveNext() {
    if (!m_open) return false;
    EnsureKeys();
    return Position(m_onDeleted ? m_pos : m_pos + 1);
}

bool CRecordSet::MovePrev() {
    if (!m_open) return false;
    EnsureKeys();
    return Position(m_pos - 1);
}

bool CRecordSet::FindFirst(const std::string& criteria) {
    if (!m_open) return Fail("The set is not open.");
    EnsureKeys();
    return m_table.empty() ? FindInRows(criteria) : FindInKeys(criteria);
}

bool CRecordSet::FindInKeys(const std::string& criteria) {
    JetTranslation t = TranslateJetCriteria(criteria, *m_db, m_table);
    if (!t.ok) return Fail(t.error);
    if (!t.parameters.empty())
        return Fail("Too few parameters. Expected " + std::to_string(t.parameters.size()) + ".");
    sqlite3_stmt* s =
        m_db->Statement("SELECT rowid FROM " + SqlName(m_table) + " WHERE (" + t.sql + ")");
    if (!s) return false;
    std::unordered_set<int64_t> matches;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        matches.insert(sqlite3_column_int64(s, 0));
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return m_db->FailFromEngine();
    m_db->ClearError();
    if (matches.empty()) return false;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (matches.count(m_keys[i])) return Position(static_cast<int64_t>(i));
    }
    return false;
}

bool CRecordSet::FindInRows(const std::string& criteria) {
    std::vector<std::string> names;
    for (const auto& f : m_fields)
        names.push_back(f.name);
    CRowSchema schema(*m_db, names);
    JetTranslation t = TranslateJetCriteria(criteria, schema, CRowSchema::kName);
    if (!t.ok) return Fail(t.error);
    if (!t.parameters.empty())
        return Fail("Too few parameters. Expected " + std::to_string(t.parameters.size()) + ".");
    // Each row is offered as a one-row sub-select whose columns carry the set's field names;
    // the criteria's own parameters come first, the row values after them.
    std::string select = "SELECT 1 FROM (SELECT ";
    const size_t first = t.parameters.size() + 1;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i) select += ", ";
        select += "?" + std::to_string(first + i) + " AS " + SqlName(names[i]);
    }
    if (names.empty()) select += "1";
    select += ") WHERE (" + t.sql + ")";
    sqlite3_stmt* s = m_db->Statement(select);
    if (!s) return false;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        sqlite3_reset(s);
        std::vector<CDbValue> values(t.parameters.size(), CDbValue::Null());
        values.insert(values.end(), m_rows[r].begin(), m_rows[r].end());
        if (!m_db->Bind(s, values)) return false;
        int rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) {
            sqlite3_reset(s);
            return Position(static_cast<int64_t>(r));
        }
        if (rc != SQLITE_DONE) {
            m_db->FailFromEngine();
            sqlite3_reset(s);
            return false;
        }
    }
    sqlite3_reset(s);
    m_db->ClearError();
    return false;
}

bool CRecordSet::AddNew() {
    if (!CanUpdate()) return Fail("Operation must use an updatable query.");
    m_mode = Mode::Adding;
    m_buffer.assign(m_fields.size(), CDbValue::Null());
    m_dirty.assign(m_fields.size(), false);
    OnRowChanged();
    return true;
}

bool CRecordSet::Edit() {
    if (!CanUpdate()) return Fail("Operation must use an updatable query.");
    if (!m_keysLoaded && m_addedKey >= 0) {  // the row just added, ids not read yet
        m_mode = Mode::Editing;
        m_buffer = m_current;
        m_dirty.assign(m_fields.size(), false);
        return true;
    }
    if (IsBOF() || IsEOF() || m_onDeleted) return Fail("No current record.");
    m_mode = Mode::Editing;
    m_buffer = m_current;
    m_dirty.assign(m_fields.size(), false);
    return true;
}

void CRecordSet::CancelUpdate() {
    if (m_mode == Mode::None) return;
    m_mode = Mode::None;
    LoadCurrent();
    OnRowChanged();
}

bool CRecordSet::Update() {
    if (m_mode == Mode::None) return Fail("Update without AddNew or Edit.");
    OnBeforeUpdate();
    std::vector<CDbValue> values;
    std::string sql;
    if (m_mode == Mode::Adding) {
        std::string names, marks;
        for (size_t i = 0; i < m_fields.size(); ++i) {
            if (!m_dirty[i]) continue;
            values.push_back(m_buffer[i]);
            if (!names.empty()) {
                names += ", ";
                marks += ", ";
            }
            names += SqlName(m_fields[i].name);
            marks += "?" + std::to_string(values.size());
        }
        sql = names.empty()
                  ? "INSERT INTO " + SqlName(m_table) + " DEFAULT VALUES"
                  : "INSERT INTO " + SqlName(m_table) + " (" + names + ") VALUES (" + marks + ")";
    } else {
        std::string sets;
        for (size_t i = 0; i < m_fields.size(); ++i) {
            if (!m_dirty[i]) continue;
            values.push_back(m_buffer[i]);
            if (!sets.empty()) sets += ", ";
            sets += SqlName(m_fields[i].name) + " = ?" + std::to_string(values.size());
        }
        if (sets.empty()) {
            m_mode = Mode::None;
            return true;
        }
        values.push_back(CDbValue::Integer(CurrentKey()));
        sql = "UPDATE " + SqlName(m_table) + " SET " + sets + " WHERE rowid = ?" +
              std::to_string(values.size());
    }
    sqlite3_stmt* s = m_db->Statement(sql);
    if (!s || !m_db->Bind(s, values)) return false;
    int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return m_db->FailFromEngine();
    m_db->ClearError();
    if (m_mode == Mode::Adding) {
        const int64_t key = sqlite3_last_insert_rowid(m_db->Handle());
        if (!m_keysLoaded) {
            m_addedKey = key;
            m_mode = Mode::None;
            m_onDeleted = false;
            LoadCurrent();
            OnRowChanged();
            return true;
        }
        m_keys.push_back(key);
        Position(static_cast<int64_t>(m_keys.size()) - 1);
        return true;
    }
    if (m_keysLoaded) {
        Position(m_pos);
    } else {
        m_mode = Mode::None;
        LoadCurrent();
        OnRowChanged();
    }
    return true;
}

bool CRecordSet::Delete() {
    if (!CanUpdate()) return Fail("Operation must use an updatable query.");
    if (IsBOF() || IsEOF() || m_onDeleted) return Fail("No current record.");
    sqlite3_stmt* s = m_db->Statement("DELETE FROM " + SqlName(m_table) + " WHERE rowid = ?1");
    if (!s) return false;
    sqlite3_bind_int64(s, 1, m_keys[static_cast<size_t>(m_pos)]);
    int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return m_db->FailFromEngine();
    m_db->ClearError();
    m_keys.erase(m_keys.begin() + m_pos);
    m_mode = Mode::None;
    m_onDeleted = true;
    m_current.assign(m_fields.size(), CDbValue::Null());
    OnRowChanged();
    return true;
}

const DbFieldInfo& CRecordSet::GetFieldInfo(int index) const {
    static const DbFieldInfo kNone{};
    if (index < 0 || index >= GetFieldCount()) return kNone;
    return m_fields[static_cast<size_t>(index)];
}

int CRecordSet::FieldIndex(const std::string& name) const {
    std::string u = Upper(name);
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (Upper(m_fields[i].name) == u) return static_cast<int>(i);
    return -1;
}

CDbValue CRecordSet::GetFieldValue(int index) const {
    if (index < 0 || index >= GetFieldCount()) return CDbValue::Null();
    if (m_mode == Mode::None && m_addedKey < 0) EnsureKeys();
    if (m_mode != Mode::None) return m_buffer[static_cast<size_t>(index)];
    if (static_cast<size_t>(index) >= m_current.size()) return CDbValue::Null();
    return m_current[static_cast<size_t>(index)];
}

CDbValue CRecordSet::GetFieldValue(const std::string& name) const {
    return GetFieldValue(FieldIndex(name));
}

bool CRecordSet::SetFieldValue(int index, const CDbValue& value) {
    if (m_mode == Mode::None) return Fail("Update or CancelUpdate without AddNew or Edit.");
    if (index < 0 || index >= GetFieldCount()) return Fail("Item not found in this collection.");
    CDbValue v;
    if (!Coerce(value, m_fields[static_cast<size_t>(index)].type, v))
        return Fail("Data type conversion error.");
    m_buffer[static_cast<size_t>(index)] = v;
    m_dirty[static_cast<size_t>(index)] = true;
    return true;
}

bool CRecordSet::SetFieldValue(const std::string& name, const CDbValue& value) {
    int index = FieldIndex(name);
    if (index < 0) return Fail("Item not found in this collection.");
    return SetFieldValue(index, value);
}

}  // namespace tavik
