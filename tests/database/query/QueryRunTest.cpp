#include "database/query/QueryRun.h"

#include <gtest/gtest.h>

#include "QueryCatalogue.h"
#include "database/ParamSet.h"

namespace tavik {
namespace {

using Names = std::vector<std::string>;

QueryFields Query(QueryKind kind, std::string where, int32_t combination = 0) {
    QueryFields q;
    q.kind = static_cast<int32_t>(kind);
    q.predicate = "SELECT ALL ";
    q.where = std::move(where);
    q.combination = combination;
    return q;
}

class QueryRunTest : public test::QueryCatalogue {
protected:
    RunOutcome Run(const std::vector<QueryFields>& chain) {
        return RunQuery(catalogue, chain, source, asker);
    }
    Names Listed(bool files = false) {
        return files ? RowNames(catalogue.FileSet(), "File name")
                     : RowNames(catalogue.DiskSet(), "Disk name");
    }
    CCatalogueParams source{catalogue};
    test::ScriptedAsker asker;
};

TEST_F(QueryRunTest, EveryCombinationReturnsTheRightRows) {
    const QueryFields doubleSided = Query(QueryKind::Disks, "[DS] = YES");
    const QueryFields programs = Query(QueryKind::Files, "[Type] = \"PROGRAM\"");
    QueryFields leftJoin = Query(QueryKind::Disks, "[this].[ID] <> [parent].[ID]", kLeftJoin);
    leftJoin.joinOn = "[this].[CRC-S] = [parent].[CRC-S]";
    QueryFields top = Query(QueryKind::Disks, "");
    top.predicate = "SELECT TOP 1 ";
    top.orderBy = "[Size] DESC";
    QueryFields distinctDisks = Query(QueryKind::Disks, "", kDisksWithFiles);
    distinctDisks.predicate = "SELECT DISTINCTROW ";

    struct Case {
        const char* what;
        std::vector<QueryFields> chain;
        bool files;
        Names expected;
    } cases[] = {
        {"standalone", {doubleSided}, false, {"ALPHA", "CHARLIE"}},
        {"intersect",
         {Query(QueryKind::Disks, "[Size] > 1000", kIntersect), doubleSided},
         false,
         {"CHARLIE"}},
        {"union",
         {Query(QueryKind::Disks, "[Size] < 400", kUnion), doubleSided},
         false,
         {"ALPHA", "BRAVO", "CHARLIE"}},
        {"union all",
         {Query(QueryKind::Disks, "[Size] = 720", kUnionAll), doubleSided},
         false,
         {"ALPHA", "ALPHA", "CHARLIE", "DELTA"}},
        {"left join on the sector checksum",
         {leftJoin, Query(QueryKind::Disks, "")},
         false,
         {"ALPHA", "DELTA"}},
        {"disks with files",
         {Query(QueryKind::Disks, "", kDisksWithFiles), programs},
         false,
         {"ALPHA", "BRAVO", "BRAVO"}},
        {"disks with files, own condition",
         {Query(QueryKind::Disks, "[Size] < 500", kDisksWithFiles), programs},
         false,
         {"BRAVO", "BRAVO"}},
        {"distinct disks with files", {distinctDisks, programs}, false, {"ALPHA", "BRAVO"}},
        {"files on disks",
         {Query(QueryKind::Files, "[Size] > 10", kFilesOnDisks), doubleSided},
         true,
         {"DATA", "LOADER"}},
        {"intersect over files on disks",
         {Query(QueryKind::Files, "[Type] = \"PROGRAM\"", kIntersect),
          Query(QueryKind::Files, "", kFilesOnDisks), doubleSided},
         true,
         {"LOADER"}},
        {"union all as a parent",
         {Query(QueryKind::Disks, "[DS] = NO", kIntersect),
          Query(QueryKind::Disks, "[Size] = 360", kUnionAll), doubleSided},
         false,
         {"BRAVO"}},
        {"top with order", {top}, false, {"CHARLIE"}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Run(c.chain), RunOutcome::Shown) << c.what << ": " << prompt.messages.back();
        EXPECT_EQ(Sorted(Listed(c.files)), Sorted(c.expected)) << c.what;
    }
    EXPECT_TRUE(asker.asked.empty());
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(QueryRunTest, ParametersComeFromParamsBuiltInNamesAndTheDialog) {
    ASSERT_TRUE(catalogue.Database().Execute(
                    "INSERT INTO [Params] ([Name], [Type], [Value]) VALUES (\"Min size\", 4, "
                    "\"700\")") == 1);
    ASSERT_EQ(Run({Query(QueryKind::Disks, "[Size] > [Min size]")}), RunOutcome::Shown);
    EXPECT_EQ(Sorted(Listed()), (Names{"ALPHA", "CHARLIE", "DELTA"}));

    source.SetCurrentDisk(alpha);
    ASSERT_EQ(Run({Query(QueryKind::Disks, "[CRC-S] = [CurDisk CRC-S] AND [ID] <> [CurDisk ID]")}),
              RunOutcome::Shown);
    EXPECT_EQ(Listed(), (Names{"DELTA"}));

    ASSERT_EQ(Run({Query(QueryKind::Files, "[Archived date] = [Today] OR [Info1] = [Path]")}),
              RunOutcome::Shown);
    EXPECT_TRUE(Listed(true).empty());
    EXPECT_TRUE(asker.asked.empty());

    // Unknown: asked; saved when asked to.
    asker.answers = {{"360", ParamChoice::Auto, true}};
    ASSERT_EQ(Run({Query(QueryKind::Disks, "[Size] = [Wanted size]")}), RunOutcome::Shown);
    EXPECT_EQ(Listed(), (Names{"BRAVO"}));
    EXPECT_EQ(asker.asked, (Names{"Wanted size"}));
    EXPECT_EQ(Column("SELECT ALL * FROM [Params] WHERE [Name] = \"Wanted size\"", 2), (Names{"4"}));
    // Now stored: no dialog.
    ASSERT_EQ(Run({Query(QueryKind::Disks, "[Size] = [Wanted size]")}), RunOutcome::Shown);
    EXPECT_EQ(asker.asked.size(), 1u);

    // Cancel abandons the run: the set keeps what it showed.
    ASSERT_EQ(Run({Query(QueryKind::Disks, "[Size] = [Never given]")}), RunOutcome::Cancelled);
    EXPECT_EQ(Listed(), (Names{"BRAVO"}));

    // An invalid stored type gives no value: the condition matches nothing.
    ASSERT_EQ(catalogue.Database().Execute(
                  "INSERT INTO [Params] ([Name], [Type], [Value]) VALUES (\"Odd\", 7, \"1\")"),
              1);
    ASSERT_EQ(Run({Query(QueryKind::Disks, "[Size] > [Odd]")}), RunOutcome::Shown);
    EXPECT_TRUE(Listed().empty());
    EXPECT_EQ(prompt.messages, (Names{"Invalid parameter type"}));
}

TEST_F(QueryRunTest, EngineErrorsShowTheDescriptionAndAnEmptyList) {
    ASSERT_EQ(Run({Query(QueryKind::Disks, "[Size] >")}), RunOutcome::Failed);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_FALSE(prompt.messages[0].empty());
    EXPECT_EQ(catalogue.DiskSet().Sql(), "SELECT ALL * FROM [Disks] WHERE [ID] = 0");
    EXPECT_TRUE(Listed().empty());
    ASSERT_EQ(Run({Query(QueryKind::Files, "", 9), Query(QueryKind::Disks, "")}),
              RunOutcome::Shown);  // an empty statement lists every file
    EXPECT_EQ(Listed(true).size(), 4u);
}

TEST_F(QueryRunTest, FreeSqlBulkUpdateAndProperties) {
    QueryFields listing;
    listing.kind = static_cast<int32_t>(QueryKind::Sql);
    listing.sql = "SELECT [Disk name], [Size] FROM [Disks] WHERE [Size] >= [Least] ORDER BY [Size]";
    asker.answers = {{"720", ParamChoice::Number}};
    ASSERT_EQ(RunFreeSql(catalogue, listing, source, asker), RunOutcome::Shown);
    EXPECT_EQ(RowNames(catalogue.ResultSet(), "Disk name"), (Names{"ALPHA", "DELTA", "CHARLIE"}));
    EXPECT_EQ(prompt.messages.back(), "Done");

    int changed = -1;
    ASSERT_EQ(BulkUpdate(catalogue, true, "[Info1] = \"x\"", "", source, asker, &changed),
              RunOutcome::Shown);
    EXPECT_EQ(changed, 4);
    EXPECT_EQ(prompt.messages.back(), "Done. Modified 4 records");
    EXPECT_EQ(Column("SELECT ALL * FROM [Files] WHERE [Info1] = \"x\"").size(), 4u);
    ASSERT_EQ(BulkUpdate(catalogue, false, "[Info2] = [Note], [Free] = 0", "[DS] = YES", source,
                         asker, &changed),
              RunOutcome::Cancelled);  // no answer for [Note]
    EXPECT_TRUE(Column("SELECT ALL * FROM [Disks] WHERE [Free] = 0").empty());
    ASSERT_EQ(BulkUpdate(catalogue, false, "[Size] = (1", "", source, asker), RunOutcome::Failed);

    for (const char* name : {"\"a\"", "\"b\"", "\"c\""})
        ASSERT_EQ(
            catalogue.Database().Execute(
                std::string("INSERT INTO [Params] ([Name], [Type]) VALUES (") + name + ", 10)"),
            1);
    QueryFields purge;
    purge.kind = static_cast<int32_t>(QueryKind::Sql);
    purge.sql = "DELETE FROM [Params]";
    purge.display = "None";
    ASSERT_EQ(RunFreeSql(catalogue, purge, source, asker, &changed), RunOutcome::Shown);
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(prompt.messages.back(), "Modified 3 records");

    const std::string report = DatabaseProperties(catalogue);
    EXPECT_EQ(report.rfind("Filename: " + path + "\r\nFirst created: ", 0), 0u) << report;
    EXPECT_NE(report.find("\r\nLast modified: "), std::string::npos);
    EXPECT_NE(report.find("\r\n\r\nDisk entries: 4\r\nFile entries: 4\r\nSaved queries: 0\r\n"
                          "Saved params: 0\r\n"),
              std::string::npos)
        << report;
}

}  // namespace
}  // namespace tavik
