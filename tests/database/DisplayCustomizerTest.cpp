// The targets of the "Customized display" dialog: its entries per list, the texts "Get current"
// gives and what "Save" changes.
#include <gtest/gtest.h>

#include "database/DisplayCustomizer.h"

namespace tavik {
namespace {

TEST(DisplayCustomizerTest, EntriesAndFieldNamesFollowTheList) {
    const struct {
        ListKind list;
        std::vector<std::string> entries;
        const char* group;
        size_t fields;
    } rows[] = {
        {ListKind::DiskCatalog,
         {"Current view", "Default catalog fields", "Default column sizes"},
         "-- All catalog fields --",
         1 + 13},  // the twelve catalog fields and the FDR sector
        {ListKind::DiskQuery,
         {"Current query", "Default disk query fields", "Default column sizes"},
         "-- All disk fields --",
         1 + 21},
        {ListKind::FileQuery,
         {"Current query", "Default file query fields", "Default column sizes"},
         "-- All file fields --",
         1 + 17},
        {ListKind::QueryList, {"Query list", "Default column sizes"}, "-- All query fields --", 13},
        {ListKind::ParamList,
         {"Parameter list", "Default column sizes"},
         "-- All param fields --",
         6},
        {ListKind::FreeSql,
         {"Current query", "Default column size"},
         "-- All returned fields --",
         2 + 2},
    };
    for (const auto& r : rows) {
        DisplayTargets t;
        t.list = r.list;
        t.returnedFields = {"Disk name", "n"};
        CDisplayCustomizer c(t);
        EXPECT_EQ(c.Entries(), r.entries);
        const std::vector<std::string> names = c.FieldNames();
        ASSERT_EQ(names.size(), r.fields) << r.group;
        EXPECT_EQ(names[0], r.group);
    }
    DisplayTargets t;
    t.list = ListKind::FreeSql;
    t.returnedFields = {"Disk name", "n"};
    CDisplayCustomizer c(t);
    EXPECT_EQ(c.FieldNames()[1], "-- By field number --");
    EXPECT_EQ(c.Addition("-- All returned fields --", "", JustifyRight),
              " [Disk name]<right> [n]<right>");
    EXPECT_EQ(c.Addition("-- By field number --", "30", JustifyDefault), " [# x]<30 >");
}

TEST(DisplayCustomizerTest, GetCurrentAndSaveOnEachTarget) {
    std::string spec = "[Disk name]";
    std::vector<int32_t> columns = {static_cast<int32_t>(ColumnCode(4, 50, JustifyRight))};
    std::string fields = "[Disk name] [ID]";
    std::vector<uint16_t> sizes = {100, 0xC028};
    DisplayTargets t;
    t.list = ListKind::DiskQuery;
    t.currentSpec = &spec;
    t.currentColumns = &columns;
    t.defaultFields = &fields;
    t.defaultSizes = &sizes;
    CDisplayCustomizer c(t);

    // The shown list is written back from its columns; before they are built, its text.
    EXPECT_EQ(c.Current(0), "[Files]<50 right> ");
    EXPECT_EQ(c.Current(1), "[Disk name] [ID]");
    // Every field of the list, with the sizes the list has.
    const std::string sized = c.Current(2);
    EXPECT_EQ(sized.rfind("[Disk name]<100> [ID]<40 right> [Size] [Free] ", 0), 0u) << sized;
    EXPECT_FALSE(c.DefaultsChanged());

    ASSERT_TRUE(c.Save(0, "[Size]<right>"));
    EXPECT_EQ(spec, "[Size]<right>");
    EXPECT_TRUE(columns.empty());
    EXPECT_EQ(c.Current(0), "[Size]<right>");
    EXPECT_FALSE(c.DefaultsChanged());

    ASSERT_TRUE(c.Save(1, "[Free]"));
    EXPECT_EQ(fields, "[Free]");
    EXPECT_TRUE(c.DefaultsChanged());

    // Sizes take each token's width and justification (no word counts as left); others stay.
    ASSERT_TRUE(c.Save(2, "[Free]<70 center> [#4]<12> [Nope]<9 right>"));
    EXPECT_EQ(sizes, (std::vector<uint16_t>{100, 0xC028, 0, 70 + 0x8000, 12 + 0x4000}));
    EXPECT_FALSE(c.Save(3, "x"));
    EXPECT_EQ(c.Current(-1), "");
}

TEST(DisplayCustomizerTest, ListsWithoutACurrentTarget) {
    std::string fields = "[Name] [Value]";
    std::vector<uint16_t> sizes;
    DisplayTargets t;
    t.list = ListKind::ParamList;
    t.defaultFields = &fields;
    t.defaultSizes = &sizes;
    CDisplayCustomizer c(t);
    EXPECT_EQ(c.TargetOf(0), CDisplayCustomizer::Target::Fields);
    EXPECT_EQ(c.Current(0), "[Name] [Value]");
    EXPECT_EQ(c.Current(1), "[Name] [ID] [Type] [Value] [Comments] ");
    ASSERT_TRUE(c.Save(1, "[Value]<200 left>"));
    EXPECT_EQ(sizes, (std::vector<uint16_t>{0, 0, 0, 200 + 0x4000}));

    DisplayTargets sql;
    sql.list = ListKind::FreeSql;
    std::vector<uint16_t> sqlSizes = {60};
    sql.defaultSizes = &sqlSizes;
    CDisplayCustomizer free(sql);
    EXPECT_FALSE(free.Save(0, "[#0]"));  // no node shown
    EXPECT_EQ(free.Current(1), "[#0]<60> ");
    ASSERT_TRUE(free.Save(1, "[#0]<80 right> [#1]<40>"));
    EXPECT_EQ(sqlSizes, (std::vector<uint16_t>{80 + 0xC000, 40 + 0x4000}));
}

}  // namespace
}  // namespace tavik
