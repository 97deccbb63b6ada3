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

// Every value comes back, whatever bytes (1 to 255) it holds and whatever the separators.
TEST_F(CatalogueExportTest, EveryByteSurvivesExportAndMerge) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    CDatabase& db = catalogue.Database();
    CQueryDef def;
    ASSERT_TRUE(db.CreateQueryDef(
        "UPDATE [Disks] SET [Info1] = [v], [Info3] = [v] & [v], [Drive] = \"\"\"\" & [v] WHERE "
        "[ID] = " +
            std::to_string(alpha),
        def));
    def.SetParameter(0, CDbValue::Text(all));
    ASSERT_EQ(db.Execute(def), 1);
    ASSERT_TRUE(NewParameter(catalogue, "All", 10, all + "\""));
    const std::string rows =
        "SELECT ALL [Disk name], [Info1], [Info3], [Drive], [CRC-S] FROM [Disks] ORDER BY [ID]";
    for (Separators s : {kTabCrLfFf, Separators{";", "\n", "\n#END#\n"},
                         Separators{"\r", "\n", "\f"}, Separators{"x\"", "ab", "b"}}) {
        ExportOptions o = Everything();
        o.separators = s;
        const std::string out = test::TempFolder() + "/all.txt";
        ASSERT_TRUE(ExportCatalogue(catalogue, out, o));
        Fresh other;
        other.Make();
        MergeOptions m;
        m.separators = s;
        ASSERT_TRUE(MergeCatalogue(other.catalogue, out, m))
            << s.field << ": "
            << (other.prompt.messages.empty() ? "" : other.prompt.messages.back());
        for (int column : {0, 1, 2, 3, 4})
            EXPECT_EQ(other.Column(rows, column), Column(rows, column)) << s.field << column;
        EXPECT_EQ(other.Column(kLinks), Column(kLinks));
        EXPECT_EQ(other.Column("SELECT [Value] FROM [Params]"), (Names{all + "\""}));
    }
}

// Merging a catalogue's export into it changes no count, whatever was exported and whichever
// of the options that match rows was chosen; a disk added twice keeps its own files.
TEST_F(CatalogueExportTest, MergingTheOwnExportChangesNoCount) {
    const int twice = AddDisk("BRAVO", 360, false, "BBBB0002");
    Link(twice, AddFile("LOADER", "PROGRAM", 33, "F0000001"));
    Link(twice, AddFile("GAME", "PROGRAM", 50, "F0000004"));
    ExportOptions fromDisks = Everything();
    fromDisks.disks = ExportRows::CurrentSet;
    fromDisks.files = ExportRows::FromAboveDisks;
    const std::vector<long> before = Counts();
    for (const ExportOptions& o : {Everything(), fromDisks}) {
        for (DiskMerge disks : {DiskMerge::Overwrite, DiskMerge::Skip, DiskMerge::DoNotImport}) {
            for (FileMerge files : {FileMerge::Overwrite, FileMerge::Reuse}) {
                ASSERT_TRUE(catalogue.DiskSet().Open("SELECT ALL * FROM [Disks]"));
                const std::string out = test::TempFolder() + "/own.txt";
                ASSERT_TRUE(ExportCatalogue(catalogue, out, o));
                MergeOptions m;
                m.separators = kTabCrLfFf;
                m.disks = disks;
                m.files = files;
                MergeReport report;
                EXPECT_TRUE(MergeCatalogue(catalogue, out, m, &report))
                    << (prompt.messages.empty() ? "" : prompt.messages.back());
                EXPECT_EQ(Counts(), before) << static_cast<int>(o.files) << static_cast<int>(disks)
                                            << static_cast<int>(files);
            }
        }
    }
}

TEST_F(CatalogueExportTest, SkippedDisksKeepTheirLinksAndUnlinkedNewFilesGo) {
    const std::string out = test::TempFolder() + "/all.txt";
    ExportOptions noLinks = Everything();
    noLinks.links = false;
    ASSERT_TRUE(ExportCatalogue(catalogue, out, noLinks));
    // A catalogue holding one of the files: the files the merge added go again for want of
    // links, the one that was there stays.
    Fresh other;
    other.Make();
    ASSERT_EQ(other.catalogue.Database().Execute(
                  "INSERT INTO [Files] ([File name], [CRC]) VALUES (\"LOADER\", \"F0000001\")"),
              1);
    MergeOptions m;
    m.separators = kTabCrLfFf;
    m.files = FileMerge::Reuse;
    MergeReport report;
    ASSERT_TRUE(MergeCatalogue(other.catalogue, out, m, &report));
    EXPECT_EQ(report.filesAdded, 3);
    EXPECT_EQ(report.filesRemoved, 3);
    EXPECT_EQ(other.Count("Files"), 1);
    EXPECT_EQ(other.Count("Disks"), 4);
}

// A merge is one transaction: a file at fault is refused with the line where it is, and the
// catalogue stays as it was, also when rows were written before the fault was found.
TEST_F(CatalogueExportTest, AFileAtFaultChangesNothing) {
    const std::string out = test::TempFolder() + "/all.txt";
    ASSERT_TRUE(ExportCatalogue(catalogue, out, Everything()));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(out, bytes));
    const std::string whole(bytes.begin(), bytes.end());
    const size_t links = whole.find("\fDiskFileMM");
    const std::string extraField = "x\t";
    const std::string alphaRow = "ALPHA\t" + std::to_string(alpha) + "\t";
    const size_t alphaAt = whole.find(alphaRow);
    const std::string alphaLine = whole.substr(alphaAt, whole.find("\r\n", alphaAt) + 2 - alphaAt);
    auto Replaced = [](std::string text, const std::string& what, const std::string& by) {
        return text.replace(text.find(what), what.size(), by);
    };
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"cut in half", whole.substr(0, whole.find("README") + 3),
         "bad.txt, line 10: the file ends inside a record of table Files (it is cut short)"},
        {"cut after a record", whole.substr(0, links),
         "bad.txt, line 13: the file ends inside table Files"},
        {"a field too many", whole.substr(0, links - 2) + extraField + whole.substr(links - 2),
         "bad.txt, line 12: a record of table Files has 18 fields where 17 were expected"},
        {"cut in a table name", whole.substr(0, links + 4),
         "bad.txt, line 13: the file ends inside a table"},
        {"unknown table", whole + "Nonsense\r\n\f", "\"Nonsense\" is no table"},
        {"tables out of order", whole + "Disks\r\n\f", "Disks comes after a table that follows it"},
        {"other separators", "Disks;Disk name;ID;\nALPHA;1;\n",
         "bad.txt, line 1: a table name must end"},
        {"a header of other columns", "Disks\r\nDisk name\tSize\t\r\n\f",
         "bad.txt, line 2: the header of table Disks does not name"},
        {"one byte", "D", "bad.txt, line 1: a table name must end"},
        {"a disk listed twice", Replaced(whole, "\fFiles", alphaLine + "\fFiles"),
         "the ID " + std::to_string(alpha) + " is listed twice in table Disks"},
        {"an ID that is no number", Replaced(whole, alphaRow, "ALPHA\t1x\t"),
         "a record of table Disks has \"1x\" where its ID must be a whole number"},
        {"a link without its file",
         "Disks" + whole.substr(5, whole.find("\fFiles") + 1 - 5) +
             "DiskFileMM\r\nID\tDiskID\tFileID\t\r\n1\t" + std::to_string(alpha) + "\t99\t\r\n\f",
         "An disk was imported, but not all the files it contains"},
    };
    Fresh other;
    other.Make();
    const std::vector<long> empty = {0, 0, 0, 0, 0, other.Count("Info")};
    MergeOptions m;
    m.separators = kTabCrLfFf;
    m.disks = DiskMerge::CreateNew;
    for (const Case& c : cases) {
        MergeReport report;
        EXPECT_FALSE(MergeCatalogueBytes(other.catalogue, c.bytes, "bad.txt", m, &report))
            << c.what;
        ASSERT_FALSE(other.prompt.messages.empty());
        EXPECT_NE(other.prompt.messages.back().find(c.message), std::string::npos)
            << c.what << ": " << other.prompt.messages.back();
        const std::vector<long> counts = {other.Count("Disks"),      other.Count("Files"),
                                          other.Count("DiskFileMM"), other.Count("Queries"),
                                          other.Count("Params"),     other.Count("Info")};
        EXPECT_EQ(counts, empty) << c.what;
        EXPECT_EQ(report.disksAdded, 0) << c.what;
    }
    EXPECT_TRUE(MergeCatalogueBytes(other.catalogue, "", "empty.txt", m));

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
