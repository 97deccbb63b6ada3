#include "database/query/QueryRules.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

constexpr int32_t D = static_cast<int32_t>(QueryKind::Disks);
constexpr int32_t F = static_cast<int32_t>(QueryKind::Files);
constexpr int32_t S = static_cast<int32_t>(QueryKind::Sql);

TEST(QueryRules, ColumnCodesRoundTripAndStopAtDamage) {
    const std::vector<int32_t> codes = {0x00640000, static_cast<int32_t>(0xC0280002), 3};
    const std::string text = WriteColumnCodes(codes);
    EXPECT_EQ(text, "00640000,C0280002,00000003,");
    EXPECT_EQ(ReadColumnCodes(text), codes);
    EXPECT_EQ(ReadColumnCodes("1a,zz,3,"), (std::vector<int32_t>{0x1a}));
    EXPECT_EQ(ReadColumnCodes("1a,2b"), (std::vector<int32_t>{0x1a}));
    EXPECT_TRUE(ReadColumnCodes("").empty());
    EXPECT_TRUE(WriteColumnCodes({}).empty());
}

TEST(QueryRules, ParentSuitability) {
    struct Row {
        int32_t kind, combination, candidateKind, candidateCombination;
        bool suitable;
    } rows[] = {
        {D, 1, D, 0, true},  {D, 4, D, 3, true},  {D, 2, F, 0, false}, {D, 1, S, 0, false},
        {D, 5, F, 0, true},  {D, 5, D, 0, false}, {F, 6, D, 2, false}, {F, 6, D, 5, true},
        {F, 1, F, 6, false}, {F, 3, F, 1, true},
    };
    for (const Row& r : rows)
        EXPECT_EQ(SuitableParent(r.kind, r.combination, r.candidateKind, r.candidateCombination),
                  r.suitable)
            << r.kind << " " << r.combination << " under " << r.candidateKind << " "
            << r.candidateCombination;
}

TEST(QueryRules, KindsTypesAndBulkUpdate) {
    EXPECT_EQ(FromText(S), "SQL");
    EXPECT_EQ(KindFromText("Files"), F);
    EXPECT_EQ(KindFromText("files"), std::nullopt);
    EXPECT_EQ(TypeFromText("number"), 4);
    EXPECT_EQ(TypeFromText("booltext"), 10);  // TEXT is looked for first
    EXPECT_EQ(TypeFromText("Boolean"), 1);
    EXPECT_EQ(TypeFromText("date"), std::nullopt);
    EXPECT_EQ(TypeText(2), "NUM");
    EXPECT_EQ(TypeText(7), "7");

    std::string set;
    AppendSetColumn(set, "Info1", "\"x\"");
    EXPECT_EQ(BulkUpdateStatement(true, set, ""), "UPDATE [Files] SET [Info1] = \"x\"");
    AppendSetColumn(set, "Info2", "[Today]");
    EXPECT_EQ(BulkUpdateStatement(false, set, "[Size]  > 10"),
              "UPDATE [Disks] SET [Info1] = \"x\", [Info2] = [Today] WHERE [Size]  > 10");
}

}  // namespace
}  // namespace tavik
