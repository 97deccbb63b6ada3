// Creating, opening and closing catalogues, the schema a new one gets, and the import of Jet
// files (real ones read with libmdb, and the table mapping through a small fake reader).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <map>

#include "CatalogueFixture.h"
#include "base/PcFile.h"
#include "database/InfoSet.h"
#include "database/JetImport.h"
#include "database/MdbReader.h"
#include "database/Schema.h"

namespace tavik::test {
namespace {

using Strings = std::vector<std::string>;
using CatalogueTest = CatalogueFixture;

TEST_F(CatalogueTest, ANewCatalogueHasTheSchemaAndTheInfoRows) {
    EXPECT_TRUE(catalogue.IsOpen());
    EXPECT_EQ(catalogue.NodeLabel(), "Floppies.db");
    EXPECT_EQ(options.databasePath, path);
    for (const char* table : {"Disks", "Files", "DiskFileMM", "Queries", "Params"})
        EXPECT_EQ(Count(table), 0) << table;

    const std::pair<const char*, Strings> columns[] = {
        {"Disks",
         {"Disk name",
          "ID",
          "Size",
          "Free",
          "Files",
          "DS",
          "DD",
          "Protected",
          "Creation date",
          "Creation time",
          "Modification date",
          "Modification time",
          "Archived date",
          "Archived time",
          "CRC-S",
          "CRC-F",
          "Drive type",
          "Drive",
          "Info1",
          "Info2",
          "Info3"}},
        {"Files",
         {"File name", "ID", "Type", "Size", "Records", "Last", "Protected", "Creation date",
          "Creation time", "Modification date", "Modification time", "Archived date",
          "Archived time", "CRC", "Info1", "Info2", "Info3"}},
        {"DiskFileMM", {"ID", "DiskID", "FileID"}},
        {"Queries",
         {"ID", "Query name", "From", "Where", "Order by", "Predicate", "SQL", "Join on",
          "Combination", "Parent name", "Columns", "Comments"}},
        {"Params", {"ID", "Name", "Type", "Value", "Comments"}},
        {"Info", {"ID", "Name", "Value"}},
    };
    for (const auto& [table, expected] : columns) {
        CRecordSet set(&catalogue.Database());
        ASSERT_TRUE(set.Open(std::string("SELECT * FROM [") + table + "]"));
        Strings names;
        for (int i = 0; i < set.GetFieldCount(); ++i)
            names.push_back(set.GetFieldInfo(i).name);
        EXPECT_EQ(names, expected) << table;
    }

    Strings infoNames = Column("SELECT [Name] FROM [Info] ORDER BY [ID]");
    Strings infoValues = Column("SELECT [Value] FROM [Info] ORDER BY [ID]");
    ASSERT_EQ(infoNames.size(), 11u);
    EXPECT_EQ(infoNames[0], "Version");
    EXPECT_EQ(infoValues[0], "TAVIK database version 1.0");
    EXPECT_EQ(infoNames[2], "Default disk query fields");
    EXPECT_EQ(infoValues[2],
              "[ID] [Disk name] [Size]<right> [CRC-S][CRC-F] [Info1][Info2] [Drive type][Drive]");
    EXPECT_EQ(infoNames[10], "Default SQL query sizes");
    EXPECT_EQ(infoValues[10], "<60>");

    // The defaults are read when the catalogue opens.
    EXPECT_EQ(catalogue.Display().fileFields,
              "[ID] [File name] [Type][Size]<right> [CRC] [Info1][Info2] [Modification date]");
    ASSERT_EQ(catalogue.Display().paramListSizes.size(), 5u);
    EXPECT_EQ(catalogue.Display().paramListSizes[1], 0xC028);

    // The lookups by checksum use an index.
    sqlite3_stmt* plan = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(catalogue.Database().Handle(),
                                 "EXPLAIN QUERY PLAN SELECT rowid FROM Disks WHERE \"CRC-S\" = "
                                 "'AB' COLLATE NOCASE",
                                 -1, &plan, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(plan), SQLITE_ROW);
    EXPECT_NE(
        std::string(reinterpret_cast<const char*>(sqlite3_column_text(plan, 3))).find("Disks.CRCS"),
        std::string::npos);
    sqlite3_finalize(plan);
}

TEST_F(CatalogueTest, LabelsAndClosing) {
    catalogue.Close();
    EXPECT_EQ(catalogue.NodeLabel(), "Database closed");
    options.fullPathNames = true;
    ASSERT_TRUE(catalogue.Open(path));
    EXPECT_EQ(catalogue.NodeLabel(), path);
    EXPECT_TRUE(catalogue.DiskSet().IsOpen());
    EXPECT_FALSE(catalogue.Open(""));
    EXPECT_EQ(catalogue.NodeLabel(), "Database closed");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CatalogueTest, NewOnTheOpenCatalogueReplacesIt) {
    AddDisk("OLD", 1, false);
    ASSERT_TRUE(catalogue.Create(path));
    EXPECT_EQ(Count("Disks"), 0);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CatalogueTest, NewOnAFileInUseIsRefused) {
    AddDisk("KEEP", 1, false);
    catalogue.Close();
    CDatabase other;
    ASSERT_TRUE(other.Open(path));
    EXPECT_FALSE(catalogue.Create(path));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], "File " + path + " is in use");
    EXPECT_FALSE(catalogue.IsOpen());
    EXPECT_EQ(catalogue.NodeLabel(), "Database closed");
    other.Close();
    ASSERT_TRUE(catalogue.Open(path));
    EXPECT_EQ(Count("Disks"), 1);
}

TEST_F(CatalogueTest, FilesThatAreNoCatalogueAreRefusedAndLeftAlone) {
    catalogue.Close();
    const std::string folder = TempFolder();
    struct Case {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"text.db", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l',
                                         'd', ' ', 'o', 'f', ' ', 'b', 'y', 't', 'e', 's'}},
        {"empty.db", {}},
    };
    {
        // An SQLite file of another program: must not even be switched to another journal mode.
        std::string other = folder + "/other.db";
        sqlite3* db = nullptr;
        sqlite3_open(other.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(other, bytes));
        cases.push_back({"other.db", bytes});
    }
    for (const auto& c : cases) {
        const std::string file = folder + "/" + c.name;
        ASSERT_TRUE(WriteWholeFile(file, c.bytes));
        prompt.messages.clear();
        EXPECT_FALSE(catalogue.Open(file)) << c.name;
        ASSERT_EQ(prompt.messages.size(), 1u) << c.name;
        EXPECT_FALSE(catalogue.IsOpen());
        std::vector<uint8_t> after;
        ASSERT_TRUE(ReadWholeFile(file, after));
        EXPECT_EQ(after, c.bytes) << c.name;
        EXPECT_FALSE(std::filesystem::exists(file + "-wal")) << c.name;
    }
    prompt.messages.clear();
    EXPECT_FALSE(catalogue.Open(folder + "/missing.db"));
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST_F(CatalogueTest, StartUpWithAMissingCatalogueSaysNothing) {
    catalogue.Close();
    options.openDatabaseOnStartup = true;
    options.databasePath = TempFolder() + "/gone.db";
    catalogue.OpenOnStartup();
    EXPECT_FALSE(catalogue.IsOpen());
    EXPECT_TRUE(prompt.messages.empty());
    options.databasePath = path;
    catalogue.OpenOnStartup();
    EXPECT_TRUE(catalogue.IsOpen());
}

TEST_F(CatalogueTest, ALockedCatalogueCannotBeOpened) {
    catalogue.Close();
    sqlite3* locker = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &locker), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(locker, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; DELETE FROM Params;",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    catalogue.Database().SetBusyTimeout(50);
    EXPECT_FALSE(catalogue.Open(path));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], "database is locked\n" + path);
    EXPECT_EQ(catalogue.NodeLabel(), "Database closed");
    sqlite3_exec(locker, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(locker);
}

// ---- Jet files --------------------------------------------------------------------------

class FakeJetReader : public CJetReader {
public:
    struct Table {
        Strings columns;
        std::vector<Row> rows;
    };
    std::map<std::string, Table> tables;

    std::vector<std::string> Tables() override {
        Strings names;
        for (const auto& [name, t] : tables)
            names.push_back(name);
        return names;
    }
    bool ReadTable(const std::string& table, std::vector<std::string>& columns,
                   const std::function<bool(const Row&)>& row) override {
        auto it = tables.find(table);
        if (it == tables.end()) return false;
        columns = it->second.columns;
        for (const auto& r : it->second.rows)
            if (!row(r)) return false;
        return true;
    }
    std::string ErrorText() const override { return "fake reader error"; }
};

FakeJetReader OldCatalogue() {
    FakeJetReader r;
    // Column order and case differ from the new schema; a column the schema lacks is dropped.
    r.tables["disks"] = {
        {"ID", "Disk name", "DS", "CRC-S", "Old column"},
        {{"7", "GAMES", "1", "12345678", "x"}, {"9", "TOOLS", "0", std::nullopt, "y"}}};
    r.tables["Files"] = {{"File name", "ID", "Protected"}, {{"LOAD", "12", "TRUE"}}};
    r.tables["DiskFileMM"] = {{"ID", "DiskID", "FileID"},
                              {{"3", "7", "12"}, {"4", "9", "12"}, {"5", "8", "12"}}};
    r.tables["Queries"] = {{"ID", "Query name", "Combination"}, {{"2", "Big disks", "0"}}};
    r.tables["Params"] = {{"ID", "Name", "Type", "Value"}, {{"1", "Min", "4", "100"}}};
    r.tables["Info"] = {{"ID", "Name", "Value"}, {{"1", "Version", "TAVIK database version 1.0"}}};
    return r;
}

TEST(JetImportTest, TablesAreCopiedWithTheirIds) {
    FakeJetReader reader = OldCatalogue();
    const std::string target = TempFolder() + "/old.db";
    std::string error;
    ASSERT_TRUE(ImportJetCatalogue(reader, target, error)) << error;

    CDatabase db;
    ASSERT_TRUE(db.Open(target));
    CRecordSet disks(&db);
    ASSERT_TRUE(disks.Open("SELECT ALL * FROM [Disks] ORDER BY [ID]"));
    ASSERT_EQ(disks.GetRecordCount(), 2);
    EXPECT_EQ(disks.GetFieldValue("ID").AsInteger(), 7);
    EXPECT_EQ(disks.GetFieldValue("Disk name").AsText(), "GAMES");
    EXPECT_TRUE(disks.GetFieldValue("DS").AsBool());
    EXPECT_EQ(disks.GetFieldValue("CRC-S").AsText(), "12345678");
    disks.MoveNext();
    EXPECT_FALSE(disks.GetFieldValue("DS").AsBool());
    EXPECT_TRUE(disks.GetFieldValue("CRC-S").IsNull());

    CRecordSet links(&db);
    ASSERT_TRUE(links.Open("SELECT ALL * FROM [DiskFileMM] ORDER BY [ID]"));
    EXPECT_EQ(links.GetRecordCount(), 2);  // the link to the missing disk 8 is left out
    CRecordSet files(&db);
    ASSERT_TRUE(files.Open("SELECT ALL * FROM [Files]"));
    EXPECT_EQ(files.GetFieldValue("ID").AsInteger(), 12);
    EXPECT_TRUE(files.GetFieldValue("Protected").AsBool());

    // New rows continue after the imported counters.
    ASSERT_TRUE(disks.AddNew());
    ASSERT_TRUE(disks.Update());
    EXPECT_EQ(disks.GetFieldValue("ID").AsInteger(), 10);
}

TEST(JetImportTest, AJetFileWithoutTheCatalogueTablesIsRefused) {
    FakeJetReader reader = OldCatalogue();
    reader.tables.erase("Info");
    const std::string target = TempFolder() + "/old.db";
    std::string error;
    EXPECT_FALSE(ImportJetCatalogue(reader, target, error));
    EXPECT_NE(error.find("Info"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(JetImportTest, TheImportNeverReplacesAFile) {
    const std::string folder = TempFolder();
    EXPECT_EQ(ImportTargetPath(folder + "/Floppies.mdb"), folder + "/Floppies.db");
    ASSERT_TRUE(WriteWholeFile(folder + "/Floppies.db", {1}));
    EXPECT_EQ(ImportTargetPath(folder + "/Floppies.mdb"), folder + "/Floppies (2).db");
}

TEST(MdbReaderTest, ReadsRealJetFiles) {
    TAVIK_REQUIRE_TESTDATA(mdb, "mdb");
    std::string error;
    auto reader = CMdbReader::Open(mdb + "/nwind.mdb", error);
    ASSERT_TRUE(reader) << error;
    Strings tables = reader->Tables();
    EXPECT_NE(std::find(tables.begin(), tables.end(), "Shippers"), tables.end());
    Strings columns;
    std::vector<CJetReader::Row> rows;
    ASSERT_TRUE(reader->ReadTable("Shippers", columns, [&](const CJetReader::Row& r) {
        rows.push_back(r);
        return true;
    }));
    ASSERT_GE(columns.size(), 2u);
    ASSERT_FALSE(rows.empty());
    ASSERT_EQ(rows[0].size(), columns.size());
    EXPECT_TRUE(rows[0][1].has_value());

    auto jet4 = CMdbReader::Open(mdb + "/DateTestDatabase.mdb", error);
    ASSERT_TRUE(jet4) << error;
    EXPECT_FALSE(jet4->Tables().empty());

    EXPECT_FALSE(CMdbReader::Open(mdb + "/README.md", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(CatalogueTest, OpeningAJetFileWithOtherTablesCreatesNothing) {
    TAVIK_REQUIRE_TESTDATA(mdb, "mdb");
    const std::string folder = TempFolder();
    std::filesystem::copy_file(mdb + "/nwind.mdb", folder + "/nwind.mdb");
    prompt.messages.clear();
    EXPECT_FALSE(catalogue.Open(folder + "/nwind.mdb"));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("no TAVIK catalogue"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder + "/nwind.db"));
    EXPECT_EQ(catalogue.NodeLabel(), "Database closed");
}

}  // namespace
}  // namespace tavik::test
