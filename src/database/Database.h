// The catalogue's database engine: SQLite behind the operations the catalogue logic calls (create,
// open shared read-write, close; tables, fields, indexes, relations; execute with the count of
// changed rows; query definitions with parameters). Every SQL text given here is Jet SQL and is
// translated in one place (JetSql.h); values are always bound, never spliced into SQL.
//
// The file is an SQLite database in write-ahead-log mode with a busy timeout, so another program
// may read the catalogue while it is open here. Text is code page 1252 on this interface and
// UTF-8 inside the file. Yes/no values are stored as Jet stores them (-1 true, 0 false); counters
// never reuse a value; relations are real foreign keys.
//
// Failures return false (or -1) and leave the engine's description in ErrorText(); nothing throws.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "database/DbValue.h"
#include "database/JetSql.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tavik {

class CRecordSet;

struct FieldDef {
    std::string name;
    DbType type = DbType::Text;
    int size = 0;          // text: maximum characters
    bool fixed = false;    // fixed-size text
    bool counter = false;  // the engine assigns increasing values on insert
};

struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;
};

struct IndexDef {
    std::string name;
    std::vector<std::string> fields;
    bool primary = false;
    bool unique = false;
    bool required = false;
};

// Relation attributes (the Jet values).
constexpr long kRelationDontEnforce = 0x2;
constexpr long kRelationUpdateCascade = 0x100;
constexpr long kRelationDeleteCascade = 0x1000;

// A prepared ("temporary") query definition: its parameters are listed and bound before the
// definition is executed or a set is opened on it.
class CQueryDef {
public:
    const std::string& Sql() const { return m_jet; }
    const std::vector<std::string>& Parameters() const { return m_translation.parameters; }
    bool IsQuery() const { return m_translation.isQuery; }
    void SetParameter(size_t index, CDbValue value);
    const std::vector<CDbValue>& Values() const { return m_values; }
    const JetTranslation& Translation() const { return m_translation; }

private:
    friend class CDatabase;
    std::string m_jet;
    JetTranslation m_translation;
    std::vector<CDbValue> m_values;
};

class CDatabase : public CJetSchema {
public:
    CDatabase();
    ~CDatabase() override;
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // A new, empty database file (the file must not exist), left open.
    bool Create(const std::string& path);
    // Opens an existing database shared, read-write. `vet`, when given, looks at the database
    // before anything is written to it and returns an error text to refuse it.
    bool Open(const std::string& path,
              const std::function<std::string(const CDatabase&)>& vet = {});
    // Closes every set open on the database, then the database.
    void Close();
    bool IsOpen() const { return m_db != nullptr; }
    const std::string& Path() const { return m_path; }
    const std::string& ErrorText() const { return m_error; }
    void SetBusyTimeout(int milliseconds);

    bool CreateTable(const TableDef& table);
    bool CreateIndex(const std::string& table, const IndexDef& index);
    bool CreateRelation(const std::string& name, const std::string& table,
                        const std::string& foreignTable, long attributes, const std::string& field,
                        const std::string& foreignField);

    // Executes a command; the number of rows it changed, or -1.
    int Execute(const std::string& jetSql);
    int Execute(const CQueryDef& def);
    bool CreateQueryDef(const std::string& jetSql, CQueryDef& def);

    std::vector<std::string> TableNames() const;
    std::vector<DbFieldInfo> TableFields(const std::string& table) const;
    // The table's name as the database spells it, "" when there is none.
    std::string TableName(std::string_view table) const;
    const std::vector<std::string>* Columns(std::string_view table) const override;

    // ---- For record sets -------------------------------------------------------------------
    // A prepared statement for SQLite SQL (code page 1252), reset and unbound; the database
    // keeps it. Null on failure.
    sqlite3_stmt* Statement(const std::string& sql);
    bool Bind(sqlite3_stmt* statement, const std::vector<CDbValue>& values);
    CDbValue Column(sqlite3_stmt* statement, int column, DbType type) const;
    bool Fail(const std::string& text);
    bool FailFromEngine();
    void ClearError() { m_error.clear(); }
    void Attach(CRecordSet* set);
    void Detach(CRecordSet* set);
    sqlite3* Handle() const { return m_db; }

private:
    bool Configure(const std::function<std::string(const CDatabase&)>& vet);
    void ForgetSchema();
    void LoadSchema() const;

    sqlite3* m_db = nullptr;
    std::string m_path;
    std::string m_error;
    int m_busyTimeout = 2000;
    std::unordered_map<std::string, sqlite3_stmt*> m_statements;
    std::vector<CRecordSet*> m_sets;
    struct TableInfo {
        std::string name;
        std::vector<std::string> columns;
        std::vector<DbFieldInfo> fields;
    };
    mutable bool m_schemaLoaded = false;
    mutable std::map<std::string, TableInfo> m_schema;  // by upper-cased name
};

// A unit of work on the database: what is written between its start and Commit() stays as a
// whole, or none of it does (a destructor without Commit() rolls back). Units nest: one started
// inside another is kept or undone with the outer one's decision still to come.
class CTransaction {
public:
    explicit CTransaction(CDatabase& db);
    ~CTransaction();
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;

    // False when the unit could not start (the database's ErrorText says why).
    bool Started() const { return m_started; }
    bool Commit();
    void Rollback();

private:
    CDatabase& m_db;
    bool m_started = false;
};

// Many units of work in one transaction, committed again every `interval`: adding thousands of
// disks writes the pages they change once a batch instead of once a disk. Each unit (a
// CTransaction started inside) is still kept or undone whole; a crash loses at most the units
// of the batch not yet committed, never part of one.
class CCommitBatch {
public:
    explicit CCommitBatch(CDatabase& db, double intervalSeconds = 0.5);
    // Between units: commits when the interval has passed, and starts the next batch. False
    // when a commit failed or the engine undid the batch after an error (none of its units is
    // kept then).
    bool Tick();
    // Commits what is left; false (with the engine's description) when it could not.
    bool Finish();
    // How many batches were committed: the units before the last change of it are kept.
    int Commits() const { return m_commits; }

private:
    bool Lost();

    CDatabase& m_db;
    double m_interval;
    int m_commits = 0;
    std::unique_ptr<CTransaction> m_transaction;
    double m_started = 0;
};

// The field type the database declares for a column type text ("VARCHAR(10)", "BOOLEAN", ...).
DbFieldInfo FieldInfoFromDeclaration(const std::string& name, const char* declared);

}  // namespace tavik
