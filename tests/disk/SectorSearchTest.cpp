// Find and replace over the sectors of an image: patterns, wildcards, filters, file positions,
// the layout test and matches across a sector boundary.
#include "disk/SectorSearch.h"

#include <gtest/gtest.h>

#include <cstring>

#include "DriveFixture.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
using test::MemDrive;

void Put(std::vector<uint8_t>& image, int sector, int offset, const std::string& bytes) {
    std::memcpy(image.data() + 256 * sector + offset, bytes.data(), bytes.size());
}

SearchSettings Settings(const std::string& find, const std::string& replace = {}) {
    SearchSettings s;
    s.find.assign(find.begin(), find.end());
    s.replace.assign(replace.begin(), replace.end());
    return s;
}

TEST(SectorSearchText, TypeSwitchConvertsBothWays) {
    EXPECT_EQ(AsciiToHex("AB\x01"), "41 42 01 ");
    EXPECT_EQ(AsciiToHex(std::string("\xff", 1)), "FF ");
    EXPECT_EQ(HexToAscii("41 42 "), "AB");
    EXPECT_EQ(HexToAscii("414"), std::string("A\x04"));
    EXPECT_EQ(HexToAscii("4a"), "J");
    EXPECT_EQ(HexToAscii("G1 zz 4-2"), std::string("\x01\x04\x02"));
    EXPECT_EQ(HexToAscii(AsciiToHex("Hello, TI!")), "Hello, TI!");
    EXPECT_EQ(PatternBytes("DE AD", true), (std::vector<uint8_t>{0xDE, 0xAD}));
    EXPECT_EQ(PatternBytes("DE", false), (std::vector<uint8_t>{'D', 'E'}));
}

struct FormatRow {
    const char* text;
    bool valid;
    bool any;
    bool fdr;
    uint8_t status;
    uint8_t recordLength;
};

class SectorFormats : public testing::TestWithParam<FormatRow> {};

TEST_P(SectorFormats, Parse) {
    const FormatRow row = GetParam();
    SectorFormat format;
    ASSERT_EQ(ParseSectorFormat(row.text, format), row.valid) << row.text;
    if (!row.valid) return;
    EXPECT_EQ(format.any, row.any);
    EXPECT_EQ(format.fdr, row.fdr);
    EXPECT_EQ(format.status, row.status);
    EXPECT_EQ(format.recordLength, row.recordLength);
}

INSTANTIATE_TEST_SUITE_P(Texts, SectorFormats,
                         testing::Values(FormatRow{"Any", true, true, false, 0, 0},
                                         FormatRow{"prog", true, true, false, 0, 0},
                                         FormatRow{"fdr", true, false, true, 0, 0},
                                         FormatRow{"dv80", true, false, false, 0x80, 80},
                                         FormatRow{"DF80", true, false, false, 0x00, 80},
                                         FormatRow{"IV254", true, false, false, 0x82, 254},
                                         FormatRow{"if0x20", true, false, false, 0x02, 32},
                                         FormatRow{"DV", false}, FormatRow{"DF300", false},
                                         FormatRow{"Program", false}, FormatRow{"XV80", false}));

TEST(SectorSearchForm, NumbersAndMessages) {
    SearchForm form;
    SearchSettings s;
    std::string message;
    ASSERT_TRUE(ReadSearchForm(form, s, message));
    EXPECT_EQ(s.first, 0);
    EXPECT_EQ(s.last, 2880);  // the end of the largest disk: a smaller one ends the run first
    EXPECT_EQ(s.findWildcard, -1);
    EXPECT_EQ(s.replaceWildcard, -1);
    form.first = "0x10";
    form.last = " 20";
    form.find = "41 42";
    form.findHex = true;
    form.findWildcard = "?x";
    ASSERT_TRUE(ReadSearchForm(form, s, message));
    EXPECT_EQ(s.first, 16);
    EXPECT_EQ(s.last, 20);
    EXPECT_EQ(s.find, (std::vector<uint8_t>{0x41, 0x42}));
    EXPECT_EQ(s.findWildcard, '?');
    form.first = "abc";
    EXPECT_FALSE(ReadSearchForm(form, s, message));
    EXPECT_EQ(message, "Invalid number: First sector");
    EXPECT_EQ(s.first, 16) << "nothing changes";
    form.first = "3";
    form.format = "DX80";
    EXPECT_FALSE(ReadSearchForm(form, s, message));
    EXPECT_EQ(message, "Invalid format specification");
    form.format = "iv254";
    EXPECT_TRUE(ReadSearchForm(form, s, message));
}

class SectorSearchRun : public testing::Test {
protected:
    void Mount(std::vector<uint8_t> image) {
        m_disk = std::make_unique<MemDrive>(std::move(image));
    }
    SearchOutcome Run(SearchMode mode) { return m_search.Run(m_disk->drive, m_map, mode); }
    std::string Bytes(int sector, int offset, size_t n) const {
        return std::string(reinterpret_cast<const char*>(m_disk->SectorBytes(sector)) + offset, n);
    }

    std::unique_ptr<MemDrive> m_disk;
    CSectorMap m_map;
    CSectorSearch m_search;
};

TEST_F(SectorSearchRun, AsciiPatternWithAWildcardInTheMiddle) {
    std::vector<uint8_t> image = CImageBuilder().Image();
    Put(image, 20, 10, "AXC");
    Put(image, 25, 0, "AXB");
    Put(image, 30, 200, std::string("A\0C", 3));
    Mount(image);
    SearchSettings s = Settings("A?C");
    s.findWildcard = '?';
    m_search.Start(s);
    SearchOutcome out = Run(SearchMode::FindNext);
    ASSERT_TRUE(out.matched) << out.message;
    EXPECT_EQ(out.showSector, 20);
    EXPECT_EQ(out.markOffset, 10);
    EXPECT_EQ(out.markLength, 3);
    EXPECT_TRUE(m_map.IsSelected(20));
    EXPECT_TRUE(m_search.HasMatch());
    out = Run(SearchMode::FindNext);
    ASSERT_TRUE(out.matched);
    EXPECT_EQ(out.showSector, 30);
    EXPECT_EQ(out.markOffset, 200);
    out = Run(SearchMode::FindNext);
    EXPECT_FALSE(out.matched);
    EXPECT_EQ(out.message, "Not found");
    EXPECT_FALSE(m_search.HasMatch());
}

TEST_F(SectorSearchRun, TheOnlyMatchInSectorZeroIsFound) {
    CImageBuilder image;
    image.SetName("ZEROMATCH");
    Mount(image.Image());
    m_search.Start(Settings("ZEROMATCH"));
    const SearchOutcome out = Run(SearchMode::FindAll);
    ASSERT_TRUE(out.matched) << out.message;
    EXPECT_EQ(out.message, "");
    EXPECT_EQ(out.showSector, 0);
    EXPECT_EQ(m_map.SelectedSectors(), std::vector<int>{0});
}

TEST_F(SectorSearchRun, AnEmptyEndSearchesTheWholeImageAndReportsNotFound) {
    Mount(CImageBuilder().Image());  // 360 sectors: the range would run to 2880
    m_search.Start(Settings("NOWHERE"));
    const SearchOutcome out = Run(SearchMode::FindNext);
    EXPECT_FALSE(out.matched);
    EXPECT_EQ(out.message, "Not found");
}

TEST_F(SectorSearchRun, CrossBoundaryMatchIsFoundAndReplacedInBothSectors) {
    std::vector<uint8_t> image = CImageBuilder().Image();
    Put(image, 10, 254, "\xDE\xAD");
    Put(image, 11, 0, "\xBE\xEF");
    Mount(image);
    SearchSettings s;
    s.find = PatternBytes("DE AD BE EF", true);
    s.replace = PatternBytes("01 02 03 04", true);
    m_search.Start(s);
    EXPECT_EQ(Run(SearchMode::FindNext).message, "Not found") << "not without cross boundaries";

    s.crossBoundaries = true;
    m_search.Start(s);
    SearchOutcome out = Run(SearchMode::FindNext);
    ASSERT_TRUE(out.matched) << out.message;
    EXPECT_EQ(out.showSector, 10);
    EXPECT_EQ(out.markOffset, 254);
    EXPECT_EQ(out.markLength, 2);
    EXPECT_TRUE(m_map.IsSelected(10));
    EXPECT_TRUE(m_map.IsSelected(11));

    // Replace acts on the match shown.
    out = Run(SearchMode::Replace);
    ASSERT_TRUE(out.matched) << out.message;
    EXPECT_TRUE(out.rewritten);
    EXPECT_EQ(Bytes(10, 252, 4), std::string("\0\0\x01\x02", 4));
    EXPECT_EQ(Bytes(11, 0, 4), std::string("\x03\x04\0\0", 4));
    EXPECT_FALSE(m_search.HasMatch());
}

TEST_F(SectorSearchRun, CarriedPrefixThatFailsStillFindsAShorterOverlap) {
    std::vector<uint8_t> image = CImageBuilder().Image();
    Put(image, 50, 254, "AA");
    Put(image, 51, 0, "AB");  // "AAB" starts at byte 255 of sector 50
    Mount(image);
    SearchSettings s = Settings("AAB");
    s.crossBoundaries = true;
    m_search.Start(s);
    const SearchOutcome out = Run(SearchMode::FindNext);
    ASSERT_TRUE(out.matched) << out.message;
    EXPECT_EQ(out.showSector, 50);
    EXPECT_EQ(out.markOffset, 255);
}

TEST_F(SectorSearchRun, ReplaceAllKeepsBytesUnderTheReplaceWildcardAndRelists) {
    std::vector<uint8_t> image = CImageBuilder().Image();
    Put(image, 40, 0, "CAT CAT");
    Put(image, 90, 100, "CAT");
    Mount(image);
    SearchSettings s = Settings("CAT", "D*G");
    s.replaceWildcard = '*';
    m_search.Start(s);
    const SearchOutcome out = Run(SearchMode::ReplaceAll);
    ASSERT_TRUE(out.matched);
    EXPECT_TRUE(out.rewritten);
    EXPECT_EQ(out.showSector, 40);
    EXPECT_EQ(Bytes(40, 0, 7), "DAG DAG");
    EXPECT_EQ(Bytes(90, 100, 3), "DAG");
    EXPECT_EQ(m_map.SelectedSectors(), (std::vector<int>{40, 90}));
    EXPECT_FALSE(m_search.HasMatch());
}

TEST_F(SectorSearchRun, FindAllSelectsEachMatchingSectorOnce) {
    std::vector<uint8_t> image = CImageBuilder().Image();
    Put(image, 40, 0, "XYXY");
    Put(image, 41, 10, "XY");
    Mount(image);
    m_search.Start(Settings("XY"));
    const SearchOutcome out = Run(SearchMode::FindAll);
    EXPECT_EQ(out.showSector, 40);
    EXPECT_EQ(m_map.SelectedSectors(), (std::vector<int>{40, 41}));
}

struct FilterRow {
    const char* name;
    bool markedFree, markedUsed, inFdrs, inFiles, notUsed;
    std::vector<int> found;
};

class SearchFilters : public testing::TestWithParam<FilterRow> {};

// "QQ" lies in the name of a file in sector 2 (which always counts as a file sector), in its
// data, in a free sector and in a sector
// marked used that nothing uses.
TEST_P(SearchFilters, SelectTheSectorsTheFiltersLetThrough) {
    const FilterRow row = GetParam();
    CImageBuilder builder;
    const int fdr = builder.AddFile(BuiltFile::Program("QQFILE", std::vector<uint8_t>(256, 'Q')));
    std::vector<uint8_t> image = builder.Image();
    Put(image, 100, 0, "QQ");
    Put(image, 120, 0, "QQ");
    image[56 + 120 / 8] |= 1 << (120 % 8);
    MemDrive disk(image);
    CSectorMap map;
    CSectorSearch search;
    SearchSettings s = Settings("QQ");
    s.markedFree = row.markedFree;
    s.markedUsed = row.markedUsed;
    s.inFdrs = row.inFdrs;
    s.inFiles = row.inFiles;
    s.notUsed = row.notUsed;
    search.Start(s);
    search.Run(disk.drive, map, SearchMode::FindAll);
    std::vector<int> expected;
    for (const int k : row.found)
        expected.push_back(k == -1 ? fdr : k == -2 ? disk.drive.FileToDiskSector(fdr, 0) : k);
    EXPECT_EQ(map.SelectedSectors(), expected) << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Filters, SearchFilters,
    testing::Values(FilterRow{"all", true, true, true, true, true, {-1, -2, 100, 120}},
                    FilterRow{"free only", true, false, true, true, true, {100}},
                    FilterRow{"used only", false, true, true, true, true, {-1, -2, 120}},
                    FilterRow{"no FDRs", true, true, false, true, true, {-2, 100, 120}},
                    FilterRow{"no files", true, true, true, false, true, {-1, 100, 120}},
                    FilterRow{"files only", true, true, true, true, false, {-1, -2}}));

TEST_F(SectorSearchRun, InsideAFilePositionsAreDataSectorIndexes) {
    CImageBuilder builder;
    std::vector<uint8_t> data(3 * 256, 0);
    std::memcpy(data.data() + 2 * 256 + 5, "NEEDLE", 6);
    BuiltFile file = BuiltFile::Program("HAY", data);
    file.clusterSizes = {1, 2};
    const int fdr = builder.AddFile(file);
    Mount(builder.Image());
    const int third = m_disk->drive.FileToDiskSector(fdr, 2);
    ASSERT_GT(third, 0);
    SearchSettings s = Settings("NEEDLE");
    s.insideFile = fdr;
    s.last = 1;
    m_search.Start(s);
    EXPECT_EQ(Run(SearchMode::FindNext).message, "Not found");
    s.last = 1600;  // the end of the file ends the run
    m_search.Start(s);
    const SearchOutcome out = Run(SearchMode::FindNext);
    ASSERT_TRUE(out.matched) << out.message;
    EXPECT_EQ(out.showSector, third);
    EXPECT_EQ(out.markOffset, 5);
}

TEST_F(SectorSearchRun, FdrFormatWithAnEmptyPatternSelectsTheFileDescriptors) {
    CImageBuilder builder;
    const int a = builder.AddFile(BuiltFile::Program("ONE", std::vector<uint8_t>(300, 0)));
    const int b = builder.AddFile(BuiltFile::Variable("TWO", false, 80, {"HELLO"}));
    Mount(builder.Image());
    SearchSettings s;
    ASSERT_TRUE(ParseSectorFormat("fdr", s.format));
    m_search.Start(s);
    const SearchOutcome out = Run(SearchMode::FindAll);
    ASSERT_TRUE(out.matched);
    EXPECT_EQ(m_map.SelectedSectors(), (std::vector<int>{a, b}));
    ASSERT_TRUE(ParseSectorFormat("DV80", s.format));
    s.inFdrs = false;
    m_search.Start(s);
    Run(SearchMode::FindAll);
    EXPECT_EQ(m_map.SelectedSectors(), std::vector<int>{m_disk->drive.FileToDiskSector(b, 0)})
        << "TWO's one data sector";
}

TEST_F(SectorSearchRun, AReadFailureStopsWithTheDriveText) {
    std::vector<uint8_t> image = CImageBuilder().Image();
    image.resize(256 * 200);  // the image ends inside the disk's total
    Mount(image);
    m_search.Start(Settings("NOWHERE"));
    const SearchOutcome out = Run(SearchMode::FindNext);
    EXPECT_FALSE(out.matched);
    EXPECT_FALSE(out.message.empty());
    EXPECT_NE(out.message, "Not found");
}

}  // namespace
}  // namespace tavik
