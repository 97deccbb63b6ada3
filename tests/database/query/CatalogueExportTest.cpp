#include "database/query/CatalogueExport.h"

#include <gtest/gtest.h>

#include "QueryCatalogue.h"
#include "base/PcFile.h"
#include "database/query/QueryStore.h"

namespace tavik {
namespace {

using Names = std::vector<std::string>;

const Separators kTabCrLfFf{"\t", "\r\n", "\f"};

// Every disk with the names of its files, as "DISK: FILE".
const std::string kLinks =
    "SELECT ALL [Disks].[Disk name] & \": \" & [Files].[File name] FROM [Disks] INNER JOIN "
    "([DiskFileMM] INNER JOIN [Files] ON [Files].[ID] = [DiskFileMM].[FileID]) ON "
    "[DiskFileMM].[DiskID] = [Disks].[ID] ORDER BY [Disks].[Disk name], [Files].[File name]";

ExportOptions Everything() {
    ExportOptions o;
    o.queries = o.params = o.info = o.links = true;
    o.separators = kTabCrLfFf;
    return o;
}

class CatalogueExportTest : public test::QueryCatalogue {
protected:
    std::string ExportText(const ExportOptions& options) {
        const std::string out = test::TempFolder() + "/export.txt";
        EXPECT_TRUE(ExportCatalogue(catalogue, out, options))
            << (prompt.messages.empty() ? "" : prompt.messages.back());
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadWholeFile(out, bytes));
        return std::string(bytes.begin(), bytes.end());
    }
    std::vector<long> Counts() {
        return {Count("Disks"),   Count("Files"),  Count("DiskFileMM"),
                Count("Queries"), Count("Params"), Count("Info")};
    }
};

// A second catalogue beside the first.
class Fresh : public test::CatalogueFixture {
public:
    void TestBody() override {}
    void Make() { SetUp(); }
    using CatalogueFixture::catalogue;
    using CatalogueFixture::Column;
    using CatalogueFixture::Count;
    using CatalogueFixture::prompt;
};

TEST_F(CatalogueExportTest, BlocksCaptionsAndValues) {
    ASSERT_TRUE(NewParameter(catalogue, "X", 10, "a"));
    ExportOptions o;
    o.disks = ExportRows::None;
    o.files = ExportRows::None;
    o.params = true;
    o.separators = kTabCrLfFf;
    std::string id = Column("SELECT ALL [ID] FROM [Params]")[0];
    EXPECT_EQ(ExportText(o),
              "Params\r\nName\tID\tType\tValue\tComments\t\r\nX\t" + id + "\t10\ta\t\t\r\n\f");

    o.params = false;
    o.queries = true;  // an empty table: name, header, separator
    EXPECT_EQ(ExportText(o),
              "Queries\r\nQuery name\tID\tFrom\tWhere\tOrder by\tPredicate\tSQL\tJoin on\t"
              "Combination\tParent query\tColumns\tComments\t\r\n\f");

    const std::string all = ExportText(Everything());
    EXPECT_EQ(all.rfind("Disks\r\nDisk name\tID\tSize\t", 0), 0u);
    EXPECT_NE(all.find("\r\nALPHA\t" + std::to_string(alpha) + "\t720\t\t\tYes\t"),
              std::string::npos);
    EXPECT_NE(all.find("\fFiles\r\nFile name\tID\tType\tSize\tRecords\tLast byte\t"),
              std::string::npos);
    EXPECT_NE(all.find("\fInfo\r\nID\tName\tValue\t\r\n"), std::string::npos);
    EXPECT_NE(all.find("Version\tTAVIK database version 1.0\t"), std::string::npos);

    EXPECT_FALSE(ExportCatalogue(catalogue, "/nonexistent-folder/x.txt", o));
    EXPECT_EQ(prompt.messages.back(), "Could not open file /nonexistent-folder/x.txt");
}

TEST_F(CatalogueExportTest, FilesFromTheDisksShown) {
    ExportOptions o;
    o.disks = ExportRows::CurrentSet;
    o.files = ExportRows::FromAboveDisks;
    o.separators = kTabCrLfFf;
    ASSERT_TRUE(catalogue.DiskSet().Open("SELECT ALL * FROM [Disks] WHERE [Size] = 1440"));
    EXPECT_EQ(FilesOfDisksStatement(catalogue),
              "SELECT t1.* FROM [Files] t1 INNER JOIN ([DiskFileMM] t2 INNER JOIN [Disks] t3 ON "
              "t3.[ID]=t2.[DiskID]) ON t2.[FileID]=t1.[ID] WHERE t3.[Size] = 1440");
    std::string text = ExportText(o);
    EXPECT_NE(text.find("\r\nDATA\t"), std::string::npos);
    EXPECT_EQ(text.find("\r\nLOADER\t"), std::string::npos);

    // A combined statement: the files of the disks it shows.
    ASSERT_TRUE(catalogue.DiskSet().Open(
        "SELECT ALL * FROM [Disks] WHERE  [ID] IN (SELECT ALL [ID] FROM [Disks] WHERE [DS] = "
        "YES)AND ([Size] < 1000)"));
    text = ExportText(o);
    EXPECT_NE(text.find("\r\nREADME\t"), std::string::npos);
    EXPECT_NE(text.find("\r\nLOADER\t"), std::string::npos);
    EXPECT_EQ(text.find("\r\nDATA\t"), std::string::npos);
    EXPECT_EQ(text.find("\r\nGAME\t"), std::string::npos);
}

TEST_F(CatalogueExportTest, ExportThenMergeIntoAFreshCatalogueReproducesRowsAndLinks) {
    QueryFields q;
    q.kind = static_cast<int32_t>(QueryKind::Disks);
    q.name = "Doubles";
    q.where = "[DS] = YES";
    ASSERT_EQ(SaveQuery(catalogue, q, "", true), SaveOutcome::Saved);
    ASSERT_TRUE(NewParameter(catalogue, "Limit", 4, "12"));
    const std::string out = test::TempFolder() + "/all.txt";
    ASSERT_TRUE(ExportCatalogue(catalogue, out, Everything()));

    Fresh other;
    other.Make();
    MergeOptions m;
    m.separators = kTabCrLfFf;
    MergeReport report;
    ASSERT_TRUE(MergeCatalogue(other.catalogue, out, m, &report))
        << (other.prompt.messages.empty() ? "" : other.prompt.messages.back());
    EXPECT_TRUE(report.completed);
    EXPECT_EQ(report.disksAdded, 4);
    EXPECT_EQ(report.filesAdded, 4);
    EXPECT_EQ(report.linksAdded, 5);
    EXPECT_EQ(other.Column(kLinks), Column(kLinks));
    EXPECT_EQ(Column(kLinks).size(), 5u);
    EXPECT_EQ(other.Column("SELECT ALL * FROM [Disks] ORDER BY [Disk name]"),
              Column("SELECT ALL * FROM [Disks] ORDER BY [Disk name]"));
    EXPECT_EQ(other.Column("SELECT ALL [Where] FROM [Queries]"), (Names{"[DS] = YES"}));
    EXPECT_EQ(other.Column("SELECT ALL [Value] FROM [Params]"), (Names{"12"}));
    EXPECT_EQ(other.Count("Info"), Count("Info"));  // matched by name and overwritten

    // The catalogue's own export merged into itself changes no count.
    const std::vector<long> before = Counts();
    ASSERT_TRUE(MergeCatalogue(catalogue, out, m, &report));
    EXPECT_EQ(Counts(), before);
    EXPECT_EQ(report.disksUpdated, 4);
    EXPECT_EQ(report.linksAdded, 0);
    EXPECT_EQ(report.filesRemoved, 0);

    // Create new entry: new disks and files with their own links.
    m.disks = DiskMerge::CreateNew;
    m.files = FileMerge::CreateNew;
    m.queries = m.params = m.info = TableMerge::Skip;
    ASSERT_TRUE(MergeCatalogue(catalogue, out, m, &report));
    EXPECT_EQ(Counts(), (std::vector<long>{8, 8, 10, before[3], before[4], before[5]}));
}

TEST_F(CatalogueExportTest, LinksToSkippedRowsEndTheMergeAndUnlinkedNewFilesGo) {
    const std::string out = test::TempFolder() + "/all.txt";
    ASSERT_TRUE(ExportCatalogue(catalogue, out, Everything()));
    MergeOptions m;
    m.separators = kTabCrLfFf;
    m.disks = DiskMerge::Skip;
    m.files = FileMerge::Reuse;
    MergeReport report;
    EXPECT_FALSE(MergeCatalogue(catalogue, out, m, &report));
    EXPECT_EQ(prompt.messages.back(), "A file was imported, but not all the disks it belongs to");
    EXPECT_EQ(Count("Files"), 4);

    // A new catalogue holding only DELTA: its link-less files added by a merge without links go,
    // the file that was there before stays.
    Fresh other;
    other.Make();
    ExportOptions noLinks = Everything();
    noLinks.links = false;
    ASSERT_TRUE(ExportCatalogue(catalogue, out, noLinks));
    ASSERT_EQ(other.catalogue.Database().Execute(
                  "INSERT INTO [Files] ([File name], [CRC]) VALUES (\"LOADER\", \"F0000001\")"),
              1);
    m.disks = DiskMerge::Overwrite;
    m.files = FileMerge::Reuse;
    ASSERT_TRUE(MergeCatalogue(other.catalogue, out, m, &report));
    EXPECT_EQ(report.filesAdded, 3);
    EXPECT_EQ(report.filesRemoved, 3);
    EXPECT_EQ(other.Count("Files"), 1);
    EXPECT_EQ(other.Count("Disks"), 4);
}

TEST_F(CatalogueExportTest, BadFilesEndCleanly) {
    const std::vector<long> before = Counts();
    MergeOptions m;
    m.separators = kTabCrLfFf;
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"one byte", "D"},
        {"wrong separators", "Disks;Disk name;ID;\nALPHA;1;\n"},
        {"records cut short",
         "Disks\r\nDisk name\tID\t\r\nNEW\t99\t\r\n\fDiskFileMM\r\nID\t\r\n"
         "1\t99\t7\t\r\n\f"},
        {"unknown and late tables", "Info\r\nID\t\r\n\fDisks\r\nx\t\r\nA\t\r\n\fNonsense\r\n\f"},
        {"random bytes", std::string("\x01\xff\t\r\n\f\f\r\r\n\t\t\x80xyz\0\0\r\n", 20)},
    };
    for (const Case& c : cases) {
        MergeReport report;
        MergeCatalogueBytes(catalogue, c.bytes, "bad.txt", m, &report);
        EXPECT_EQ(Counts(), before) << c.what;
    }

    // An empty separator is refused before anything is read.
    m.separators.record.clear();
    EXPECT_FALSE(MergeCatalogue(catalogue, "/nonexistent-file", m));
    EXPECT_EQ(prompt.messages.back(), "Every separator must be at least one character long.");
    m.separators = kTabCrLfFf;
    EXPECT_FALSE(MergeCatalogue(catalogue, "/nonexistent-file", m));
    EXPECT_EQ(prompt.messages.back(), "Could not open file /nonexistent-file");
}

}  // namespace
}  // namespace tavik
