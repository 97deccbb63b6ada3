// The engine's sets: moving, finding, adding, editing, deleting, nulls and field descriptions,
// counters, cascades, and sharing the file with a second program.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <thread>

#include "CatalogueFixture.h"
#include "database/InfoSet.h"

namespace tavik::test {
namespace {

using RecordSetTest = CatalogueFixture;
using Strings = std::vector<std::string>;

TEST_F(RecordSetTest, MovesAndEndsOfTheSet) {
    CRecordSet set(&catalogue.Database());
    ASSERT_TRUE(set.Open("SELECT ALL * FROM [Disks]"));
    EXPECT_TRUE(set.IsBOF());
    EXPECT_TRUE(set.IsEOF());
    EXPECT_EQ(set.GetRecordCount(), 0);
    EXPECT_TRUE(set.GetFieldValue("ID").IsNull());

    AddDisk("A", 1, false);
    AddDisk("B", 2, false);
    AddDisk("C", 3, false);
    ASSERT_TRUE(set.Open("SELECT ALL * FROM [Disks] ORDER BY [Size] DESC"));
    EXPECT_EQ(set.GetRecordCount(), 3);
    EXPECT_FALSE(set.IsBOF());
    EXPECT_EQ(set.GetFieldValue(0).AsText(), "C");
    set.MoveLast();
    EXPECT_EQ(set.GetFieldValue("Disk name").AsText(), "A");
    set.MoveNext();
    EXPECT_TRUE(set.IsEOF());
    set.MoveFirst();
    set.MovePrev();
    EXPECT_TRUE(set.IsBOF());
    set.MoveNext();
    EXPECT_EQ(set.GetFieldValue(0).AsText(), "C");
}

TEST_F(RecordSetTest, FindFirstOnCriteriaTexts) {
    for (const char* name : {"A", "B", "C"})
        AddDisk(name, 1, false);
    CDiskSet& disks = catalogue.DiskSet();
    ASSERT_TRUE(disks.Open("SELECT ALL * FROM [Disks]"));
    EXPECT_TRUE(disks.FindFirst("[ID]=2"));
    EXPECT_EQ(disks.m_DiskName.Value(), "B");
    EXPECT_FALSE(disks.FindFirst("[ID] = 99"));
    EXPECT_EQ(disks.m_DiskName.Value(), "B");  // not moved
    EXPECT_TRUE(disks.FindFirst("ID=3"));
    EXPECT_EQ(disks.m_ID, 3);
    EXPECT_FALSE(disks.FindFirst("[ID] = = 1"));
    EXPECT_FALSE(disks.ErrorText().empty());

    CInfoSet info(&catalogue.Database());
    ASSERT_TRUE(info.Open());
    ASSERT_TRUE(info.FindFirst("Name='Version'"));
    EXPECT_EQ(info.m_Value.Value(), "TAVIK database version 1.0");

    // A read-only set finds on its own column names.
    CRecordSet sizes(&catalogue.Database());
    ASSERT_TRUE(sizes.Open("SELECT [Disk name] AS [Label], [ID] * 10 AS [Tenfold] FROM [Disks]"));
    ASSERT_TRUE(sizes.FindFirst("[Tenfold] > 15 AND [Label] <> \"c\""));
    EXPECT_EQ(sizes.GetFieldValue("Label").AsText(), "B");
}

TEST_F(RecordSetTest, AddEditDeleteAndCounters) {
    CDiskSet& disks = catalogue.DiskSet();
    int a = AddDisk("A", 1, false);
    int b = AddDisk("B", 2, true);
    EXPECT_EQ(b, a + 1);
    ASSERT_TRUE(disks.Open());
    ASSERT_TRUE(disks.FindFirst("[ID]=" + std::to_string(b)));
    EXPECT_TRUE(disks.m_DS);
    EXPECT_TRUE(disks.m_Info1.IsNull());

    // Edit writes the changed members only; null stays distinguishable from empty.
    ASSERT_TRUE(disks.Edit());
    disks.m_Info1 = "";
    disks.m_Size = 7;
    ASSERT_TRUE(disks.Update());
    EXPECT_EQ(disks.m_Size, 7);
    EXPECT_FALSE(disks.m_Info1.IsNull());
    EXPECT_TRUE(disks.GetFieldValue("Info2").IsNull());
    ASSERT_TRUE(disks.Edit());
    disks.m_Info1.SetNull();
    disks.m_DiskName = "Z";
    disks.CancelUpdate();
    EXPECT_EQ(disks.m_DiskName.Value(), "B");

    // After deleting, the next move goes to the row that followed.
    AddDisk("C", 3, false);
    ASSERT_TRUE(disks.Open());
    ASSERT_TRUE(disks.FindFirst("[Disk name] = 'b'"));
    ASSERT_TRUE(disks.Delete());
    EXPECT_TRUE(disks.GetFieldValue("ID").IsNull());
    disks.MoveNext();
    EXPECT_EQ(disks.m_DiskName.Value(), "C");
    EXPECT_EQ(disks.GetRecordCount(), 2);

    // Counters are never reused, even for the highest row deleted.
    ASSERT_TRUE(disks.Delete());
    int d = AddDisk("D", 4, false);
    EXPECT_EQ(d, b + 2);
}

TEST_F(RecordSetTest, ValuesAreConvertedToTheColumnType) {
    CRecordSet set(&catalogue.Database());
    ASSERT_TRUE(set.Open("SELECT ALL * FROM [Disks]"));
    ASSERT_TRUE(set.AddNew());
    EXPECT_TRUE(set.SetFieldValue("Size", CDbValue::Text("360")));
    EXPECT_FALSE(set.SetFieldValue("Free", CDbValue::Text("lots")));
    EXPECT_EQ(set.ErrorText(), "Data type conversion error.");
    EXPECT_TRUE(set.SetFieldValue("DS", CDbValue::Text("Yes")));
    EXPECT_TRUE(set.SetFieldValue("Info1", CDbValue::Integer(12)));
    EXPECT_FALSE(set.SetFieldValue("Nope", CDbValue::Integer(1)));
    ASSERT_TRUE(set.Update());
    EXPECT_EQ(set.GetFieldValue("Size").AsInteger(), 360);
    EXPECT_EQ(set.GetFieldValue("DS").GetKind(), CDbValue::Kind::Bool);
    EXPECT_TRUE(set.GetFieldValue("DS").AsBool());
    EXPECT_EQ(set.GetFieldValue("Info1").AsText(), "12");
    // Jet stores true as -1, so other programs reading the file see what Jet would.
    EXPECT_EQ(Column("SELECT [DS] + 0 FROM [Disks]"), Strings{"-1"});
}

TEST_F(RecordSetTest, FieldDescriptions) {
    CRecordSet set(&catalogue.Database());
    ASSERT_TRUE(set.Open("SELECT ALL * FROM [Files]"));
    ASSERT_EQ(set.GetFieldCount(), 17);
    struct Expect {
        int index;
        const char* name;
        DbType type;
        int size;
    };
    for (const Expect& e : {Expect{0, "File name", DbType::Text, 10},
                            {1, "ID", DbType::Long, 4},
                            {2, "Type", DbType::Text, 6},
                            {3, "Size", DbType::Short, 2},
                            {6, "Protected", DbType::Boolean, 1},
                            {13, "CRC", DbType::Text, 8},
                            {16, "Info3", DbType::Memo, 0}}) {
        EXPECT_EQ(set.GetFieldInfo(e.index).name, e.name);
        EXPECT_EQ(set.GetFieldInfo(e.index).type, e.type) << e.name;
        EXPECT_EQ(set.GetFieldInfo(e.index).size, e.size) << e.name;
    }
}

TEST_F(RecordSetTest, LinksFollowTheirDiskAndFile) {
    int d1 = AddDisk("ONE", 1, false);
    int d2 = AddDisk("TWO", 1, false);
    int f = AddFile("SHARED", "PROG", 3);
    Link(d1, f);
    Link(d2, f);
    CDatabase& db = catalogue.Database();
    EXPECT_EQ(db.Execute("DELETE FROM [Disks] WHERE [ID] = " + std::to_string(d1)), 1);
    EXPECT_EQ(Column("SELECT [DiskID] FROM [DiskFileMM]"), Strings{std::to_string(d2)});
    EXPECT_EQ(Count("Files"), 1);
    EXPECT_EQ(db.Execute("DELETE FROM [Files]"), 1);
    EXPECT_EQ(Count("DiskFileMM"), 0);
    // A link can only name rows that exist.
    CRecordSet link(&db);
    ASSERT_TRUE(link.Open("SELECT ALL * FROM [DiskFileMM]"));
    link.AddNew();
    link.SetFieldValue("DiskID", CDbValue::Integer(d2));
    link.SetFieldValue("FileID", CDbValue::Integer(999));
    EXPECT_FALSE(link.Update());
    EXPECT_FALSE(link.ErrorText().empty());
}

TEST_F(RecordSetTest, ClosingTheDatabaseClosesItsSets) {
    CRecordSet set(&catalogue.Database());
    ASSERT_TRUE(set.Open("SELECT ALL * FROM [Info]"));
    catalogue.Close();
    EXPECT_FALSE(set.IsOpen());
    EXPECT_FALSE(catalogue.DiskSet().IsOpen());
    EXPECT_FALSE(set.Open("SELECT ALL * FROM [Info]"));
}

// Another program reads the file while it is open here, even in the middle of a write.
TEST_F(RecordSetTest, ASecondProgramCanReadWhileOpen) {
    AddDisk("A", 1, false);
    CDatabase& db = catalogue.Database();
    CTransaction writing(db);
    ASSERT_TRUE(writing.Started());
    AddDisk("B", 2, false);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &other, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_busy_timeout(other, 100);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(other, "SELECT count(*) FROM Disks", -1, &s, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(s, 0), 1);
    sqlite3_finalize(s);
    ASSERT_TRUE(writing.Commit());
    ASSERT_EQ(sqlite3_prepare_v2(other, "SELECT count(*) FROM Disks", -1, &s, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(s, 0), 2);
    sqlite3_finalize(s);
    sqlite3_close_v2(other);
}

}  // namespace
}  // namespace tavik::test
