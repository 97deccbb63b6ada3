// The rows of a record list read a page at a time: only the IDs when the list opens, a page of
// cells when one of its rows is first shown, sorting in SQL.
#include "database/RecordPages.h"

#include <gtest/gtest.h>

#include "CatalogueFixture.h"

namespace tavik::test {
namespace {

// 1000 files: names F0999 .. F0000 by ID, sizes repeating 0 .. 9, every third protected.
TEST_F(CatalogueFixture, RecordPagesReadOnlyThePagesShownAndSortInSql) {
    CDatabase& db = catalogue.Database();
    CTransaction adding(db);
    for (int i = 0; i < 1000; ++i) {
        const std::string n = std::to_string(999 - i);
        ASSERT_EQ(db.Execute("INSERT INTO [Files] ([File name], [Size], [Protected]) VALUES (\"F" +
                             std::string(4 - n.size(), '0') + n + "\", " + std::to_string(i % 10) +
                             ", " + (i % 3 ? "NO" : "YES") + ")"),
                  1);
    }
    ASSERT_TRUE(adding.Commit());
    CFileSet& set = catalogue.FileSet();
    ASSERT_TRUE(set.Open("SELECT ALL * FROM [Files] WHERE [Size] < 5"));
    CRecordPages pages;
    ASSERT_TRUE(pages.Open(
        set, {set.FieldIndex("File name"), set.FieldIndex("Size"), set.FieldIndex("Protected")}));
    EXPECT_EQ(pages.RowCount(), 500u);
    EXPECT_EQ(pages.PagesRead(), 0u);
    EXPECT_EQ(pages.Cell(0, 0), "F0999");
    EXPECT_EQ(pages.Cell(499, 0), "F0005");
    EXPECT_EQ(pages.Cell(1, 2), "No");
    EXPECT_EQ(pages.PagesRead(), 2u);  // the first and the last page
    const int64_t last = pages.RecordId(499);
    EXPECT_EQ(pages.RowOfId(last), 499);

    // By name: the last row comes first; by size descending, rows of one size in ID order.
    ASSERT_TRUE(pages.SortBy(0, false));
    EXPECT_EQ(pages.RowOfId(last), 0);
    EXPECT_EQ(pages.Cell(0, 0), "F0005");
    ASSERT_TRUE(pages.SortBy(1, true));
    EXPECT_EQ(pages.Cell(0, 1), "4");
    EXPECT_LT(pages.RecordId(0), pages.RecordId(1));
    ASSERT_TRUE(pages.SortBy(2, false));
    EXPECT_EQ(pages.Cell(0, 2), "No");
    EXPECT_EQ(pages.Cell(499, 2), "Yes");

    // A record changed or deleted since shows what it is now.
    const int64_t first = pages.RecordId(0);
    const std::string shown = pages.Cell(0, 1);
    ASSERT_EQ(db.Execute("UPDATE [Files] SET [Size] = 7 WHERE [ID] = " + std::to_string(first)), 1);
    EXPECT_EQ(pages.Cell(0, 1), shown);  // still the cached page
    pages.Forget(first);
    EXPECT_EQ(pages.Cell(0, 1), "7");
    ASSERT_EQ(db.Execute("DELETE FROM [Files] WHERE [ID] = " + std::to_string(pages.RecordId(1))),
              1);
    pages.Forget(pages.RecordId(1));
    EXPECT_EQ(pages.Cell(1, 0), "");

    // Rows of other statements were read whole by their set.
    CRecordSet counted(&db);
    ASSERT_TRUE(counted.Open("SELECT [Size], Count(*) AS [n] FROM [Files] GROUP BY [Size]"));
    ASSERT_TRUE(pages.Open(counted, {0, 1}));
    EXPECT_EQ(pages.RowCount(), 10u);
    ASSERT_TRUE(pages.SortBy(1, true));
    EXPECT_EQ(pages.Cell(0, 1), "101");  // the size changed to 7 above
    EXPECT_EQ(pages.RecordId(0), 0);
}

}  // namespace
}  // namespace tavik::test
