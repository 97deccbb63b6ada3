// The sector map's model: states from the disk check, the grid text, cells, caret positions
// and the selection list.
#include "disk/SectorMap.h"

#include <gtest/gtest.h>

#include "DriveFixture.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
using test::MemDrive;

struct GridRow {
    int total;
    int perLine;
    bool beyond;
    int lines;
    int lastCells;
};

class GridText : public testing::TestWithParam<GridRow> {};

TEST_P(GridText, LinesAndLastLine) {
    const GridRow row = GetParam();
    MemDrive disk(CImageBuilder(row.total, row.total > 360, row.total > 720));
    CSectorMap map;
    ASSERT_EQ(map.Fill(disk.drive), 1);
    const std::string text = map.GridText(row.perLine, row.beyond);
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    lines.push_back(text.substr(at));
    EXPECT_EQ(static_cast<int>(lines.size()), row.lines);
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_EQ(static_cast<int>(lines[i].size()), row.perLine) << "line " << i;
    EXPECT_EQ(static_cast<int>(lines.back().size()), row.lastCells);
    EXPECT_EQ(text.find('\n', text.size() - 1), std::string::npos) << "no break after the last";
}

INSTANTIATE_TEST_SUITE_P(Disks, GridText,
                         testing::Values(GridRow{360, 18, false, 20, 18},
                                         GridRow{360, 18, true, 89, 16},
                                         GridRow{720, 18, false, 40, 18},
                                         GridRow{360, 16, false, 23, 8},
                                         GridRow{1440, 32, false, 45, 32}));

struct CellRow {
    int sector;
    uint16_t state;
    char cell;
    MapColour colour;
};

class Cells : public testing::TestWithParam<CellRow> {};

TEST_P(Cells, CharacterAndColour) {
    const CellRow row = GetParam();
    EXPECT_EQ(CSectorMap::CellChar(row.sector, row.state), row.cell);
    EXPECT_EQ(CSectorMap::CellColour(row.sector, row.state), row.colour);
}

INSTANTIATE_TEST_SUITE_P(
    States, Cells,
    testing::Values(CellRow{0, 0x8001, 'D', kMapBlue}, CellRow{1, 0x0001, 'd', kMapGreen},
                    CellRow{5, 0x0000, '.', kMapGreen}, CellRow{5, 0x8000, '-', kMapBlue},
                    CellRow{5, 0x0101, 'f', kMapGreen}, CellRow{5, 0x8101, 'F', kMapBlue},
                    CellRow{5, 0x0001, 'u', kMapGreen}, CellRow{5, 0x8001, 'o', kMapBlue},
                    CellRow{5, 0x8102, '@', kMapBlue}, CellRow{5, 0x0002, '*', kMapGreen},
                    CellRow{5, 0x80FF, '*', kMapBlue}, CellRow{400, 0x4000, 'x', kMapGreen},
                    CellRow{400, 0xC000, 'X', kMapBlack}, CellRow{400, 0xC001, 'o', kMapBlack},
                    CellRow{400, 0x4101, 'f', kMapGreen}, CellRow{5, 0x8800, '-', kMapRed},
                    CellRow{0, 0x8801, 'D', kMapRed}));

TEST(SectorMap, CellsOfARealDiskDisagreeingWithItsBitmap) {
    CImageBuilder image;
    const int fdr = image.AddFile(BuiltFile::Program("ALPHA", std::vector<uint8_t>(512, 7)));
    image.AddFile(BuiltFile::Program("BETA", std::vector<uint8_t>(256, 8)));
    std::vector<uint8_t> bytes = image.Image();
    auto setBit = [&](int s, bool on) {
        uint8_t& b = bytes[static_cast<size_t>(56 + s / 8)];
        b = static_cast<uint8_t>(on ? b | (1 << (s % 8)) : b & ~(1 << (s % 8)));
    };
    MemDrive probe(bytes);
    const int data0 = probe.drive.FileToDiskSector(fdr, 0);
    const int data1 = probe.drive.FileToDiskSector(fdr, 1);
    ASSERT_GT(data0, 2);
    setBit(100, true);     // marked used, used by nothing
    setBit(data0, false);  // ALPHA's first data sector marked free
    MemDrive disk(bytes);
    CSectorMap map;
    ASSERT_EQ(map.Fill(disk.drive), 1);
    const std::string text = map.GridText(18, false);
    auto cell = [&](int s) { return text[static_cast<size_t>(CSectorMap::CellPosition(s, 18))]; };
    EXPECT_EQ(cell(0), 'D');
    EXPECT_EQ(cell(fdr), 'F');
    EXPECT_EQ(cell(100), '-');
    EXPECT_EQ(CSectorMap::CellColour(100, map.State(100)), kMapBlue);
    EXPECT_EQ(cell(data0), 'u');
    EXPECT_EQ(CSectorMap::CellColour(data0, map.State(data0)), kMapGreen);
    EXPECT_EQ(cell(data1), 'o');
    EXPECT_EQ(cell(200), '.');
}

TEST(SectorMap, SectorsSharedByTwoIndexEntriesShowAsShared) {
    CImageBuilder image;
    const int fdr = image.AddFile(BuiltFile::Program("ALPHA", std::vector<uint8_t>(256, 7)));
    image.SetIndex({fdr, fdr});
    MemDrive disk(image);
    CSectorMap map;
    map.Fill(disk.drive);
    EXPECT_EQ(CSectorMap::CellChar(fdr, map.State(fdr)), '@');
    const int data = disk.drive.FileToDiskSector(fdr, 0);
    EXPECT_EQ(CSectorMap::CellChar(data, map.State(data)), '*');
}

TEST(SectorMap, CaretPositionsRoundTripForEveryCell) {
    for (const int perLine : {16, 18, 32})
        for (int s = 0; s < kMaxSectors; ++s)
            ASSERT_EQ(CSectorMap::CaretSector(CSectorMap::CellPosition(s, perLine), perLine), s)
                << perLine << "/" << s;
}

struct ClickRow {
    int position;
    bool textSelected;
    int current;
    int sector;
};

class Clicks : public testing::TestWithParam<ClickRow> {};

TEST_P(Clicks, CaretAfterTheClickedCell) {
    const ClickRow row = GetParam();
    EXPECT_EQ(CSectorMap::ClickedSector(row.position, 18, row.textSelected, row.current),
              row.sector);
}

// Lines are 18 cells and "\r\n": line L starts at 20 x L.
INSTANTIATE_TEST_SUITE_P(
    PerLine18, Clicks,
    testing::Values(ClickRow{21, false, 0, 18},    // first cell of line 1
                    ClickRow{41, false, 100, 36},  // first cell of line 2
                    ClickRow{18, false, 0, 17},    // last cell of line 0: caret on the line end
                    ClickRow{1, false, 7, 0}, ClickRow{0, false, 7, 0},
                    ClickRow{4, false, 3, 4},   // moved right by one from cell 3
                    ClickRow{4, true, 9, 4}));  // with a text selection no correction

TEST(SectorMap, SelectionRunsAndReadingThemBack) {
    CSectorMap map;
    for (const int s : {3, 4, 5, 9, 1599})
        map.Select(s, true);
    map.Select(1600, true);
    map.Select(-1, true);
    EXPECT_EQ(map.SelectionText(), "3-5\r\n9\r\n1599");
    map.Select(4, false);
    EXPECT_EQ(map.SelectionText(), "3\r\n5\r\n9\r\n1599");
    map.ClearSelection();
    EXPECT_EQ(map.SelectionText(), "");
}

struct ParseRow {
    const char* text;
    std::vector<int> sectors;
};

class ParseSelection : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseSelection, Lines) {
    EXPECT_EQ(CSectorMap::ParseSelection(GetParam().text), GetParam().sectors);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseSelection,
                         testing::Values(ParseRow{"3-5\r\n9", {3, 4, 5, 9}},
                                         ParseRow{"Sectors 3-5\r\n9", {}},
                                         ParseRow{"7\r\n\r\n9", {7}}, ParseRow{"7\r\nx\r\n9", {7}},
                                         ParseRow{"0x10\n012", {16, 10}},
                                         ParseRow{"1598-5000", {1598, 1599}}, ParseRow{"1600", {}},
                                         ParseRow{"", {}}, ParseRow{"6-4", {4, 5, 6}}));

TEST(SectorMap, FillClearsTheSelectionAndKeepsItsOwnBitOutOfTheUsage) {
    MemDrive disk(CImageBuilder{});
    CSectorMap map;
    map.Fill(disk.drive);
    map.Select(10, true);
    EXPECT_TRUE(map.IsSelected(10));
    map.Fill(disk.drive);
    EXPECT_FALSE(map.IsSelected(10));
    EXPECT_EQ(map.CellCount(false), 360);
    EXPECT_EQ(map.CellCount(true), 1600);
}

}  // namespace
}  // namespace tavik
