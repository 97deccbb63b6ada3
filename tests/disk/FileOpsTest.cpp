#include <gtest/gtest.h>

#include <cstring>

#include "DriveFixture.h"
#include "disk/TiDateTime.h"

namespace tavik {
namespace {

using namespace layout;
using test::BuiltFile;
using test::CImageBuilder;
using test::MaxSectorsOf;
using test::MemDrive;
using test::OnEveryImageKind;

TEST_P(OnEveryImageKind, AllocationFirstFitFromTheFrontNeverTheSystemSectorsOrPastTheEnd) {
    MemDrive d(test::EmptyDisk(), Kind());
    EXPECT_EQ(d.drive.AllocateSector(), 2);
    EXPECT_EQ(d.drive.AllocateSector(), 3);
    EXPECT_EQ(d.drive.AllocateSector(), 4);
    ASSERT_EQ(d.drive.MarkSector(3, true), 1);
    EXPECT_FALSE(d.Used(3));
    EXPECT_EQ(d.drive.AllocateSector(), 3);
    EXPECT_TRUE(d.Used(3));

    // A damaged bitmap that shows the VIB and index free, and nothing else free but sectors
    // past the total: nothing may be handed out.
    std::vector<uint8_t> image = test::EmptyDisk();
    std::memset(image.data() + kVibBitmap, 0xFF, kBitmapBytes);
    image[kVibBitmap] = 0xFC;
    image[kVibBitmap + 45] = 0x00;  // sectors 360-367
    MemDrive full(image, Kind());
    EXPECT_EQ(full.drive.AllocateSector(), -1);
    EXPECT_EQ(full.drive.ErrorText(), "Disk is full");
    EXPECT_EQ(full.drive.MarkSector(1600, false), 0);
    EXPECT_EQ(full.drive.ErrorText(), "Past end of drive");
}

TEST_P(OnEveryImageKind, CreateFileNewFileIsIndexedSortedAndStamped) {
    LocalTime now{2024, 3, 9, 14, 30, 20};
    SetClockForTesting(&now);
    MemDrive d(test::EmptyDisk(), Kind());
    const int b = d.drive.CreateFile("BETA", 0x80, 80);
    const int a = d.drive.CreateFile("ALPHA", 0x02, 0);
    SetClockForTesting(nullptr);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(d.Files(), 2);
    EXPECT_EQ(d.IndexEntry(0), a);
    EXPECT_EQ(d.IndexEntry(1), b);
    const uint8_t* f = d.SectorBytes(b);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(f), 10), "BETA      ");
    EXPECT_EQ(f[kFdrStatus], 0x80);
    EXPECT_EQ(f[kFdrRecordLength], 80);
    EXPECT_EQ(f[kFdrRecordsPerSector], 3);
    EXPECT_EQ(d.SectorBytes(a)[kFdrRecordsPerSector], 0);  // no record length, no division
    EXPECT_EQ(Be16(f + kFdrCreationDate), PackDate(9, 3, 2024));
    EXPECT_EQ(Be16(f + kFdrUpdateTime), PackTime(14, 30, 20));
    EXPECT_TRUE(d.Used(2) && d.Used(3));
}

TEST(CreateFile, RecordsPerSectorAsTiControllersWriteThem) {
    const struct {
        uint8_t status;
        uint8_t length;
        int perSector;
    } rows[] = {{0x80, 80, 3},  {0x80, 64, 3},  {0x80, 16, 15}, {0x80, 128, 1},
                {0x80, 255, 1}, {0x82, 1, 128}, {0x82, 254, 1}, {0x00, 80, 3},
                {0x02, 128, 2}, {0x00, 1, 0},   {0x01, 0, 0}};
    MemDrive d(test::EmptyDisk());
    int n = 0;
    for (const auto& r : rows) {
        const int fdr = d.drive.CreateFile("F" + std::to_string(n++), r.status, r.length);
        ASSERT_GE(fdr, 2);
        EXPECT_EQ(d.SectorBytes(fdr)[kFdrRecordsPerSector], r.perSector)
            << int(r.status) << " " << int(r.length);
        EXPECT_EQ(d.drive.CheckFdr(d.SectorBytes(fdr)), 1) << int(r.status) << " " << int(r.length);
    }
}

TEST_P(OnEveryImageKind, CreateFileExistingNameIsEmptiedAndRetyped) {
    CImageBuilder builder;
    const int fdr = builder.AddFile(BuiltFile::Program("GAME", test::Pattern(5 * 256, 1)));
    MemDrive d(builder, Kind());
    const int data = d.drive.FileToDiskSector(fdr, 0);
    EXPECT_EQ(d.drive.CreateFile("GAME", 0x00, 128), fdr);
    EXPECT_EQ(d.Files(), 1);
    const uint8_t* f = d.SectorBytes(fdr);
    EXPECT_EQ(f[kFdrStatus], 0x00);
    EXPECT_EQ(f[kFdrRecordLength], 128);
    EXPECT_EQ(f[kFdrRecordsPerSector], 2);
    EXPECT_EQ(Be16(f + kFdrSectors), 0);
    EXPECT_EQ(f[kFdrClusters], 0);
    for (int k = 0; k < 5; ++k)
        EXPECT_FALSE(d.Used(data + k));
}

TEST_P(OnEveryImageKind, CreateFileThe129thFileFailsAndChangesNothing) {
    MemDrive d(test::EmptyDisk(), Kind());
    for (int k = 0; k < 128; ++k)
        ASSERT_GE(d.drive.CreateFile("F" + std::to_string(1000 + k), 1, 0), 2) << k;
    const std::vector<uint8_t> before = d.Bytes();
    EXPECT_EQ(d.drive.CreateFile("ONEMORE", 1, 0), -1);
    EXPECT_EQ(d.drive.ErrorText(), "Max number of files reached");
    EXPECT_EQ(d.Bytes(), before);
}

TEST_P(OnEveryImageKind, AppendSectorClustersGrowWhileContiguousAndSplitOtherwise) {
    MemDrive d(test::EmptyDisk(), Kind());
    const int a = d.drive.CreateFile("A", 0x80, 80);
    EXPECT_EQ(d.drive.AppendSector(a), 3);
    EXPECT_EQ(d.drive.AppendSector(a), 4);
    FileProperties p;
    ASSERT_TRUE(d.drive.GetFileProperties(a, p));
    EXPECT_EQ(p.clusters, (std::vector<uint32_t>{FileProperties::Cluster(3, 4)}));

    const int b = d.drive.CreateFile("B", 1, 0);  // takes sector 5
    EXPECT_EQ(b, 5);
    EXPECT_EQ(d.drive.AppendSector(a), 6);
    ASSERT_TRUE(d.drive.GetFileProperties(a, p));
    EXPECT_EQ(p.clusters, (std::vector<uint32_t>{FileProperties::Cluster(3, 4),
                                                 FileProperties::Cluster(6, 6)}));
    EXPECT_EQ(p.sectors, 3);
    EXPECT_EQ(p.records, 3);  // variable-length: the record count follows the sector count
}

TEST_P(OnEveryImageKind, AppendSectorThe77thClusterFailsAndGivesItsSectorBack) {
    MemDrive d(test::EmptyDisk(), Kind());
    const int fdr = d.drive.CreateFile("SPLIT", 1, 0);
    // Every other sector taken, so that each new sector starts a cluster of its own.
    for (int s = 4; s < 360; s += 2)
        ASSERT_EQ(d.drive.MarkSector(s, false), 1);
    for (int k = 0; k < kMaxClusters; ++k)
        ASSERT_GE(d.drive.AppendSector(fdr), 2) << k;
    FileProperties p;
    ASSERT_TRUE(d.drive.GetFileProperties(fdr, p));
    EXPECT_EQ(p.clusters.size(), 76u);
    EXPECT_NE(d.SectorBytes(fdr)[253], 0);

    const std::vector<uint8_t> before = d.Bytes();
    EXPECT_EQ(d.drive.AppendSector(fdr), -1);
    EXPECT_EQ(d.drive.ErrorText(), "File fractured in too many clusters");
    EXPECT_EQ(d.Bytes(), before);
}

TEST_P(OnEveryImageKind, CopyFileCopiesDataAndHeaderAndRestoresTheTargetOnFailure) {
    CImageBuilder builder;
    BuiltFile file = BuiltFile::Variable("TEXT", false, 80, {"one", "two", "three"});
    file.data = test::Pattern(6 * 256, 9);
    file.records = 6;
    file.eofOffset = 17;
    file.creationDate = PackDate(1, 2, 99);
    file.clusterSizes = {2, 3, 1};
    const int fdr = builder.AddFile(file);
    MemDrive source(builder, Kind());

    MemDrive target(test::EmptyDisk(), Kind());
    ASSERT_EQ(source.drive.CopyFile(target.drive, fdr, "COPY"), 1);
    const int copy = target.drive.FindFile("COPY");
    ASSERT_GE(copy, 2);
    EXPECT_EQ(test::FileBytes(target.drive, copy), file.data);
    const uint8_t* f = target.SectorBytes(copy);
    EXPECT_EQ(f[kFdrEofOffset], 17);
    EXPECT_EQ(f[kFdrStatus], 0x80);
    EXPECT_EQ(Be16(f + kFdrSectors), 6);
    EXPECT_EQ(Be16(f + kFdrCreationDate), PackDate(1, 2, 99));
    EXPECT_EQ(Be16(f + kFdrClusters + 3), 0);  // one cluster

    // A target with room for the FDR and three sectors only.
    std::vector<uint8_t> small = test::EmptyDisk();
    std::memset(small.data() + kVibBitmap + 1, 0xFF, 44);
    small[kVibBitmap] = 0x03 | 0xC0;  // sectors 2-5 free
    MemDrive tight(small, Kind());
    const std::vector<uint8_t> before = tight.Bytes();
    EXPECT_EQ(source.drive.CopyFile(tight.drive, fdr, ""), 0);
    EXPECT_EQ(source.drive.ErrorText(), "Disk is full");
    EXPECT_EQ(tight.Bytes(), before);
    EXPECT_EQ(tight.drive.FindFile("TEXT"), 0);

    // Onto the same drive under its own name there is nothing to do; under another name the
    // drive holds two copies.
    const std::vector<uint8_t> unchanged = source.Bytes();
    EXPECT_EQ(source.drive.CopyFile(source.drive, fdr, ""), 1);
    EXPECT_EQ(source.drive.CopyFile(source.drive, fdr, "TEXT"), 1);
    EXPECT_EQ(source.Bytes(), unchanged);
    ASSERT_EQ(source.drive.CopyFile(source.drive, fdr, "TWIN"), 1);
    EXPECT_EQ(test::FileBytes(source.drive, source.drive.FindFile("TWIN")), file.data);
    EXPECT_EQ(test::FileBytes(source.drive, fdr), file.data);
}

TEST_P(OnEveryImageKind, DeleteUndeleteDeletedFileKeepsItsBytesAndComesBack) {
    CImageBuilder builder;
    const std::vector<uint8_t> data = test::Pattern(3 * 256, 4);
    BuiltFile prog = BuiltFile::Program("KEEP", data);
    prog.clusterSizes = {1, 2};
    const int fdr = builder.AddFile(prog);
    MemDrive d(builder, Kind());
    const int first = d.drive.FileToDiskSector(fdr, 0);
    const int third = d.drive.FileToDiskSector(fdr, 2);

    ASSERT_EQ(d.drive.DeleteFile(fdr), 1);
    EXPECT_TRUE(
        std::all_of(d.SectorBytes(1), d.SectorBytes(1) + 256, [](uint8_t b) { return !b; }));
    EXPECT_FALSE(d.Used(fdr) || d.Used(first) || d.Used(third));
    EXPECT_EQ(d.drive.DeleteFile(1), 1);  // not a file: nothing happens

    EXPECT_EQ(d.drive.UndeleteFile("KEEP", 0x80), 0);  // wrong type
    EXPECT_EQ(d.drive.UndeleteFile("OTHER", -1), 0);
    EXPECT_EQ(d.drive.UndeleteFile("KEEP", 0x01), fdr);
    EXPECT_TRUE(d.Used(fdr) && d.Used(first) && d.Used(third));
    EXPECT_EQ(d.IndexEntry(0), fdr);
    EXPECT_EQ(test::FileBytes(d.drive, fdr), data);
    const std::vector<uint8_t> after = d.Bytes();
    EXPECT_EQ(d.drive.UndeleteFile("KEEP", -1), fdr);
    EXPECT_EQ(d.Bytes(), after);
}

TEST_P(OnEveryImageKind, DeleteUndeleteDeleteMovesLaterEntriesDownAndPurgeKeepsTheFile) {
    MemDrive d(test::EmptyDisk(), Kind());
    const int a = d.drive.CreateFile("A", 1, 0);
    const int b = d.drive.CreateFile("B", 0x80, 80);
    const int c = d.drive.CreateFile("C", 1, 0);
    for (int k = 0; k < 3; ++k)
        d.drive.AppendSector(b);
    ASSERT_EQ(d.drive.DeleteFile(a), 1);
    EXPECT_EQ(d.Files(), 2);
    EXPECT_EQ(d.IndexEntry(0), b);
    EXPECT_EQ(d.IndexEntry(1), c);

    ASSERT_EQ(d.drive.PurgeFile(b), 1);
    const uint8_t* f = d.SectorBytes(b);
    EXPECT_EQ(Be16(f + kFdrSectors), 0);
    EXPECT_EQ(Le16(f + kFdrRecords), 0);
    EXPECT_EQ(f[kFdrClusters], 0);
    EXPECT_EQ(f[kFdrRecordLength], 80);
    EXPECT_EQ(f[kFdrStatus], 0x80);
    EXPECT_EQ(d.Files(), 2);
    for (int s = 5; s < 8; ++s)
        EXPECT_FALSE(d.Used(s)) << s;
}

TEST_P(OnEveryImageKind, RenameAndProtectNamesStayUniqueAndSorted) {
    MemDrive d(test::EmptyDisk(), Kind());
    const int x = d.drive.CreateFile("X", 1, 0);
    const int y = d.drive.CreateFile("Y", 1, 0);
    EXPECT_EQ(d.drive.RenameFile(x, "X"), 1);
    EXPECT_EQ(d.drive.RenameFile(x, "Y"), 0);
    EXPECT_EQ(d.drive.ErrorText(), "Name already exists");
    ASSERT_EQ(d.drive.RenameFile(x, "Z"), 1);
    EXPECT_EQ(d.IndexEntry(0), y);
    EXPECT_EQ(d.NameAt(1), "Z         ");

    struct Row {
        int mode;
        uint8_t before, after;
    };
    for (const Row& r : {Row{1, 0x20, 0x50}, Row{0, 0x50, 0x20}, Row{2, 0x20, 0x50},
                         Row{2, 0x50, 0x20}, Row{2, 0x41, 0x20}}) {
        d.drive.VibBuffer()[kVibProtection] = r.before;
        ASSERT_EQ(d.drive.WriteVib(), 1);
        ASSERT_EQ(d.drive.SetProtection(0, r.mode), 1);
        EXPECT_EQ(d.Vib()[kVibProtection], r.after) << r.mode << " " << int{r.before};
    }
    for (int mode : {1, 1, 2, 0, 2}) {
        const bool was = d.SectorBytes(y)[kFdrStatus] & kStatusProtected;
        ASSERT_EQ(d.drive.SetProtection(y, mode), 1);
        const bool now = d.SectorBytes(y)[kFdrStatus] & kStatusProtected;
        EXPECT_EQ(now, mode == 1 || (mode == 2 && !was)) << mode;
    }
}

TEST_P(OnEveryImageKind, SetFilePropertiesRebuildsClustersFromFirstAndLastSectors) {
    MemDrive d(test::EmptyDisk(), Kind());
    const int fdr = d.drive.CreateFile("DATA", 0x80, 80);
    FileProperties p;
    ASSERT_TRUE(d.drive.GetFileProperties(fdr, p));
    const std::vector<uint8_t> bitmap(d.Vib() + kVibBitmap, d.Vib() + 256);
    p.clusters = {FileProperties::Cluster(100, 101), FileProperties::Cluster(200, 203)};
    p.updateDate = PackDate(5, 6, 7);
    ASSERT_EQ(d.drive.SetFileProperties(fdr, p), 1);
    const uint8_t* f = d.SectorBytes(fdr);
    EXPECT_EQ(Be16(f + kFdrSectors), 6);
    EXPECT_EQ(Le16(f + kFdrRecords), 6);
    EXPECT_EQ(Be16(f + kFdrUpdateDate), PackDate(5, 6, 7));
    EXPECT_EQ(d.drive.FileToDiskSector(fdr, 1), 101);
    EXPECT_EQ(d.drive.FileToDiskSector(fdr, 5), 203);
    EXPECT_EQ(f[kFdrClusters + 6], 0);
    EXPECT_EQ(std::vector<uint8_t>(d.Vib() + kVibBitmap, d.Vib() + 256), bitmap);

    // Lists the FDR cannot hold, and a name another file has, change nothing.
    const int other = d.drive.CreateFile("OTHER", 1, 0);
    const std::vector<uint8_t> before = d.Bytes();
    FileProperties bad = p;
    bad.clusters = {FileProperties::Cluster(50, 40)};
    EXPECT_EQ(d.drive.SetFileProperties(fdr, bad), 0);
    bad.clusters.assign(77, FileProperties::Cluster(10, 10));
    EXPECT_EQ(d.drive.SetFileProperties(fdr, bad), 0);
    EXPECT_EQ(d.drive.ErrorText(), "File fractured in too many clusters");
    bad = p;
    std::memcpy(bad.name.data(), "OTHER     ", 10);
    EXPECT_EQ(d.drive.SetFileProperties(fdr, bad), 0);
    EXPECT_EQ(d.drive.ErrorText(), "Name already exists");
    EXPECT_EQ(d.Bytes(), before);

    // A new name moves the file in the index; an empty cluster list keeps the clusters.
    p.clusters.clear();
    std::memcpy(p.name.data(), "ZZZ       ", 10);
    ASSERT_EQ(d.drive.SetFileProperties(fdr, p), 1);
    EXPECT_EQ(d.IndexEntry(0), other);
    EXPECT_EQ(d.IndexEntry(1), fdr);
    EXPECT_EQ(d.drive.FileToDiskSector(fdr, 5), 203);
}

TEST_P(OnEveryImageKind, SortIndexSortsByteWiseKeepingDamagedEntriesAfterTheFiles) {
    CImageBuilder builder;
    const int b = builder.AddFile(BuiltFile::Program("b", {1}));
    const int upper = builder.AddFile(BuiltFile::Program("B", {1}));
    const int a = builder.AddFile(BuiltFile::Program("A", {1}));
    const int dup = builder.AddFile(BuiltFile::Program("A", {2}));
    builder.SetIndex({b, dup, upper, a});
    MemDrive d(builder, Kind());
    ASSERT_EQ(d.drive.SortIndex(), 1);
    EXPECT_EQ(d.IndexEntry(0), dup);  // equal names keep their order
    EXPECT_EQ(d.IndexEntry(1), a);
    EXPECT_EQ(d.IndexEntry(2), upper);
    EXPECT_EQ(d.IndexEntry(3), b);

    builder.SetIndex({b, 300, a});  // sector 300 holds zeros: no name
    MemDrive damaged(builder, Kind());
    ASSERT_EQ(damaged.drive.SortIndex(), 1);
    EXPECT_EQ(damaged.IndexEntry(0), a);
    EXPECT_EQ(damaged.IndexEntry(1), b);
    EXPECT_EQ(damaged.IndexEntry(2), 300);
}

TEST_P(OnEveryImageKind, StampTimesFollowsThePolicy) {
    struct Row {
        int policy;
        bool creating;
        uint16_t updateDate, creationDate;
        bool updateStamped, creationStamped;
    };
    const uint16_t old = PackDate(1, 1, 90);
    const Row rows[] = {
        {0, true, 0, 0, false, false},     {0, false, old, old, false, false},
        {1, true, 0, 0, true, true},       {1, false, 0, 0, false, false},
        {1, false, old, old, true, false}, {1, false, old, 0, true, true},
        {1, true, old, old, true, true},   {2, false, 0, 0, true, true},
        {2, false, old, old, true, false},
    };
    LocalTime now{2025, 7, 4, 10, 11, 12};
    SetClockForTesting(&now);
    const uint16_t today = PackDate(4, 7, 2025);
    for (const Row& r : rows) {
        CImageBuilder builder;
        builder.SetStamps(0, r.creationDate, 0, r.updateDate);
        BuiltFile file = BuiltFile::Program("F", {1, 2});
        file.creationDate = r.creationDate;
        file.updateDate = r.updateDate;
        const int fdr = builder.AddFile(file);
        MemDrive d(builder, Kind());
        d.drive.SetConversion(-1, -1, -1, r.policy, -1);
        const std::vector<uint8_t> before = d.Bytes();
        ASSERT_EQ(d.drive.StampTimes(fdr, r.creating), 1);
        const uint8_t* f = d.SectorBytes(fdr);
        const std::string what =
            "policy " + std::to_string(r.policy) + (r.creating ? " creating" : "") + " update " +
            std::to_string(r.updateDate) + " creation " + std::to_string(r.creationDate);
        EXPECT_EQ(Be16(f + kFdrUpdateDate), r.updateStamped ? today : r.updateDate) << what;
        EXPECT_EQ(Be16(f + kFdrCreationDate), r.creationStamped ? today : r.creationDate) << what;
        // The disk is updated by the same rule, but a file's creation does not create the disk.
        const bool diskStamped = r.policy == 2 || (r.policy == 1 && r.updateDate != 0);
        EXPECT_EQ(Be16(d.Vib() + kVibUpdateDate), diskStamped ? today : r.updateDate) << what;
        EXPECT_EQ(Be16(d.Vib() + kVibCreationDate),
                  diskStamped && r.creationDate == 0 ? today : r.creationDate)
            << what;
        if (!r.updateStamped) {
            EXPECT_EQ(d.Bytes(), before) << what;
        }
    }
    SetClockForTesting(nullptr);
}

TEST(Plausibility, FdrChecks) {
    auto fdr = [](uint8_t status, uint8_t perSector, int sectors, uint8_t eof, uint8_t length,
                  int records) {
        Sector s{};
        std::memcpy(s.data(), "NAME      ", 10);
        s[kFdrStatus] = status;
        s[kFdrRecordsPerSector] = perSector;
        SetBe16(s.data() + kFdrSectors, static_cast<unsigned>(sectors));
        s[kFdrEofOffset] = eof;
        s[kFdrRecordLength] = length;
        SetLe16(s.data() + kFdrRecords, static_cast<unsigned>(records));
        if (sectors > 0) EncodeCluster(s.data() + kFdrClusters, 40, sectors - 1);
        return s;
    };
    struct Row {
        const char* what;
        Sector image;
        int expected;
    };
    Sector twoClusters = fdr(0x01, 0, 4, 10, 0, 0);
    EncodeCluster(twoClusters.data() + kFdrClusters, 40, 1);
    EncodeCluster(twoClusters.data() + kFdrClusters + 3, 60, 3);
    Sector backwards = twoClusters;
    EncodeCluster(backwards.data() + kFdrClusters + 3, 60, 1);
    Sector pastTotal = fdr(0x01, 0, 1, 0, 0, 0);
    EncodeCluster(pastTotal.data() + kFdrClusters, 360, 0);
    const Row rows[] = {
        {"program", fdr(0x01, 0, 3, 20, 0, 0), 1},
        {"protected program", fdr(0x09, 0, 3, 20, 0, 0), 1},
        {"program with records", fdr(0x01, 0, 3, 20, 0, 3), 0},
        {"program with record length", fdr(0x01, 0, 3, 20, 80, 0), 0},
        {"DIS/FIX 80", fdr(0x00, 3, 2, 0, 80, 5), 1},
        {"INT/FIX with end offset", fdr(0x02, 3, 2, 7, 80, 5), 0},
        {"DIS/FIX wrong records per sector", fdr(0x00, 2, 2, 0, 80, 5), 0},
        {"DIS/FIX 1 as a TI writes it", fdr(0x00, 0, 1, 0, 1, 7), 1},
        {"DIS/FIX 80 with the last sector's end offset", fdr(0x00, 3, 3, 160, 80, 8), 1},
        {"DIS/VAR 255 leaving room for the end mark", fdr(0x80, 0, 2, 9, 255, 2), 1},
        {"fixed without record length", fdr(0x00, 0, 2, 0, 0, 5), 0},
        {"DIS/VAR", fdr(0x80, 3, 258, 9, 80, 258), 1},
        {"INT/VAR record count differs", fdr(0x82, 1, 2, 9, 254, 3), 0},
        // Written by a TI controller: 256 / (85 + 1) records per sector.
        {"DIS/VAR 85 as TI controllers write it", fdr(0x80, 2, 2, 9, 85, 2), 1},
        {"DIS/VAR 85 as this system writes it", fdr(0x80, 3, 2, 9, 85, 2), 1},
        {"DIS/VAR 85 with neither count", fdr(0x80, 1, 2, 9, 85, 2), 0},
        {"DIS/FIX 85 is not let off the same way", fdr(0x00, 2, 2, 0, 85, 2), 0},
        {"invalid type 0x81", fdr(0x81, 3, 2, 0, 80, 2), 0},
        {"other status bits", fdr(0x11, 0, 1, 0, 0, 0), 0},
        {"more sectors than the disk", fdr(0x01, 0, 360, 0, 0, 0), 0},
        {"two clusters", twoClusters, 1},
        {"offsets not increasing", backwards, 0},
        {"cluster past the total", pastTotal, 0},
    };
    MemDrive d(test::EmptyDisk());
    for (const Row& r : rows)
        EXPECT_EQ(d.drive.CheckFdr(r.image.data()), r.expected) << r.what;
}

TEST_P(OnEveryImageKind, PlausibilitySectorContentsByType) {
    auto sector = [](std::initializer_list<int> bytes, uint8_t fill) {
        Sector s;
        s.fill(fill);
        int k = 0;
        for (int b : bytes)
            s[k++] = static_cast<uint8_t>(b);
        return s;
    };
    Sector exact = sector({}, 0);
    for (int at = 0; at < 256; at += 64) {
        exact[at] = 63;
    }
    Sector fdrLike{};
    std::memcpy(fdrLike.data(), "PROGRAM   ", 10);
    fdrLike[kFdrStatus] = 1;
    Sector fdrBadName = fdrLike;
    fdrBadName[3] = 0x05;
    struct Row {
        const char* what;
        Sector data;
        uint8_t status, length;
        int expected;
    };
    const Row rows[] = {
        {"program, anything", sector({1, 2, 3}, 0x99), 0x01, 0, 1},
        {"DIS/FIX, anything", sector({}, 0x00), 0x00, 80, 1},
        {"DIS/VAR zero-length record", sector({3, 'a', 'b', 'c', 0, 0xFF}, 0), 0x80, 80, 0},
        {"DIS/VAR ended by 0xFF", sector({3, 'a', 'b', 'c', 0xFF}, 0), 0x80, 80, 1},
        {"DIS/VAR record longer than allowed", sector({5, 1, 2, 3, 4, 5, 0xFF}, 0), 0x80, 4, 0},
        {"DIS/VAR records fill the sector", exact, 0x80, 80, 1},
        {"DIS/VAR record overruns the sector", sector({}, 200), 0x80, 254, 0},
        {"INT/VAR fields fill the record", sector({4, 1, 'x', 1, 'y', 0xFF}, 0), 0x82, 80, 1},
        {"INT/VAR field overruns", sector({4, 4, 'x', 1, 'y', 0xFF}, 0), 0x82, 80, 0},
        {"INT/FIX fields", sector({2, 'a', 'b', 0, 9, 9}, 0), 0x02, 4, 0},
        {"INT/FIX short records", sector({1, 'a', 0, 0}, 0), 0x02, 4, 1},
        {"INT/FIX field past record end", sector({4, 'a'}, 0), 0x02, 4, 0},
        {"FDR", fdrLike, 0x03, 0, 1},
        {"FDR with unprintable name", fdrBadName, 0x03, 0, 0},
        {"invalid type", sector({}, 0), 0x81, 80, 0},
    };
    for (const Row& r : rows) {
        MemDrive d(test::EmptyDisk(), Kind());
        std::memcpy(d.SectorData(50), r.data.data(), 256);
        EXPECT_EQ(d.drive.CheckSectorContents(50, r.status, r.length), r.expected) << r.what;
    }
    MemDrive d(test::EmptyDisk(), Kind());
    EXPECT_EQ(d.drive.CheckSectorContents(d.drive.Capacity() + 40, 0, 80), -1);
}

}  // namespace
}  // namespace tavik
