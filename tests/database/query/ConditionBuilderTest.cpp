#include "database/query/ConditionBuilder.h"

#include <gtest/gtest.h>

#include "database/query/QueryDesigner.h"

namespace tavik {
namespace {

TEST(QueryColumnKind, FollowsTheTableOrder) {
    struct Row {
        bool files;
        const char* column;
        ColumnKind kind;
    } rows[] = {
        {false, "Disk name", ColumnKind::Text},  {false, "ID", ColumnKind::Number},
        {false, "Files", ColumnKind::Number},    {false, "DS", ColumnKind::YesNo},
        {false, "Protected", ColumnKind::YesNo}, {false, "Creation date", ColumnKind::Text},
        {false, "Info3", ColumnKind::Text},      {true, "File name", ColumnKind::Text},
        {true, "ID", ColumnKind::Number},        {true, "Type", ColumnKind::Text},
        {true, "Size", ColumnKind::Number},      {true, "Last", ColumnKind::Number},
        {true, "Protected", ColumnKind::YesNo},  {true, "CRC", ColumnKind::Text},
        {true, "records", ColumnKind::Number},   {true, "Nonsense", ColumnKind::Text},
    };
    for (const Row& r : rows)
        EXPECT_EQ(QueryColumnKind(r.files, r.column), r.kind) << r.column;
    EXPECT_EQ(QueryColumns(false).size(), 21u);
    EXPECT_EQ(QueryColumns(true).size(), 17u);
}

TEST(ChooseOperator, FillsValueAndTip) {
    struct Row {
        ColumnKind kind;
        const char* op;
        std::optional<std::string> value;
        std::string tip;
    } rows[] = {
        {ColumnKind::Number, "IN", "( , )", "Syntax: IN(X,Y,Z,etc)"},
        {ColumnKind::Number, "NOT BETWEEN", " AND ", "Syntax: BETWEEN X AND Z"},
        {ColumnKind::Number, " >=", std::nullopt, "123 or [parameter]"},
        {ColumnKind::Number, "LIKE", std::nullopt,
         "Wildcards: ? any char, * string, # digit, [ADM-Z] valid chars, [!MJQ-Z] all but these"},
        {ColumnKind::Text, "NOT IN", "(\"x\" , \"y\")", "Syntax: IN(\"$1\",\"$2\",\"$3\",etc)"},
        {ColumnKind::Text, "BETWEEN", "\"x\" AND \"y\"", "syntax: BETWEEN \"$1\" AND \"$2\""},
        {ColumnKind::Text, "NOT LIKE", "\"x*\"",
         "Wildcards: ? any char, * string, # digit, [ADM-Z] valid chars, [!MJa-z] all but these"},
        {ColumnKind::Text, " <>", std::nullopt, "\"string\" or [parameter]"},
        {ColumnKind::YesNo, " = NO", "", "Valid values: True, False, Yes or No"},
    };
    for (const Row& r : rows) {
        const OperatorChoice c = ChooseOperator(r.kind, r.op);
        EXPECT_EQ(c.value, r.value) << r.op;
        EXPECT_EQ(c.tip, r.tip) << r.op;
        EXPECT_EQ(c.valueShown, r.kind != ColumnKind::YesNo) << r.op;
    }
    EXPECT_EQ(DefaultConditionValue(ColumnKind::Text), "\"x\"");
    EXPECT_EQ(DefaultConditionValue(ColumnKind::Number), "");
    EXPECT_EQ(ConditionOperators(ColumnKind::YesNo), (std::vector<std::string>{" = YES", " = NO"}));
    EXPECT_EQ(ConditionOperators(ColumnKind::Text).size(), 12u);
}

TEST(ConditionBuilder, JoinsConditionsOrderColumnsAndJoinColumns) {
    std::string where;
    AppendCondition(where, Conjunction::And, "Disk name", " =", "\"x\"");
    AppendCondition(where, Conjunction::Or, "Size", " >", "10");
    AppendCondition(where, Conjunction::And, "DS", " = YES", "");
    EXPECT_EQ(where, "[Disk name]  = \"x\"\r\n OR [Size]  > 10\r\n AND [DS]  = YES ");

    std::string leftJoin;
    AppendCondition(leftJoin, Conjunction::Or, "Size", " <", "3", true);
    EXPECT_EQ(leftJoin, "[this].[Size]  < 3");

    std::string orderBy;
    AppendOrderColumn(orderBy, "Size", false);
    AppendOrderColumn(orderBy, "Disk name", true);
    AppendOrderColumn(orderBy, "ID", false, true);
    EXPECT_EQ(orderBy, "[Size], [Disk name] DESC, [this].[ID]");

    std::string joinOn, joinWhere = "[Size]  > 1";
    AppendJoinColumn(joinOn, joinWhere, "CRC-S");
    AppendJoinColumn(joinOn, joinWhere, "Disk name");
    EXPECT_EQ(
        joinOn,
        "[this].[CRC-S] = [parent].[CRC-S]\r\n AND [this].[Disk name] = [parent].[Disk name]");
    EXPECT_EQ(joinWhere, "[Size]  > 1\r\n AND [this].[ID] <> [parent].[ID]");
    std::string emptyWhere, firstJoin;
    AppendJoinColumn(firstJoin, emptyWhere, "ID");
    EXPECT_EQ(emptyWhere, "[this].[ID] <> [parent].[ID]");
}

TEST(Designer, PredicatesCapTheTopPercentage) {
    EXPECT_EQ(PredicateText(SelectChoice::All, 7), "SELECT ALL ");
    EXPECT_EQ(PredicateText(SelectChoice::Top, 25), "SELECT TOP 25 ");
    EXPECT_EQ(PredicateText(SelectChoice::TopPercent, 150), "SELECT TOP 100 PERCENT ");
    EXPECT_EQ(PredicateText(SelectChoice::TopPercent, 100), "SELECT TOP 100 PERCENT ");
    EXPECT_EQ(PredicateText(SelectChoice::DistinctRow, 0), "SELECT DISTINCTROW ");
}

TEST(Designer, CombinationListsFollowTheParent) {
    const int32_t disks = static_cast<int32_t>(QueryKind::Disks);
    const int32_t files = static_cast<int32_t>(QueryKind::Files);
    EXPECT_TRUE(CombinationChoices(false, std::nullopt).empty());
    EXPECT_EQ(CombinationChoices(false, disks),
              (std::vector<std::string>{"Standalone", "INTERSECT with", "UNION with",
                                        "UNION ALL with", "LEFT JOIN with"}));
    EXPECT_EQ(CombinationChoices(false, files),
              (std::vector<std::string>{"Standalone", "Disks with files from"}));
    EXPECT_EQ(CombinationChoices(true, disks),
              (std::vector<std::string>{"Standalone", "Files on disks from"}));
    EXPECT_EQ(CombinationChoices(true, static_cast<int32_t>(QueryKind::Sql)),
              (std::vector<std::string>{"Standalone"}));
}

TEST(Designer, OkWritesKindCombinationAndStatement) {
    const int32_t disks = static_cast<int32_t>(QueryKind::Disks);
    const int32_t files = static_cast<int32_t>(QueryKind::Files);
    DesignerInput in;
    in.name = "Big files";
    in.files = true;
    in.where = "[Size]  > 10";
    in.orderBy = "[Size] DESC";
    in.joinOn = "[this].[ID] = [parent].[ID]";
    in.combination = 1;
    in.select = SelectChoice::Top;
    in.number = 3;
    in.display = "[File name] [Size]<right>";

    QueryFields node;
    node.columns = {1, 2, 3};
    ApplyDesigner(in, disks, node);
    EXPECT_EQ(node.kind, files);
    EXPECT_EQ(node.combination, kFilesOnDisks);
    EXPECT_EQ(node.sql, "SELECT TOP 3 * FROM [Files] WHERE [Size]  > 10 ORDER BY [Size] DESC");
    EXPECT_EQ(node.joinOn, in.joinOn);
    EXPECT_EQ(node.display, in.display);
    EXPECT_TRUE(node.columns.empty());

    in.files = false;
    ApplyDesigner(in, files, node);
    EXPECT_EQ(node.kind, disks);
    EXPECT_EQ(node.combination, kDisksWithFiles);

    in.combination = 3;
    ApplyDesigner(in, disks, node);
    EXPECT_EQ(node.combination, kUnionAll);

    // Without a parent: standalone, no join; a position the list did not offer is standalone.
    ApplyDesigner(in, std::nullopt, node);
    EXPECT_EQ(node.combination, kStandalone);
    EXPECT_TRUE(node.joinOn.empty());
    in.combination = 4;
    ApplyDesigner(in, files, node);
    EXPECT_EQ(node.combination, kStandalone);
    in.where.clear();
    in.orderBy.clear();
    in.select = SelectChoice::All;
    ApplyDesigner(in, std::nullopt, node);
    EXPECT_EQ(node.sql, "SELECT ALL * FROM [Disks]");
}

}  // namespace
}  // namespace tavik
