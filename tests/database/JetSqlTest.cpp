// The Jet dialect, run on a real catalogue: each statement is Jet SQL as the system generates it
// or a user types it, and the rows it returns are checked.
#include <gtest/gtest.h>

#include "CatalogueFixture.h"
#include "database/JetSql.h"
#include "disk/TiDateTime.h"

namespace tavik::test {
namespace {

class JetSqlTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        AddDisk("GAMES     ", 360, false, "AAAA0001");
        AddDisk("Utils", 720, true, "BBBB0002");
        AddDisk("games2", 1440, true);
        AddDisk("Say \"Hi\"", 360, false);
        AddDisk(
            "\xC9"
            "crans",
            100, false);  // "Écrans" in code page 1252
        int loader = AddFile("LOADER", "PROG", 20);
        int readme = AddFile("README", "DV80", 5);
        int big = AddFile("BIG", "DF128", 50);
        Link(1, loader);
        Link(2, loader);
        Link(2, readme);
        Link(3, big);
    }

    std::vector<std::string> Ids(const std::string& sql) {
        std::vector<std::string> ids;
        CRecordSet set(&catalogue.Database());
        if (!set.Open(sql)) {
            ADD_FAILURE() << sql << ": " << set.ErrorText();
            return ids;
        }
        for (; !set.IsEOF(); set.MoveNext())
            ids.push_back(set.GetFieldValue("ID").AsText());
        return ids;
    }
};

using Strings = std::vector<std::string>;

struct QueryRow {
    const char* sql;
    Strings ids;
};

TEST_F(JetSqlTest, QueriesReturnTheRowsJetWould) {
    const QueryRow rows[] = {
        // Text compares without regard to case, with = as well as LIKE.
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] = \"games     \"", {"1"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] LIKE \"gam*\" ORDER BY [ID]", {"1", "3"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] LIKE \"games#\"", {"3"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] LIKE \"?tils\"", {"2"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] LIKE \"[GU]*\" ORDER BY [ID]",
         {"1", "2", "3"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] LIKE \"[!G]*\" ORDER BY [ID]",
         {"2", "4", "5"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] LIKE \"[a-h]*2\"", {"3"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] NOT LIKE \"*a*\"", {"2"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] LIKE \"\xE9*\"", {"5"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] LIKE \"*[*]*\"", {}},
        // Both kinds of text literal, with doubled quotes inside.
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] = \"Say \"\"Hi\"\"\"", {"4"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] = 'Say \"Hi\"'", {"4"}},
        // Yes/no literals; Jet's true is -1.
        {"SELECT ALL * FROM [Disks] WHERE [DS] = YES", {"2", "3"}},
        {"SELECT ALL * FROM [Disks] WHERE [DS] = True", {"2", "3"}},
        {"SELECT ALL * FROM [Disks] WHERE [DS] = NO", {"1", "4", "5"}},
        {"SELECT ALL * FROM [Disks] WHERE [DS] = -1", {"2", "3"}},
        // Predicates.
        {"SELECT TOP 2 * FROM [Disks] ORDER BY [Size] DESC", {"3", "2"}},
        {"SELECT TOP 40 PERCENT * FROM [Disks] ORDER BY [ID]", {"1", "2"}},
        {"SELECT TOP 100 PERCENT * FROM [Disks] WHERE [Size] = 360", {"1", "4"}},
        {"SELECT DISTINCTROW * FROM [Disks] WHERE [Size] = 360", {"1", "4"}},
        {"SELECT ALL * FROM [Disks] WHERE [ID] IN (SELECT TOP 1 [ID] FROM [Disks] ORDER BY [Size])",
         {"5"}},
        // Names, qualified names, aliases, and a trailing semicolon.
        {"SELECT d.* FROM [Disks] AS d WHERE d.[ID] = 2;", {"2"}},
        {"SELECT [Disks].* FROM [Disks] WHERE [Disks].[Size] > 700 ORDER BY [Disks].[ID]",
         {"2", "3"}},
        {"SELECT * FROM Disks WHERE ID = 4", {"4"}},
        // Combined queries in the forms the query tree assembles.
        {"SELECT ALL * FROM [Disks] WHERE  [ID] IN (SELECT ALL [ID] FROM [Disks] WHERE [DS] = "
         "YES)AND ([Size] > 1000)",
         {"3"}},
        {"SELECT ALL * FROM [Disks] WHERE  [ID] IN (SELECT ALL [ID] FROM [Disks] WHERE [DS] = "
         "YES)OR ([Size] = 100)",
         {"2", "3", "5"}},
        {"SELECT ALL  [this].* FROM [Disks] AS [this] LEFT JOIN [Disks] AS [parent] ON "
         "[this].[Size] = [parent].[Size] WHERE  [parent].[ID] IN (SELECT ALL [ID] FROM [Disks] "
         "WHERE [ID] = 1)AND ([this].[ID] <> [parent].[ID])",
         {"4"}},
        {"SELECT ALL * FROM [Disks] WHERE [Size] = 360 ORDER BY [ID] DESC UNION ALL (SELECT ALL * "
         "FROM [Disks] WHERE [Size] = 720) ORDER BY [Size] DESC, [ID]",
         {"2", "1", "4"}},
        {"SELECT ALL  t0.* FROM [Files] t0 INNER JOIN ([DiskFileMM] t1 INNER JOIN [Disks] t2 ON "
         "t2.[ID] = t1.[DiskID]) ON t1.[FileID] = t0.[ID] WHERE ( t0.[Size] > 10) AND ( t2.[ID] "
         "IN (SELECT ALL [ID] FROM [Disks] WHERE [DS] = YES))",
         {"1", "3"}},
        {"SELECT DISTINCTROW  t0.* FROM [Disks] t0 INNER JOIN ([DiskFileMM] t1 INNER JOIN [Files] "
         "t2 ON t2.[ID] = t1.[FileID]) ON t1.[DiskID] = t0.[ID] WHERE ( t2.[ID] IN (SELECT ALL "
         "[ID] FROM [Files] WHERE [Type] = \"prog\")) ORDER BY t0.[ID]",
         {"1", "2"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Ids(row.sql), row.ids) << row.sql;
}

TEST_F(JetSqlTest, FunctionsAndConcatenation) {
    const std::pair<const char*, const char*> rows[] = {
        {"SELECT UCase(Left([Disk name], 3)) FROM [Disks] WHERE [ID] = 2", "UTI"},
        {"SELECT LCase(Right([Disk name], 2)) FROM [Disks] WHERE [ID] = 2", "ls"},
        {"SELECT Mid([Disk name], 2, 3) FROM [Disks] WHERE [ID] = 2", "til"},
        {"SELECT Mid([Disk name], 3) FROM [Disks] WHERE [ID] = 2", "ils"},
        {"SELECT Len([Disk name]) FROM [Disks] WHERE [ID] = 5", "6"},
        {"SELECT UCase([Disk name]) FROM [Disks] WHERE [ID] = 5",
         "\xC9"
         "CRANS"},
        {"SELECT Trim(\"  a b  \") & \"|\" FROM [Disks] WHERE [ID] = 1", "a b|"},
        {"SELECT [Disk name] & \"-\" & [Size] FROM [Disks] WHERE [ID] = 2", "Utils-720"},
        // A null joins as an empty text; "+" binds tighter than "&", "=" looser.
        {"SELECT [Info1] & \"x\" FROM [Disks] WHERE [ID] = 1", "x"},
        {"SELECT [Size] + 1 & \"|\" FROM [Disks] WHERE [ID] = 2", "721|"},
        {"SELECT IIf([Info1] & \"\" = \"\", \"empty\", \"set\") FROM [Disks] WHERE [ID] = 1",
         "empty"},
        {"SELECT UCase(Left([Disk name], 2) & Mid([Disk name], 3)) & \".\" FROM [Disks] WHERE [ID] "
         "= 2",
         "UTILS."},
        {"SELECT IIf([DS], \"two\", \"one\") FROM [Disks] WHERE [ID] = 1", "one"},
        {"SELECT IIf([DS], \"two\", \"one\") FROM [Disks] WHERE [ID] = 2", "two"},
        {"SELECT Nz([Info1], \"none\") FROM [Disks] WHERE [ID] = 1", "none"},
        {"SELECT Val(\"12abc\") + 1 FROM [Disks] WHERE [ID] = 1", "13"},
        {"SELECT Val(\" 1 2.5\") FROM [Disks] WHERE [ID] = 1", "12.5"},
        {"SELECT InStr([Disk name], \"MES\") FROM [Disks] WHERE [ID] = 3", "3"},
        {"SELECT Count(*) FROM [Disks] WHERE [Size] = 360", "2"},
        {"SELECT 7 MOD 3 FROM [Disks] WHERE [ID] = 1", "1"},
        {"SELECT &H1F FROM [Disks] WHERE [ID] = 1", "31"},
    };
    for (const auto& [sql, expected] : rows) {
        EXPECT_EQ(Column(sql), Strings{expected}) << sql;
    }
}

TEST_F(JetSqlTest, MalformedOrUnsupportedStatementsGiveTheEngineText) {
    const char* const rows[] = {
        "SELEC * FROM [Disks]",
        "SELECT * FROM [Disks] WHERE [Disk name] = \"open",
        "SELECT * FROM [Disks] WHERE [Disk name] = [open",
        "SELECT * FROM [Nowhere]",
        "SELECT * FROM [Disks] WHERE Foo([Size]) = 1",
        "SELECT * FROM [Disks] WHERE ([Size] = 1",
        "SELECT * FROM [Disks] WHERE [Size] = 1)",
        "SELECT * FROM [Disks] WHERE [Size] = 1 EQV [Size] = 2",
        "SELECT 7 \\ 0 FROM [Disks]",
        "SELECT * FROM [Disks]; DELETE FROM [Disks]",
        "SELECT TOP x * FROM [Disks]",
        "TRANSFORM Count(*) SELECT [Size] FROM [Disks] GROUP BY [Size] PIVOT [DS]",
        "",
        "SELECT * FROM [Disks] WHERE [Size] = 1 XOR [Size] = 2",
        "SELECT * FROM [Disks] WHERE [Size] = #2020/01/",
    };
    for (const char* sql : rows) {
        CRecordSet set(&catalogue.Database());
        EXPECT_FALSE(set.Open(sql)) << sql;
        EXPECT_FALSE(set.ErrorText().empty()) << sql;
        EXPECT_FALSE(set.IsOpen());
    }
    EXPECT_EQ(Count("Disks"), 5);
}

// The functions and operators people type in free SQL and in query conditions, with Jet's
// handling of nulls, and dates shown as Jet shows them (the stored date texts read as dates).
TEST_F(JetSqlTest, JetFunctionsOfNumbersTextsAndDates) {
    const LocalTime now{2026, 12, 8, 14, 3, 0};
    SetClockForTesting(&now);
    ASSERT_EQ(catalogue.Database().Execute(
                  "UPDATE [Disks] SET [Creation date] = \"2012/05/17\", [Creation time] = "
                  "\"14:03:00\" WHERE [ID] = 1"),
              1);
    const std::pair<const char*, const char*> rows[] = {
        {"Date()", "12/8/2026"},
        {"Now()", "12/8/2026 2:03:00 PM"},
        {"Time()", "2:03:00 PM"},
        {"Date() - 30", "11/8/2026"},
        {"Date() + 1 - Date()", "1"},
        {"Year([Creation date]) & Month([Creation date]) & Day([Creation date])", "2012517"},
        {"Year(Date()) * 100 + Month(Now())", "202612"},
        {"Hour([Creation time]) & \":\" & Minute(Time())", "14:3"},
        {"Format([Creation date], \"mmmm d, yyyy\")", "May 17, 2012"},
        {"Format(Date() - 7, \"yyyy/mm/dd\")", "2026/12/01"},
        {"Format(Now(), \"ddd hh:nn AM/PM\")", "Tue 02:03 PM"},
        {"Format([Creation date], \"Long Date\")", "Thursday, May 17, 2012"},
        {"Format(1234.5, \"#,##0.00\")", "1,234.50"},
        {"Format(0.256, \"Percent\")", "25.60%"},
        {"Format(-3, \"0;(0)\")", "(3)"},
        {"Format([Disk name], \">\")", "GAMES     "},
        {"Format([Size])", "360"},
        {"Chr(65) & Asc(\"a\") & Asc(\"\xC9\")", "A97201"},
        {"CStr([Size]) & CStr(2.5)", "3602.5"},
        {"CInt(2.5) & CInt(3.5) & CInt(\"-7.6\")", "24-8"},
        {"CLng(\"70000\") + 1", "70001"},
        {"Replace(\"a.b.c\", \".\", \"--\")", "a--b--c"},
        {"Replace(\"Say Hi\", \"h\", \"H\", 1, 1)", "Say Hi"},
        {"Replace(\"aAa\", \"a\", \"x\", 2)", "xx"},
        {"7 \\ 2 & \"|\" & 7.5 \\ 2 & \"|\" & -7 \\ 2", "3|4|-3"},
        {"2 ^ 3 + 1", "9"},
        {"\"ab\" + \"cd\"", "abcd"},
        {"\"5\" + 1", "6"},
        {"Nz(Year([Info1]), -1) & Nz(Format([Info1], \"x\"), \"null\")", "-1null"},
        {"DateSerial(2020, 14, 0) & \"|\" & DateSerial(99, 1, 1)", "1/31/2021|1/1/1999"},
        {"DateAdd(\"m\", 1, \"2020/01/31\")", "2/29/2020"},
        {"DateAdd(\"yyyy\", -1, [Creation date]) & \"|\" & DateAdd(\"d\", 30, [Creation date])",
         "5/17/2011|6/16/2012"},
        {"DateAdd(\"h\", 3, Now())", "12/8/2026 5:03:00 PM"},
        {"DateDiff(\"d\", [Creation date], Date()) & \"|\" & DateDiff(\"m\", \"2012/05/31\", "
         "\"2012/06/01\")",
         "5318|1"},
        {"DateDiff(\"ww\", \"2026/12/05\", \"2026/12/06\") & DateDiff(\"w\", \"2026/12/05\", "
         "\"2026/12/06\") & DateDiff(\"yyyy\", \"2012/12/31\", \"2013/01/01\")",
         "101"},
        {"DatePart(\"q\", [Creation date]) & DatePart(\"y\", [Creation date]) & "
         "DatePart(\"ww\", \"2026/01/04\")",
         "21382"},
        {"IsNull([Info1]) & IsNull([Size]) & Nz(DateAdd(\"d\", 1, [Info1]), \"null\")", "-10null"},
    };
    for (const auto& [expression, expected] : rows) {
        const std::string sql =
            std::string("SELECT ") + expression + " FROM [Disks] WHERE [ID] = 1";
        EXPECT_EQ(Column(sql), Strings{expected}) << sql;
    }
    // An arithmetic null stays null.
    EXPECT_EQ(Column("SELECT [ID] FROM [Disks] WHERE [Info1] + 1 IS NULL AND [ID] = 1"),
              Strings{"1"});
    // Conversions refuse a null; what is not supported says its name.
    const std::pair<const char*, const char*> refused[] = {
        {"SELECT CStr([Info1]) FROM [Disks]", "Invalid use of Null."},
        {"SELECT Chr([Info2]) FROM [Disks]", "Invalid use of Null."},
        {"SELECT Year(\"soon\") FROM [Disks]", "Data type mismatch in criteria expression."},
        {"SELECT DLookup(\"[ID]\", \"Disks\") FROM [Disks]",
         "Undefined function 'DLookup' in expression."},
        {"SELECT DateAdd(\"x\", 1, Date()) FROM [Disks]", "Invalid procedure call."},
        {"SELECT * FROM [Disks] WHERE [DS] XOR [DD]", "The operator XOR is not supported."},
    };
    for (const auto& [sql, error] : refused) {
        CRecordSet set(&catalogue.Database());
        EXPECT_FALSE(set.Open(sql)) << sql;
        EXPECT_EQ(set.ErrorText(), error) << sql;
    }
    SetClockForTesting(nullptr);
}

// DISTINCTROW keeps rows (over one table every row; over a join one row per selected record),
// TOP n keeps the rows that tie with the n-th, and a table read without ORDER BY comes in ID
// order whatever index the engine reads.
TEST_F(JetSqlTest, PredicatesAndTheOrderOfRows) {
    Link(2, 3);
    EXPECT_EQ(Column("SELECT DISTINCTROW [Size] FROM [Disks]").size(), 5u);
    EXPECT_EQ(Column("SELECT DISTINCT [Size] FROM [Disks]").size(), 4u);
    const QueryRow rows[] = {
        {"SELECT DISTINCTROW t0.* FROM [Disks] t0 INNER JOIN [DiskFileMM] t1 ON t1.[DiskID] = "
         "t0.[ID]",
         {"1", "2", "3"}},
        {"SELECT ALL t0.* FROM [Disks] t0 INNER JOIN [DiskFileMM] t1 ON t1.[DiskID] = t0.[ID]",
         {"1", "2", "2", "2", "3"}},
        {"SELECT TOP 2 * FROM [Disks] ORDER BY [Size], [Disk name] DESC", {"5", "4"}},
        {"SELECT ALL * FROM [Disks] WHERE [Disk name] > \"A\"", {"1", "2", "3", "4", "5"}},
        {"SELECT [ID] FROM [Disks] WHERE [CRC-S] >= \"\"", {"1", "2", "3", "4", "5"}},
        {"SELECT [Files].[ID] FROM [Files] WHERE [Type] > \"A\"", {"1", "2", "3"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Ids(row.sql), row.ids) << row.sql;
    for (const char* sql : {"SELECT TOP 2 * FROM [Disks] ORDER BY [Size]",
                            "SELECT TOP 40 PERCENT [ID] FROM [Disks] ORDER BY [DS] DESC, [Size]"}) {
        Strings tied = Ids(sql);
        std::sort(tied.begin(), tied.end());
        EXPECT_EQ(tied, (Strings{"1", "4", "5"})) << sql;
    }
}

TEST_F(JetSqlTest, BracketedNamesThatAreNoColumnBecomeParameters) {
    CDatabase& db = catalogue.Database();
    CQueryDef def;
    ASSERT_TRUE(db.CreateQueryDef(
        "SELECT * FROM [Disks] WHERE [Size] > [Min size] AND [Disk name] LIKE [Pattern] AND "
        "[Size] < [MIN SIZE] + 1000 AND [CRC] IS NULL ORDER BY [ID]",
        def));
    // [CRC] is a column of Files, not of the statement's table: a parameter too.
    EXPECT_EQ(def.Parameters(), (Strings{"Min size", "Pattern", "CRC"}));
    def.SetParameter(0, CDbValue::Integer(300));
    def.SetParameter(1, CDbValue::Text("*s*"));
    def.SetParameter(2, CDbValue::Null());
    CRecordSet set(&db);
    ASSERT_TRUE(set.Open(def)) << set.ErrorText();
    Strings names;
    for (; !set.IsEOF(); set.MoveNext())
        names.push_back(set.GetFieldValue("ID").AsText());
    EXPECT_EQ(names, (Strings{"1", "2", "4"}));

    CRecordSet unbound(&db);
    EXPECT_FALSE(unbound.Open("SELECT * FROM [Disks] WHERE [ID] = [CurDisk ID]"));
    EXPECT_EQ(unbound.ErrorText(), "Too few parameters. Expected 1.");

    // A yes/no parameter binds as Jet's true.
    ASSERT_TRUE(db.CreateQueryDef("SELECT * FROM [Disks] WHERE [DS] = [Double]", def));
    def.SetParameter(0, CDbValue::Bool(true));
    ASSERT_TRUE(set.Open(def));
    EXPECT_EQ(set.GetRecordCount(), 2);
}

TEST_F(JetSqlTest, CommandsReportTheRowsTheyChanged) {
    CDatabase& db = catalogue.Database();
    EXPECT_EQ(db.Execute("UPDATE [Files] SET [Info1] = \"x\""), 3);
    EXPECT_EQ(Column("SELECT [Info1] FROM [Files] WHERE [ID] = 2"), Strings{"x"});
    EXPECT_EQ(db.Execute("UPDATE [Disks] SET [Info1] = \"big\", [Info2] = [Disk name] & \"!\" "
                         "WHERE [Size] >= 720"),
              2);
    EXPECT_EQ(Column("SELECT [Info2] FROM [Disks] WHERE [ID] = 3"), Strings{"games2!"});
    EXPECT_EQ(db.Execute("INSERT INTO [Params] ([Name], [Type], [Value]) VALUES (\"P\", 10, "
                         "\"v\")"),
              1);
    EXPECT_EQ(db.Execute("DELETE * FROM [Params]"), 1);
    EXPECT_EQ(db.Execute("DELETE FROM [Params]"), 0);
    EXPECT_EQ(db.Execute("SELECT * FROM [Disks]"), -1);
    EXPECT_EQ(db.Execute("UPDATE [Disks] SET [Nope] = 1"), -1);
    EXPECT_FALSE(db.ErrorText().empty());
}

// Rows of one table read through a join can be changed; any other result is read-only.
TEST_F(JetSqlTest, OnlySetsOverOneTableCanBeChanged) {
    CRecordSet files(&catalogue.Database());
    ASSERT_TRUE(
        files.Open("SELECT t1.* FROM [Files] t1 INNER JOIN [DiskFileMM] t2 ON "
                   "t2.[FileID] = t1.[ID] WHERE t2.[DiskID]=2"));
    EXPECT_TRUE(files.CanUpdate());
    EXPECT_EQ(files.Table(), "Files");
    EXPECT_EQ(files.GetFieldCount(), 17);
    EXPECT_EQ(files.GetRecordCount(), 2);
    const std::string id = files.GetFieldValue("ID").AsText();
    ASSERT_TRUE(files.Edit());
    files.SetFieldValue("Info1", CDbValue::Text("seen"));
    ASSERT_TRUE(files.Update());
    EXPECT_EQ(Column("SELECT [Info1] FROM [Files] WHERE [ID] = " + id), Strings{"seen"});

    CRecordSet counted(&catalogue.Database());
    ASSERT_TRUE(counted.Open("SELECT [Size], Count(*) AS [n] FROM [Disks] GROUP BY [Size]"));
    EXPECT_FALSE(counted.CanUpdate());
    EXPECT_FALSE(counted.AddNew());
    EXPECT_FALSE(counted.ErrorText().empty());
}

}  // namespace
}  // namespace tavik::test
