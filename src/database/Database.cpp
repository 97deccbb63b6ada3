#include "database/Database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "base/Cp1252.h"
#include "database/JetFunctions.h"
#include "database/RecordSet.h"
#include "database/SqlText.h"

namespace tavik {

namespace {

std::string Upper(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

std::string Declaration(const FieldDef& f) {
    std::string d = SqlName(f.name) + " ";
    switch (f.type) {
        case DbType::Boolean:
            return d + "BOOLEAN";
        case DbType::Byte:
            return d + "TINYINT";
        case DbType::Short:
            return d + "SMALLINT";
        case DbType::Long:
            return d + (f.counter ? "INTEGER PRIMARY KEY AUTOINCREMENT" : "INT");
        case DbType::Currency:
            return d + "CURRENCY";
        case DbType::Single:
            return d + "FLOAT";
        case DbType::Double:
            return d + "DOUBLE";
        case DbType::Date:
            return d + "DATETIME";
        case DbType::Text:
            return d + (f.fixed ? "CHAR(" : "VARCHAR(") + std::to_string(f.size) +
                   ") COLLATE NOCASE";
        case DbType::Memo:
            return d + "LONGTEXT COLLATE NOCASE";
        case DbType::Binary:
        case DbType::LongBinary:
            return d + "BLOB";
    }
    return d;
}

// The first bytes of every SQLite database file.
constexpr char kSqliteHeader[] = "SQLite format 3";

}  // namespace

DbFieldInfo FieldInfoFromDeclaration(const std::string& name, const char* declared) {
    DbFieldInfo info{name, DbType::Text, 255};
    if (!declared || !*declared) return info;
    std::string d = Upper(declared);
    auto sizeIn = [&](int fallback) {
        size_t open = d.find('(');
        if (open == std::string::npos) return fallback;
        int n = std::atoi(d.c_str() + open + 1);
        return n > 0 ? n : fallback;
    };
    auto starts = [&](const char* p) { return d.rfind(p, 0) == 0; };
    if (starts("BOOL") || starts("YESNO") || starts("BIT")) {
        info.type = DbType::Boolean;
        info.size = 1;
    } else if (starts("TINYINT") || starts("BYTE")) {
        info.type = DbType::Byte;
        info.size = 1;
    } else if (starts("SMALLINT") || starts("SHORT")) {
        info.type = DbType::Short;
        info.size = 2;
    } else if (starts("INT") || starts("LONG ") || d == "LONG" || starts("COUNTER") ||
               starts("BIGINT")) {
        info.type = DbType::Long;
        info.size = 4;
    } else if (starts("CURRENCY") || starts("MONEY")) {
        info.type = DbType::Currency;
        info.size = 8;
    } else if (starts("FLOAT") || starts("SINGLE")) {
        info.type = DbType::Single;
        info.size = 4;
    } else if (starts("DOUBLE") || starts("REAL") || starts("NUMERIC") || starts("DECIMAL")) {
        info.type = DbType::Double;
        info.size = 8;
    } else if (starts("DATE") || starts("TIME")) {
        info.type = DbType::Date;
        info.size = 8;
    } else if (starts("CHAR") || starts("VARCHAR") || starts("NCHAR") || starts("NVARCHAR") ||
               starts("TEXT(")) {
        info.type = DbType::Text;
        info.size = sizeIn(255);
    } else if (starts("LONGTEXT") || starts("TEXT") || starts("MEMO") || starts("CLOB")) {
        info.type = DbType::Memo;
        info.size = 0;
    } else if (starts("BLOB") || starts("BINARY") || starts("VARBINARY") || starts("LONGBINARY")) {
        info.type = DbType::LongBinary;
        info.size = 0;
    }
    return info;
}

void CQueryDef::SetParameter(size_t index, CDbValue value) {
    if (index < m_values.size()) m_values[index] = std::move(value);
}

CDatabase::CDatabase() = default;

CDatabase::~CDatabase() {
    Close();
}

bool CDatabase::Fail(const std::string& text) {
    m_error = text;
    return false;
}

bool CDatabase::FailFromEngine() {
    m_error = m_db ? Utf8ToCp1252(sqlite3_errmsg(m_db)) : "The database is not open.";
    return false;
}

void CDatabase::SetBusyTimeout(int milliseconds) {
    m_busyTimeout = milliseconds;
    if (m_db) sqlite3_busy_timeout(m_db, milliseconds);
}

bool CDatabase::Configure(const std::function<std::string(const CDatabase&)>& vet) {
    sqlite3_busy_timeout(m_db, m_busyTimeout);
    sqlite3_extended_result_codes(m_db, 0);
    if (!RegisterJetFunctions(m_db)) return FailFromEngine();
    // Reading sqlite_master first makes a file that is no database fail here, before the
    // journal mode is changed (which writes to the file).
    if (sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        return FailFromEngine();
    if (vet) {
        std::string refusal = vet(*this);
        if (!refusal.empty()) return Fail(refusal);
    }
    // A collection's catalogue is some hundred megabytes: a page cache of 64 MB keeps the indexes
    // that adding and merging look up in memory.
    for (const char* sql : {"PRAGMA foreign_keys=ON", "PRAGMA journal_mode=WAL",
                            "PRAGMA synchronous=NORMAL", "PRAGMA cache_size=-65536"}) {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            return FailFromEngine();
    }
    return true;
}

bool CDatabase::Create(const std::string& path) {
    Close();
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return Fail("Database already exists.");
    if (sqlite3_open_v2(Cp1252ToUtf8(path).c_str(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        FailFromEngine();
        Close();
        return false;
    }
    m_path = path;
    // Larger pages keep the indexes of a big collection shallower.
    if (sqlite3_exec(m_db, "PRAGMA page_size=8192", nullptr, nullptr, nullptr) != SQLITE_OK ||
        !Configure({}) ||
        sqlite3_exec(m_db, "PRAGMA user_version=1", nullptr, nullptr, nullptr) != SQLITE_OK) {
        if (m_error.empty()) FailFromEngine();
        std::string error = m_error;
        Close();
        m_error = error;
        return false;
    }
    m_error.clear();
    return true;
}

bool CDatabase::Open(const std::string& path,
                     const std::function<std::string(const CDatabase&)>& vet) {
    Close();
    {
        char header[16] = {};
        FILE* f = std::fopen(Cp1252ToUtf8(path).c_str(), "rb");
        if (!f) return Fail("unable to open database file");
        size_t got = std::fread(header, 1, sizeof header, f);
        std::fclose(f);
        if (got < sizeof header || std::string_view(header, 15) != kSqliteHeader)
            return Fail("file is not a database");
    }
    if (sqlite3_open_v2(Cp1252ToUtf8(path).c_str(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        FailFromEngine();
        Close();
        return false;
    }
    m_path = path;
    if (!Configure(vet)) {
        std::string error = m_error;
        Close();
        m_error = error;
        return false;
    }
    m_error.clear();
    return true;
}

void CDatabase::Close() {
    while (!m_sets.empty())
        m_sets.back()->Close();
    for (auto& [sql, statement] : m_statements)
        sqlite3_finalize(statement);
    m_statements.clear();
    if (m_db) sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_path.clear();
    ForgetSchema();
}

void CDatabase::Attach(CRecordSet* set) {
    if (std::find(m_sets.begin(), m_sets.end(), set) == m_sets.end()) m_sets.push_back(set);
}

void CDatabase::Detach(CRecordSet* set) {
    m_sets.erase(std::remove(m_sets.begin(), m_sets.end(), set), m_sets.end());
}

void CDatabase::ForgetSchema() {
    m_schemaLoaded = false;
    m_schema.clear();
}

void CDatabase::LoadSchema() const {
    if (m_schemaLoaded || !m_db) return;
    m_schemaLoaded = true;
    m_schema.clear();
    sqlite3_stmt* tables = nullptr;
    if (sqlite3_prepare_v2(m_db,
                           "SELECT name FROM sqlite_master WHERE type='table' AND "
                           "substr(name,1,7)<>'sqlite_' ORDER BY rowid",
                           -1, &tables, nullptr) != SQLITE_OK)
        return;
    while (sqlite3_step(tables) == SQLITE_ROW) {
        TableInfo info;
        info.name = Utf8ToCp1252(reinterpret_cast<const char*>(sqlite3_column_text(tables, 0)));
        std::string pragma = "PRAGMA table_info(" + SqlName(Cp1252ToUtf8(info.name)) + ")";
        sqlite3_stmt* columns = nullptr;
        if (sqlite3_prepare_v2(m_db, pragma.c_str(), -1, &columns, nullptr) == SQLITE_OK) {
            while (sqlite3_step(columns) == SQLITE_ROW) {
                std::string name =
                    Utf8ToCp1252(reinterpret_cast<const char*>(sqlite3_column_text(columns, 1)));
                const char* type = reinterpret_cast<const char*>(sqlite3_column_text(columns, 2));
                info.columns.push_back(name);
                info.fields.push_back(FieldInfoFromDeclaration(name, type));
            }
        }
        sqlite3_finalize(columns);
        m_schema[Upper(info.name)] = std::move(info);
    }
    sqlite3_finalize(tables);
}

std::vector<std::string> CDatabase::TableNames() const {
    LoadSchema();
    std::vector<std::string> names;
    for (const auto& [key, info] : m_schema)
        names.push_back(info.name);
    return names;
}

std::vector<DbFieldInfo> CDatabase::TableFields(const std::string& table) const {
    LoadSchema();
    auto it = m_schema.find(Upper(table));
    return it == m_schema.end() ? std::vector<DbFieldInfo>{} : it->second.fields;
}

std::string CDatabase::TableName(std::string_view table) const {
    LoadSchema();
    auto it = m_schema.find(Upper(table));
    return it == m_schema.end() ? std::string() : it->second.name;
}

const std::vector<std::string>* CDatabase::Columns(std::string_view table) const {
    LoadSchema();
    auto it = m_schema.find(Upper(table));
    return it == m_schema.end() ? nullptr : &it->second.columns;
}

sqlite3_stmt* CDatabase::Statement(const std::string& sql) {
    if (!m_db) {
        Fail("The database is not open.");
        return nullptr;
    }
    auto it = m_statements.find(sql);
    if (it != m_statements.end()) {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        return it->second;
    }
    // Statements never stay active between calls, so the cache may be emptied at any time.
    if (m_statements.size() >= 256) {
        for (auto& [text, statement] : m_statements)
            sqlite3_finalize(statement);
        m_statements.clear();
    }
    sqlite3_stmt* statement = nullptr;
    std::string utf8 = Cp1252ToUtf8(sql);
    const char* tail = nullptr;
    if (sqlite3_prepare_v3(m_db, utf8.c_str(), static_cast<int>(utf8.size()),
                           SQLITE_PREPARE_PERSISTENT, &statement, &tail) != SQLITE_OK) {
        FailFromEngine();
        sqlite3_finalize(statement);
        return nullptr;
    }
    if (!statement) {
        Fail("Invalid SQL statement.");
        return nullptr;
    }
    while (tail && *tail && std::isspace(static_cast<unsigned char>(*tail)))
        ++tail;
    if (tail && *tail) {
        sqlite3_finalize(statement);
        Fail("Characters found after end of SQL statement.");
        return nullptr;
    }
    m_statements.emplace(sql, statement);
    return statement;
}

bool CDatabase::Bind(sqlite3_stmt* statement, const std::vector<CDbValue>& values) {
    int count = sqlite3_bind_parameter_count(statement);
    for (int i = 0; i < count && i < static_cast<int>(values.size()); ++i) {
        const CDbValue& v = values[static_cast<size_t>(i)];
        int rc = SQLITE_OK;
        switch (v.GetKind()) {
            case CDbValue::Kind::Null:
                rc = sqlite3_bind_null(statement, i + 1);
                break;
            case CDbValue::Kind::Bool:
                rc = sqlite3_bind_int(statement, i + 1, v.AsBool() ? -1 : 0);
                break;
            case CDbValue::Kind::Integer:
                rc = sqlite3_bind_int64(statement, i + 1, v.AsInteger());
                break;
            case CDbValue::Kind::Double:
                rc = sqlite3_bind_double(statement, i + 1, v.AsDouble());
                break;
            case CDbValue::Kind::Text: {
                std::string u = Cp1252ToUtf8(v.AsText());
                rc = sqlite3_bind_text(statement, i + 1, u.data(), static_cast<int>(u.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
            case CDbValue::Kind::Blob: {
                std::string b = v.AsText();
                rc = sqlite3_bind_blob(statement, i + 1, b.data(), static_cast<int>(b.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
        }
        if (rc != SQLITE_OK) return FailFromEngine();
    }
    return true;
}

CDbValue CDatabase::Column(sqlite3_stmt* statement, int column, DbType type) const {
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_NULL:
            return CDbValue::Null();
        case SQLITE_INTEGER: {
            sqlite3_int64 v = sqlite3_column_int64(statement, column);
            if (type == DbType::Boolean) return CDbValue::Bool(v != 0);
            return CDbValue::Integer(v);
        }
        case SQLITE_FLOAT:
            if (type == DbType::Boolean)
                return CDbValue::Bool(sqlite3_column_double(statement, column) != 0);
            return CDbValue::Double(sqlite3_column_double(statement, column));
        case SQLITE_BLOB: {
            const void* p = sqlite3_column_blob(statement, column);
            int n = sqlite3_column_bytes(statement, column);
            return CDbValue::Blob(std::string(static_cast<const char*>(p), static_cast<size_t>(n)));
        }
        default: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            int n = sqlite3_column_bytes(statement, column);
            std::string text = Utf8ToCp1252(std::string_view(p ? p : "", static_cast<size_t>(n)));
            if (type == DbType::Boolean) return CDbValue::Bool(std::atoll(text.c_str()) != 0);
            return CDbValue::Text(std::move(text));
        }
    }
}

bool CDatabase::CreateTable(const TableDef& table) {
    if (!m_db) return Fail("The database is not open.");
    if (table.fields.empty()) return Fail("Table " + table.name + " has no fields.");
    std::string sql = "CREATE TABLE " + SqlName(table.name) + " (";
    for (size_t i = 0; i < table.fields.size(); ++i) {
        if (i) sql += ", ";
        sql += Declaration(table.fields[i]);
    }
    sql += ")";
    ForgetSchema();
    if (sqlite3_exec(m_db, Cp1252ToUtf8(sql).c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return FailFromEngine();
    return true;
}

bool CDatabase::CreateIndex(const std::string& table, const IndexDef& index) {
    if (!m_db) return Fail("The database is not open.");
    const std::vector<DbFieldInfo> fields = TableFields(table);
    if (fields.empty()) return Fail("Cannot find table " + table + ".");
    // A counter is the table's row id and already its primary key.
    if (index.primary && index.fields.size() == 1) {
        sqlite3_stmt* pk = Statement("SELECT pk FROM pragma_table_info(?1) WHERE name = ?2");
        if (!pk) return false;
        Bind(pk, {CDbValue::Text(table), CDbValue::Text(index.fields[0])});
        bool isRowId = sqlite3_step(pk) == SQLITE_ROW && sqlite3_column_int(pk, 0) == 1;
        sqlite3_reset(pk);
        if (isRowId) return true;
    }
    std::string sql = std::string("CREATE ") + (index.unique || index.primary ? "UNIQUE " : "") +
                      "INDEX " + SqlName(table + "." + index.name) + " ON " + SqlName(table) + " (";
    for (size_t i = 0; i < index.fields.size(); ++i) {
        if (i) sql += ", ";
        sql += SqlName(index.fields[i]);
    }
    sql += ")";
    if (sqlite3_exec(m_db, Cp1252ToUtf8(sql).c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return FailFromEngine();
    return true;
}

// SQLite takes foreign keys only in CREATE TABLE, so a relation rebuilds the foreign table with
// the constraint added (its rows and indexes are carried over).
bool CDatabase::CreateRelation(const std::string& name, const std::string& table,
                               const std::string& foreignTable, long attributes,
                               const std::string& field, const std::string& foreignField) {
    if (!m_db) return Fail("The database is not open.");
    if (!Columns(table) || !Columns(foreignTable))
        return Fail("Cannot find table " + (Columns(table) ? foreignTable : table) + ".");
    if (attributes & kRelationDontEnforce) return true;
    auto exec = [&](const std::string& sql) {
        return sqlite3_exec(m_db, Cp1252ToUtf8(sql).c_str(), nullptr, nullptr, nullptr) ==
               SQLITE_OK;
    };
    auto master = [&](const std::string& type, std::vector<std::string>& out) {
        sqlite3_stmt* s = nullptr;
        std::string q = "SELECT sql FROM sqlite_master WHERE type='" + type +
                        "' AND tbl_name=?1 AND sql IS NOT NULL ORDER BY rowid";
        if (sqlite3_prepare_v2(m_db, q.c_str(), -1, &s, nullptr) != SQLITE_OK) return false;
        std::string t = Cp1252ToUtf8(foreignTable);
        sqlite3_bind_text(s, 1, t.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(s) == SQLITE_ROW)
            out.push_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
        return true;
    };
    std::vector<std::string> tableSql, indexSql;
    if (!master("table", tableSql) || tableSql.size() != 1 || !master("index", indexSql))
        return FailFromEngine();
    std::string create = tableSql[0];
    size_t open = create.find('(');
    size_t close = create.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return Fail("Cannot change table " + foreignTable + ".");
    const std::string temp = foreignTable + " (rebuilding)";
    std::string clause = ", CONSTRAINT " + SqlName(name) + " FOREIGN KEY (" +
                         SqlName(foreignField) + ") REFERENCES " + SqlName(table) + " (" +
                         SqlName(field) + ")";
    if (attributes & kRelationUpdateCascade) clause += " ON UPDATE CASCADE";
    if (attributes & kRelationDeleteCascade) clause += " ON DELETE CASCADE";
    std::string rebuilt = "CREATE TABLE " + SqlName(Cp1252ToUtf8(temp)) + " " +
                          create.substr(open, close - open) + Cp1252ToUtf8(clause) + ")";
    ForgetSchema();
    exec("PRAGMA foreign_keys=OFF");
    bool ok = exec("BEGIN") &&
              sqlite3_exec(m_db, rebuilt.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK &&
              exec("INSERT INTO " + SqlName(temp) + " SELECT * FROM " + SqlName(foreignTable)) &&
              exec("DROP TABLE " + SqlName(foreignTable)) &&
              exec("ALTER TABLE " + SqlName(temp) + " RENAME TO " + SqlName(foreignTable));
    for (const auto& sql : indexSql)
        ok = ok && sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok) {
        FailFromEngine();
        std::string error = m_error;
        exec("ROLLBACK");
        exec("PRAGMA foreign_keys=ON");
        m_error = error;
        return false;
    }
    ok = exec("COMMIT");
    if (!ok) FailFromEngine();
    exec("PRAGMA foreign_keys=ON");
    return ok;
}

bool CDatabase::CreateQueryDef(const std::string& jetSql, CQueryDef& def) {
    def = CQueryDef();
    def.m_jet = jetSql;
    if (!m_db) return Fail("The database is not open.");
    def.m_translation = TranslateJetSql(jetSql, *this);
    if (!def.m_translation.ok) return Fail(def.m_translation.error);
    def.m_values.assign(def.m_translation.parameters.size(), CDbValue::Null());
    return true;
}

int CDatabase::Execute(const std::string& jetSql) {
    CQueryDef def;
    if (!CreateQueryDef(jetSql, def)) return -1;
    if (!def.Parameters().empty()) {
        Fail("Too few parameters. Expected " + std::to_string(def.Parameters().size()) + ".");
        return -1;
    }
    return Execute(def);
}

int CDatabase::Execute(const CQueryDef& def) {
    if (!m_db) {
        Fail("The database is not open.");
        return -1;
    }
    const JetTranslation& t = def.Translation();
    if (!t.ok) {
        Fail(t.error.empty() ? "Invalid SQL statement." : t.error);
        return -1;
    }
    if (t.isQuery) {
        Fail("Cannot execute a select query.");
        return -1;
    }
    sqlite3_stmt* s = Statement(t.sql);
    if (!s || !Bind(s, def.Values())) return -1;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        FailFromEngine();
        sqlite3_reset(s);
        return -1;
    }
    int changed = sqlite3_changes(m_db);
    sqlite3_reset(s);
    m_error.clear();
    return changed;
}

CTransaction::CTransaction(CDatabase& db) : m_db(db) {
    m_started = db.IsOpen() && sqlite3_exec(db.Handle(), "SAVEPOINT tavik", nullptr, nullptr,
                                            nullptr) == SQLITE_OK;
    if (!m_started) db.FailFromEngine();
}

CTransaction::~CTransaction() {
    Rollback();
}

bool CTransaction::Commit() {
    if (!m_started) return false;
    if (sqlite3_exec(m_db.Handle(), "RELEASE tavik", nullptr, nullptr, nullptr) != SQLITE_OK) {
        m_db.FailFromEngine();
        Rollback();
        return false;
    }
    m_started = false;
    return true;
}

void CTransaction::Rollback() {
    if (!m_started) return;
    m_started = false;
    // The engine's description of what failed stays for the caller to show.
    const std::string error = m_db.ErrorText();
    sqlite3_exec(m_db.Handle(), "ROLLBACK TO tavik", nullptr, nullptr, nullptr);
    sqlite3_exec(m_db.Handle(), "RELEASE tavik", nullptr, nullptr, nullptr);
    if (!error.empty()) m_db.Fail(error);
}

namespace {
double SecondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

CCommitBatch::CCommitBatch(CDatabase& db, double intervalSeconds)
    : m_db(db), m_interval(intervalSeconds) {}

bool CCommitBatch::Lost() {
    // After some errors (a disk that is full, a failed write) the engine undoes the whole
    // transaction by itself: every unit of the batch is gone.
    if (!m_transaction || !m_transaction->Started() || !sqlite3_get_autocommit(m_db.Handle()))
        return false;
    m_db.Fail("The catalogue could not save what was added since it last did (" + m_db.ErrorText() +
              ").");
    m_transaction.reset();
    return true;
}

bool CCommitBatch::Tick() {
    if (Lost()) return false;
    if (m_transaction && SecondsNow() - m_started < m_interval) return true;
    if (!Finish()) return false;
    m_transaction = std::make_unique<CTransaction>(m_db);
    m_started = SecondsNow();
    return m_transaction->Started();
}

bool CCommitBatch::Finish() {
    if (Lost()) return false;
    if (!m_transaction) return true;
    const bool ok = m_transaction->Commit();
    m_transaction.reset();
    if (ok) ++m_commits;
    return ok;
}

}  // namespace tavik
