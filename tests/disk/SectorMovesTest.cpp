// The sector editor's moves: tracks by density, and data sectors and clusters inside a file
// whose sectors come from a real FDR.
#include "disk/SectorMoves.h"

#include <gtest/gtest.h>

#include "DriveFixture.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
using test::MemDrive;

TEST(SectorMoves, TracksAreNineSectorsOnSingleAndEighteenOnDoubleDensity) {
    struct Row {
        int from;
        bool dd;
        int next, previous;
    };
    const Row rows[] = {
        {5, false, 9, 0},   {9, false, 18, 0},        {10, false, 18, 9},
        {0, false, 9, 0},   {5, true, 18, 0},         {18, true, 36, 0},
        {19, true, 36, 18}, {1599, true, 1600, 1584}, {1600, false, 1600, 1593},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(NextTrackStart(r.from, r.dd), r.next) << r.from << " dd " << r.dd;
        EXPECT_EQ(PreviousTrackStart(r.from, r.dd), r.previous) << r.from << " dd " << r.dd;
    }
}

// A file of three runs: 10-12, 20-21, 30.
const std::vector<int> kRuns = {10, 11, 12, 20, 21, 30};

TEST(SectorMoves, NextAndPreviousWalkTheFileAndStopAtItsEnds) {
    EXPECT_EQ(NextInFile(kRuns, kFdrPosition), 0);
    EXPECT_EQ(NextInFile(kRuns, 2), 3);
    EXPECT_EQ(NextInFile(kRuns, 5), 5);  // the end of the file: nowhere
    EXPECT_EQ(PreviousInFile(kRuns, 3), 2);
    EXPECT_EQ(PreviousInFile(kRuns, 0), kFdrPosition);  // the first data sector: the FDR
    EXPECT_EQ(PreviousInFile(kRuns, kFdrPosition), kFdrPosition);
    // From a sector outside the file, Next enters at its start and Previous at its FDR.
    EXPECT_EQ(NextInFile(kRuns, kOutsideFile), 0);
    EXPECT_EQ(PreviousInFile(kRuns, kOutsideFile), kFdrPosition);
    // An empty file has only its FDR.
    EXPECT_EQ(NextInFile({}, kFdrPosition), kFdrPosition);
}

TEST(SectorMoves, ClusterMovesStopAtTheStartOfEachRun) {
    const std::pair<int, int> next[] = {{kFdrPosition, 0}, {0, 3}, {1, 3}, {3, 5}, {4, 5}, {5, 5}};
    for (const auto& [from, to] : next)
        EXPECT_EQ(NextClusterInFile(kRuns, from), to) << from;
    const std::pair<int, int> previous[] = {
        {5, 3}, {4, 3}, {3, 0}, {2, 0}, {0, kFdrPosition}, {kFdrPosition, kFdrPosition}};
    for (const auto& [from, to] : previous)
        EXPECT_EQ(PreviousClusterInFile(kRuns, from), to) << from;
    // One run: Next goes to the last sector.
    EXPECT_EQ(NextClusterInFile({40, 41, 42, 43}, 0), 3);
}

TEST(SectorMoves, PositionsAndSectorsConvertBothWays) {
    EXPECT_EQ(SectorAtPosition(kRuns, 7, kFdrPosition), 7);
    EXPECT_EQ(SectorAtPosition(kRuns, 7, 3), 20);
    EXPECT_EQ(SectorAtPosition(kRuns, 7, 6), -1);
    EXPECT_EQ(PositionOfSector(kRuns, 7, 7), kFdrPosition);
    EXPECT_EQ(PositionOfSector(kRuns, 7, 21), 4);
    EXPECT_EQ(PositionOfSector(kRuns, 7, 22), kOutsideFile);
}

TEST(SectorMoves, FileSectorsComeFromTheClusterList) {
    CImageBuilder image;
    BuiltFile file = BuiltFile::Program("SPLIT", std::vector<uint8_t>(5 * 256, 7));
    file.clusterSizes = {2, 3};
    const int fdr = image.AddFile(file);
    MemDrive d(image);
    std::vector<int> sectors;
    ASSERT_EQ(ReadFileSectors(d.drive, fdr, sectors), 1);
    ASSERT_EQ(sectors.size(), 5u);
    EXPECT_EQ(sectors[1], sectors[0] + 1);
    EXPECT_GT(sectors[2], sectors[1] + 1);  // a free sector between the clusters
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(d.drive.FileToDiskSector(fdr, k), sectors[static_cast<size_t>(k)]);
    EXPECT_EQ(NextClusterInFile(sectors, 0), 2);

    EXPECT_EQ(ReadFileSectors(d.drive, 5000, sectors), 0);
    EXPECT_TRUE(sectors.empty());
}

}  // namespace
}  // namespace tavik
