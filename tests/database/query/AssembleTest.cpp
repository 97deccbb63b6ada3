#include "database/query/Assemble.h"

#include <gtest/gtest.h>

#include <vector>

#include "database/query/QueryColumns.h"

namespace tavik {
namespace {

QueryFields Query(QueryKind kind, std::string where, int32_t combination = 0,
                  std::string orderBy = {}) {
    QueryFields q;
    q.kind = static_cast<int32_t>(kind);
    q.predicate = "SELECT ALL ";
    q.where = std::move(where);
    q.combination = combination;
    q.orderBy = std::move(orderBy);
    return q;
}

const QueryFields kDoubleSided = Query(QueryKind::Disks, "[DS] = YES");
const std::string kDoubleSidedIds = "SELECT ALL [ID] FROM [Disks] WHERE [DS] = YES";

struct AssembleCase {
    const char* what;
    std::vector<QueryFields> chain;
    std::string expected;
};

class AssembleRows : public testing::TestWithParam<AssembleCase> {};

TEST_P(AssembleRows, GivesTheExactStatement) {
    EXPECT_EQ(Assemble(GetParam().chain), GetParam().expected) << GetParam().what;
}

QueryFields LeftJoinChild() {
    QueryFields q = Query(QueryKind::Disks, "[this].[ID] <> [parent].[ID]", kLeftJoin);
    q.joinOn = "[this].[CRC-S] = [parent].[CRC-S]";
    return q;
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, AssembleRows,
    testing::Values(
        AssembleCase{
            "standalone, nothing else", {Query(QueryKind::Disks, "")}, "SELECT ALL * FROM [Disks]"},
        AssembleCase{"standalone file query with condition and order",
                     {Query(QueryKind::Files, "[Size] > 10", 0, "[File name]")},
                     "SELECT ALL * FROM [Files] WHERE [Size] > 10 ORDER BY [File name]"},
        AssembleCase{"combined under a free SQL node counts as standalone",
                     {Query(QueryKind::Disks, "[Free] = 0", kIntersect), Query(QueryKind::Sql, "")},
                     "SELECT ALL * FROM [Disks] WHERE [Free] = 0"},
        AssembleCase{"combined without a parent counts as standalone",
                     {Query(QueryKind::Disks, "", kUnion)},
                     "SELECT ALL * FROM [Disks]"},
        AssembleCase{"intersect, own condition empty",
                     {Query(QueryKind::Disks, "", kIntersect), kDoubleSided},
                     "SELECT ALL * FROM [Disks] WHERE  [ID] IN (" + kDoubleSidedIds + ")"},
        AssembleCase{
            "intersect with own condition",
            {Query(QueryKind::Disks, "[Size] > 100", kIntersect), kDoubleSided},
            "SELECT ALL * FROM [Disks] WHERE  [ID] IN (" + kDoubleSidedIds + ")AND ([Size] > 100)"},
        AssembleCase{
            "union",
            {Query(QueryKind::Disks, "[Size] > 100", kUnion), kDoubleSided},
            "SELECT ALL * FROM [Disks] WHERE  [ID] IN (" + kDoubleSidedIds + ")OR ([Size] > 100)"},
        AssembleCase{"union all with order",
                     {Query(QueryKind::Disks, "[Free] = 0", kUnionAll, "[Size]"), kDoubleSided},
                     "SELECT ALL * FROM [Disks] WHERE [DS] = YES UNION ALL (SELECT ALL * FROM "
                     "[Disks] WHERE [Free] = 0) ORDER BY [Size]"},
        AssembleCase{"left join",
                     {LeftJoinChild(), kDoubleSided},
                     "SELECT ALL   [this].* FROM [Disks] AS [this] LEFT JOIN [Disks] AS [parent] "
                     "ON [this].[CRC-S] = [parent].[CRC-S] WHERE  [parent].[ID] IN (" +
                         kDoubleSidedIds + ")AND ([this].[ID] <> [parent].[ID])"},
        AssembleCase{"files on disks",
                     {Query(QueryKind::Files, "[Size] > 10", kFilesOnDisks), kDoubleSided},
                     "SELECT ALL  t0.* FROM [Files] t0 INNER JOIN ([DiskFileMM] t1 INNER JOIN "
                     "[Disks] t2 ON t2.[ID] = t1.[DiskID]) ON t1.[FileID] = t0.[ID] WHERE ( "
                     "t0.[Size] > 10) AND ( t2.[ID] IN (SELECT ALL [ID] FROM [Disks] WHERE [DS] "
                     "= YES))"},
        AssembleCase{"disks with files, no own condition, order qualified",
                     {Query(QueryKind::Disks, "", kDisksWithFiles, "[Size] DESC"),
                      Query(QueryKind::Files, "[Type] = \"PROGRAM\"")},
                     "SELECT ALL  t0.* FROM [Disks] t0 INNER JOIN ([DiskFileMM] t1 INNER JOIN "
                     "[Files] t2 ON  t2.[ID] = t1.[FileID]) ON t1.[DiskID] = t0.[ID] WHERE ( "
                     "t2.[ID] IN (SELECT ALL [ID] FROM [Files] WHERE [Type] = \"PROGRAM\")) "
                     "ORDER BY  t0.[Size] DESC"},
        AssembleCase{"three levels: aliases follow the depth",
                     {Query(QueryKind::Files, "[Protected] = YES", kIntersect),
                      Query(QueryKind::Files, "[Size] > [Limit]", kFilesOnDisks), kDoubleSided},
                     "SELECT ALL * FROM [Files] WHERE  [ID] IN (SELECT ALL  t1.[ID] FROM [Files] "
                     "t1 INNER JOIN ([DiskFileMM] t2 INNER JOIN [Disks] t3 ON t3.[ID] = "
                     "t2.[DiskID]) ON t2.[FileID] = t1.[ID] WHERE ( t1.[Size] > [Limit]) AND ( "
                     "t3.[ID] IN (" +
                         kDoubleSidedIds + ")))AND ([Protected] = YES)"},
        AssembleCase{"a union all parent gives ids to its child",
                     {Query(QueryKind::Disks, "", kIntersect),
                      Query(QueryKind::Disks, "[Free] = 0", kUnionAll), kDoubleSided},
                     "SELECT ALL * FROM [Disks] WHERE  [ID] IN (" + kDoubleSidedIds +
                         " UNION ALL (SELECT ALL [ID] FROM [Disks] WHERE [Free] = 0))"},
        AssembleCase{
            "combination out of range", {Query(QueryKind::Disks, "", 7), kDoubleSided}, ""},
        AssembleCase{"empty chain", {}, ""}));

TEST(Assemble, TrimsTrailingBlanksAndEndsThePredicateWithOneSpace) {
    QueryFields q = Query(QueryKind::Files, "[Size] > 10 \r\n", 0, "[Size]  ");
    q.predicate = "SELECT TOP 5";
    EXPECT_EQ(Assemble(std::vector{q}),
              "SELECT TOP 5 * FROM [Files] WHERE [Size] > 10 ORDER BY [Size]");
    EXPECT_EQ(Assemble(std::vector{Query(QueryKind::Disks, "")}, 0, 0, true),
              "SELECT ALL [ID] FROM [Disks]");
}

TEST(QualifyColumns, QualifiesColumnsOnlyAndLeavesParametersAndTextAlone) {
    EXPECT_EQ(QualifyColumns("[Size] > [Min] AND [Disk name] LIKE \"[A-C]*\"", " t0"),
              " t0.[Size] > [Min] AND  t0.[Disk name] LIKE \"[A-C]*\"");
    EXPECT_EQ(QualifyColumns("WHERE [crc-s] = [CurDisk CRC-S]", "t3"),
              "WHERE t3.[crc-s] = [CurDisk CRC-S]");
    // An unclosed bracket or quote is copied as it is.
    EXPECT_EQ(QualifyColumns("[ID] = \"a\"\"b\" OR [Size", "t3"), "t3.[ID] = \"a\"\"b\" OR [Size");
    EXPECT_EQ(QualifyColumns("\"open [ID]", "t3"), "\"open [ID]");
}

}  // namespace
}  // namespace tavik
