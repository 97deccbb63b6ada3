// Display specifications, size lists and column codes, the builder row, cell texts, and the
// defaults kept in Info.
#include <gtest/gtest.h>

#include "CatalogueFixture.h"
#include "database/DisplaySpec.h"

namespace tavik::test {
namespace {

const std::vector<std::string>& Disk() {
    return ListCaptions(ListKind::DiskQuery);
}

std::vector<uint16_t> DiskSizes() {
    return ParseSizeList(
        "<100><0xC028><0xC032><0xC032><0xC032><17><17><17><120><120><120><120><120><120><70><70>"
        "<60><120><150><150><150>");
}

TEST(DisplaySpecTest, SizeLists) {
    EXPECT_EQ(ParseSizeList("<0xC032>"), ParseSizeList("<49202>"));
    std::vector<uint16_t> sizes = DiskSizes();
    ASSERT_EQ(sizes.size(), 21u);
    EXPECT_EQ(SizeWidth(sizes[1]), 40);
    EXPECT_EQ(SizeJustification(sizes[1]), JustifyRight);
    EXPECT_EQ(WriteSizeList({100, 0xC028}), "<100><49192>");
    EXPECT_EQ(ParseSizeList(WriteSizeList(sizes)), sizes);
    EXPECT_TRUE(ParseSizeList("no sizes").empty());
}

TEST(DisplaySpecTest, ColumnsFromSpecifications) {
    const std::vector<uint16_t> sizes = DiskSizes();
    const struct {
        const char* spec;
        std::vector<uint32_t> columns;
    } rows[] = {
        {"[#3]", {ColumnCode(3, 50, JustifyRight)}},  // numbers count from 0: Free
        {"[Size]<right>", {ColumnCode(2, 50, JustifyRight)}},
        {"[Disk name]<80 center>", {ColumnCode(0, 80, JustifyCenter)}},
        {"[Disk name]<80>", {ColumnCode(0, 80, JustifyDefault)}},
        {"[ disk NAME ]", {ColumnCode(0, 100, JustifyDefault)}},
        // A caption the list does not have is skipped; the following tokens still show.
        {"[Nope] [ID][CRC-S]", {ColumnCode(1, 40, JustifyRight), ColumnCode(14, 70, 0)}},
        {"[# x] [] [#99] [Info3]", {ColumnCode(20, 150, 0)}},
        // The format must follow within two characters of the "]".
        {"[DS]   <right> [DD]", {ColumnCode(5, 17, 0), ColumnCode(6, 17, 0)}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(BuildColumns(r.spec, Disk(), sizes, false), r.columns) << r.spec;
}

TEST(DisplaySpecTest, FreeSqlColumnsAreByNumber) {
    const std::vector<std::string> returned = {"Disk name", "n", "Total"};
    const std::vector<uint16_t> sizes = ParseSizeList("<60>");
    EXPECT_EQ(
        BuildColumns("", returned, sizes, true),
        (std::vector<uint32_t>{ColumnCode(0, 60, 0), ColumnCode(1, 60, 0), ColumnCode(2, 60, 0)}));
    // A number beyond the returned fields takes the token's position instead.
    EXPECT_EQ(BuildColumns("[#2] [#7]<30 left> [n]", returned, sizes, true),
              (std::vector<uint32_t>{ColumnCode(2, 0, 0), ColumnCode(1, 30, JustifyLeft),
                                     ColumnCode(1, 0, 0)}));
}

TEST(DisplaySpecTest, SpecificationsWrittenBackFromColumns) {
    const std::vector<uint32_t> columns = {
        ColumnCode(2, 50, JustifyRight), ColumnCode(0, 0, 0), ColumnCode(1, 40, JustifyDefault),
        ColumnCode(5, 0, JustifyCenter), ColumnCode(30, 10, JustifyLeft)};
    const std::string spec = WriteSpecification(columns, Disk(), false);
    EXPECT_EQ(spec, "[Size]<50 right> [Disk name] [ID]<40> [DS]<center> [#30]<10 left> ");
    EXPECT_EQ(WriteSpecification({ColumnCode(1, 0, 0)}, {"a", "b"}, true), "[#1] ");
    // Read back, every column comes out as it went in (the field beyond the captions is
    // dropped, as the list has no such field).
    std::vector<uint32_t> back = BuildColumns(spec, Disk(), {}, false);
    EXPECT_EQ(back, std::vector<uint32_t>(columns.begin(), columns.end() - 1));
}

TEST(DisplaySpecTest, SizesFromASpecification) {
    std::vector<uint16_t> sizes =
        SizesFromSpecification("[Size]<50 right> [ID]<30> [#4]<7 center>", Disk(), {1, 2});
    ASSERT_EQ(sizes.size(), 5u);
    EXPECT_EQ(sizes[0], 1);
    EXPECT_EQ(sizes[1], 30 + 0x4000);  // no justification word counts as left
    EXPECT_EQ(sizes[2], 50 + 3 * 0x4000);
    EXPECT_EQ(sizes[4], 7 + 2 * 0x4000);
}

TEST(DisplaySpecTest, BuilderRow) {
    EXPECT_EQ(BuilderFormat("100", JustifyRight), "<100 right>");
    EXPECT_EQ(BuilderFormat("100", JustifyDefault), "<100 >");
    EXPECT_EQ(BuilderFormat("wide", JustifyLeft), "<left>");
    EXPECT_EQ(BuilderFormat("", JustifyDefault), "");
    EXPECT_EQ(BuilderAddition("Size", "<right>", Disk()), " [Size]<right>");
    EXPECT_EQ(BuilderAddition("-- By field number --", "", Disk()), " [# x]");
    const std::string all = BuilderAddition("-- All disk fields --", "<50 >", Disk());
    EXPECT_EQ(all.substr(0, 26), " [Disk name]<50 > [ID]<50 ");
    EXPECT_EQ(BuildColumns(all, Disk(), {}, false).size(), 21u);
}

TEST(DisplaySpecTest, CellTexts) {
    const struct {
        CDbValue value;
        DbType type;
        const char* text;
    } rows[] = {
        {CDbValue::Bool(true), DbType::Boolean, "Yes"},
        {CDbValue::Integer(0), DbType::Boolean, "No"},
        {CDbValue::Integer(-12), DbType::Short, "-12"},
        {CDbValue::Integer(70000), DbType::Long, "70000"},
        {CDbValue::Text("GAMES"), DbType::Text, "GAMES"},
        {CDbValue::Text("notes"), DbType::Memo, "notes"},
        {CDbValue::Null(), DbType::Text, ""},
        {CDbValue::Double(1.5), DbType::Currency, "Unsupported type"},
        {CDbValue::Double(1.5), DbType::Date, "Unsupported type"},
        {CDbValue::Integer(3), DbType::Byte, "Unsupported type"},
        {CDbValue::Blob("xy"), DbType::LongBinary, "Unsupported type"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ValueToText(r.value, r.type), r.text) << r.text;
}

using DisplayDefaultsTest = CatalogueFixture;

TEST_F(DisplayDefaultsTest, SavedDefaultsAreReadWhenTheCatalogueOpens) {
    DisplayDefaults& d = catalogue.Display();
    EXPECT_EQ(d.diskFields,
              "[ID] [Disk name] [Size]<right> [CRC-S][CRC-F] [Info1][Info2] [Drive type][Drive]");
    EXPECT_EQ(d.sqlSizes, (std::vector<uint16_t>{60}));
    d.diskFields = "[Disk name]";
    d.sqlSizes = {0xC032, 80};
    catalogue.Database().Execute("DELETE FROM [Info] WHERE [Name] = \"Default file query sizes\"");
    ASSERT_TRUE(d.Save(catalogue.Database()));
    EXPECT_EQ(Count("Info"), 11);
    catalogue.Close();
    ASSERT_TRUE(catalogue.Open(path));
    EXPECT_EQ(catalogue.Display().diskFields, "[Disk name]");
    EXPECT_EQ(catalogue.Display().sqlSizes, (std::vector<uint16_t>{0xC032, 80}));
    EXPECT_EQ(Column("SELECT [Value] FROM [Info] WHERE [Name] = \"Default SQL query sizes\""),
              std::vector<std::string>{"<49202><80>"});
    EXPECT_EQ(catalogue.Display().fileSizes.size(), 17u);
}

// A free SQL result's columns get their engine types, so cells read as the rules say.
TEST_F(DisplayDefaultsTest, FreeSqlCellsByEngineType) {
    AddDisk("A", 360, true);
    CRecordSet& results = catalogue.ResultSet();
    ASSERT_TRUE(
        results.Open("SELECT [Disk name], [DS], [Size], Count(*) AS [n], 1.5 AS [x], "
                     "[Info3] FROM [Disks] GROUP BY [Disk name], [DS], [Size], [Info3]"));
    std::vector<std::string> cells;
    for (int i = 0; i < results.GetFieldCount(); ++i)
        cells.push_back(ValueToText(results.GetFieldValue(i), results.GetFieldInfo(i).type));
    EXPECT_EQ(cells, (std::vector<std::string>{"A", "Yes", "360", "1", "Unsupported type", ""}));
}

}  // namespace
}  // namespace tavik::test
