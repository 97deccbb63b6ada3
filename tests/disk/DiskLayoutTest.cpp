#include <gtest/gtest.h>

#include <cstring>

#include "base/PcFile.h"
#include "disk/Catalog.h"
#include "disk/Layout.h"
#include "disk/TiDateTime.h"
#include "disk/VirtualDrive.h"
#include "support/ImageBuilder.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;

int MountImage(CVirtualDrive& drive, std::vector<uint8_t> bytes) {
    return drive.MountFile(std::make_unique<CMemFile>(std::move(bytes)), 0, 0, -1);
}

uint8_t* SectorOf(std::vector<uint8_t>& image, int n) {
    return image.data() + static_cast<size_t>(n) * kSectorSize;
}

std::string Name10(const char* name) {
    std::string s(name);
    s.resize(10, ' ');
    return s;
}

TEST(DiskQueries, PropertiesOfABuiltDisk) {
    CImageBuilder builder(720, true, false);
    builder.SetName("WORK").SetProtected(true).SetStamps(PackTime(10, 20, 30), PackDate(1, 2, 99),
                                                         PackTime(11, 0, 0), PackDate(3, 4, 5));
    builder.AddFile(BuiltFile::Program("B", std::vector<uint8_t>(1000, 1)));  // 4 sectors
    builder.AddFile(BuiltFile::Fixed("A", false, 80, {"x", "y", "z", "w"}));  // 2 sectors
    CVirtualDrive drive;
    ASSERT_TRUE(MountImage(drive, builder.Image()));

    EXPECT_EQ(drive.GetDiskName(), Name10("WORK"));
    DiskInfo info;
    ASSERT_TRUE(drive.GetDiskInfo(info));
    EXPECT_EQ(info.name, Name10("WORK"));
    EXPECT_TRUE(info.doubleSided);
    EXPECT_FALSE(info.doubleDensity);
    EXPECT_TRUE(info.isProtected);
    EXPECT_EQ(info.totalSectors, 720);
    EXPECT_EQ(info.freeSectors, 720 - 2 - 2 - 6);
    EXPECT_EQ(info.files, 2);

    DiskProperties p;
    ASSERT_TRUE(drive.GetDiskProperties(p));
    EXPECT_EQ(p.totalSectors, 720);
    EXPECT_EQ(p.sectorsPerTrack, 9);
    EXPECT_EQ(std::memcmp(p.dsk.data(), "DSK", 3), 0);
    EXPECT_EQ(p.protection, 0x50);
    EXPECT_EQ(p.sides, 2);
    EXPECT_EQ(p.creationTime, PackTime(10, 20, 30));
    EXPECT_EQ(p.creationDate, PackDate(1, 2, 99));
    EXPECT_EQ(p.updateTime, PackTime(11, 0, 0));
    EXPECT_EQ(p.updateDate, PackDate(3, 4, 5));
    EXPECT_EQ(p.freeSectors, info.freeSectors);
    EXPECT_EQ(p.driveKind, DriveKind::DoadImage);

    // Writing the record back changes bytes 0-27 and keeps the bitmap.
    p.name[0] = 'V';
    p.totalSectors = 700;
    p.updateDate = PackDate(9, 9, 9);
    ASSERT_TRUE(drive.SetDiskProperties(p));
    Sector vib{};
    ASSERT_TRUE(drive.ReadSector(0, vib.data()));
    const std::vector<uint8_t> original = builder.Image();
    EXPECT_EQ(vib[0], 'V');
    EXPECT_EQ(layout::Be16(vib.data() + 10), 700);
    EXPECT_EQ(layout::Be16(vib.data() + 26), PackDate(9, 9, 9));
    EXPECT_EQ(layout::Be16(vib.data() + 20), PackTime(10, 20, 30));
    EXPECT_EQ(std::memcmp(vib.data() + 28, original.data() + 28, 256 - 28), 0);
}

TEST(DiskQueries, FreeSectorsAreCountedOnlyBelow1440) {
    CImageBuilder big(1600, true, true);
    big.SetSectorsPerTrack(20);
    big.AddFile(BuiltFile::Program("P", std::vector<uint8_t>(256 * 3, 0)));
    std::vector<uint8_t> image = big.Image();
    // Clear every bit of the last 160 sectors: they still do not count.
    std::memset(SectorOf(image, 0) + 56 + 180, 0, 20);
    CVirtualDrive drive;
    ASSERT_TRUE(MountImage(drive, image));
    DiskInfo info;
    ASSERT_TRUE(drive.GetDiskInfo(info));
    EXPECT_EQ(info.freeSectors, 1440 - 2 - 1 - 3);
    EXPECT_EQ(info.totalSectors, 1600);
}

TEST(DiskQueries, BitsPastTheTotalNeverCountAsFree) {
    // Some tools leave the bitmap past the total clear. Sectors 0 and 1 and the FDR at 2 stay
    // marked used (a 3-sector disk has no room for the file, so only 0 and 1 are used there).
    const std::pair<int, int> rows[] = {{720, 717}, {361, 358}, {3, 1}, {0, 0}};
    for (auto [total, free] : rows) {
        CImageBuilder builder(std::max(total, 3));
        builder.AddFile(BuiltFile::Program("P", {1}));
        std::vector<uint8_t> image = builder.Image();
        image[10] = static_cast<uint8_t>(total >> 8);
        image[11] = static_cast<uint8_t>(total);
        std::memset(SectorOf(image, 0) + 56 + 1, 0, 199);
        CVirtualDrive drive;
        ASSERT_TRUE(MountImage(drive, image));
        DiskInfo info;
        ASSERT_TRUE(drive.GetDiskInfo(info));
        EXPECT_EQ(info.freeSectors, free) << total;
    }
}

TEST(DiskQueries, FileCountStopsAtTheFirstZeroEntry) {
    CImageBuilder builder;
    const int a = builder.AddFile(BuiltFile::Program("A", {1}));
    const int b = builder.AddFile(BuiltFile::Program("B", {1}));
    CVirtualDrive drive;

    builder.SetIndex({0, a, b});
    ASSERT_TRUE(MountImage(drive, builder.Image()));
    DiskInfo info;
    ASSERT_TRUE(drive.GetDiskInfo(info));
    EXPECT_EQ(info.files, 0);
    int position = 0;
    EXPECT_EQ(drive.NextFdr(position), 0);
    EXPECT_EQ(drive.FindFile("A"), 0);

    // A full index has no terminating 0.
    std::vector<int> full(128, a);
    full[127] = b;
    builder.SetIndex(full);
    ASSERT_TRUE(MountImage(drive, builder.Image()));
    ASSERT_TRUE(drive.GetDiskInfo(info));
    EXPECT_EQ(info.files, 128);
    position = 126;
    EXPECT_EQ(drive.NextFdr(position), a);
    EXPECT_EQ(position, 127);
    EXPECT_EQ(drive.NextFdr(position), b);
    EXPECT_EQ(position, 128);
    EXPECT_EQ(drive.NextFdr(position), 0);
    EXPECT_EQ(position, 0);
    position = -4;
    EXPECT_EQ(drive.NextFdr(position), 0);
}

TEST(FileQueries, FindFilePadsCutsAndComparesExactly) {
    CImageBuilder builder;
    const int a = builder.AddFile(BuiltFile::Program("A", {1}));
    const int lower = builder.AddFile(BuiltFile::Program("a", {1}));
    const int longName = builder.AddFile(BuiltFile::Program("ABCDEFGHIJ", {1}));
    const int high = builder.AddFile(BuiltFile::Program("\xC4PFEL", {1}));
    CVirtualDrive drive;
    ASSERT_TRUE(MountImage(drive, builder.Image()));
    EXPECT_EQ(drive.FindFile("A"), a);
    EXPECT_EQ(drive.FindFile("A         "), a);
    EXPECT_EQ(drive.FindFile("a"), lower);
    EXPECT_EQ(drive.FindFile("ABCDEFGHIJKLM"), longName);
    EXPECT_EQ(drive.FindFile("ABCDEFGHI"), 0);
    EXPECT_EQ(drive.FindFile("\xC4PFEL"), high);
    EXPECT_EQ(drive.FindFile(""), 0);
    EXPECT_EQ(drive.GetFileName(longName), "ABCDEFGHIJ");
    EXPECT_EQ(drive.GetFileName(0), "");
}

TEST(FileQueries, PropertiesAndTheLittleEndianRecordCount) {
    CImageBuilder builder(720, true, false);
    BuiltFile file = BuiltFile::Variable("LOG", false, 80, {});
    file.sectors = 258;
    file.records = 258;
    file.eofOffset = 17;
    file.status = 0x88;  // DIS/VAR, protected
    file.creationDate = PackDate(24, 12, 84);
    const int fdr = builder.AddFile(file);
    const std::vector<uint8_t> image = builder.Image();
    const uint8_t* raw = image.data() + size_t{kSectorSize} * fdr;
    EXPECT_EQ(raw[14], 0x01);
    EXPECT_EQ(raw[15], 0x02);
    EXPECT_EQ(raw[18], 0x02);
    EXPECT_EQ(raw[19], 0x01);

    CVirtualDrive drive;
    ASSERT_TRUE(MountImage(drive, image));
    FileProperties p;
    ASSERT_TRUE(drive.GetFileProperties(fdr, p));
    EXPECT_EQ(p.sectors, 258);
    EXPECT_EQ(p.records, 258);
    EXPECT_EQ(p.eofOffset, 17);
    EXPECT_EQ(p.status, 0x88);
    EXPECT_EQ(p.recordLength, 80);
    EXPECT_EQ(p.creationDate, PackDate(24, 12, 84));
    EXPECT_EQ(p.fdrSector, fdr);
    ASSERT_EQ(p.clusterCount, 1);
    EXPECT_EQ(p.clusters[0], FileProperties::Cluster(34, 34 + 257));
    FileInfo info;
    ASSERT_TRUE(drive.GetFileInfo(fdr, info));
    EXPECT_EQ(info.name, Name10("LOG"));
    EXPECT_EQ(info.sectors, 258);
    EXPECT_EQ(info.status, 0x88);
}

// An FDR with hand-written cluster entries (start, last offset).
std::vector<uint8_t> ImageWithClusters(const std::vector<std::pair<int, int>>& clusters, int& fdr) {
    CImageBuilder builder;
    BuiltFile file = BuiltFile::Program("F", {});
    file.sectors = 0;
    fdr = builder.AddFile(file);
    std::vector<uint8_t> image = builder.Image();
    uint8_t* f = SectorOf(image, fdr);
    for (size_t k = 0; k < clusters.size(); ++k)
        layout::EncodeCluster(f + 28 + 3 * k, clusters[k].first, clusters[k].second);
    for (int n = 0; n < 360; ++n)
        if (n != fdr && n > 1) std::memset(SectorOf(image, n), n & 0xFF, kSectorSize);
    return image;
}

TEST(FileQueries, MappingBetweenFileAndDiskSectors) {
    int fdr = 0;
    CVirtualDrive drive;
    ASSERT_TRUE(MountImage(drive, ImageWithClusters({{100, 1}, {200, 5}}, fdr)));
    struct Row {
        int offset, disk;
    } rows[] = {{-2, 0}, {-1, fdr}, {0, 100}, {1, 101}, {2, 200}, {3, 201}, {5, 203}, {6, 0}};
    for (const Row& r : rows)
        EXPECT_EQ(drive.FileToDiskSector(fdr, r.offset), r.disk) << r.offset;
    Sector s{};
    EXPECT_EQ(drive.FileToDiskSector(fdr, 3, s.data()), 201);
    EXPECT_EQ(s[0], 201);

    struct Back {
        int disk, offset;
    } back[] = {{fdr, -1}, {100, 0}, {101, 1}, {102, -2}, {199, -2}, {200, 2}, {203, 5}, {204, -2}};
    for (const Back& b : back)
        EXPECT_EQ(drive.DiskToFileSector(fdr, b.disk), b.offset) << b.disk;
    EXPECT_EQ(drive.DiskToFileSector(1, 5), -3);
    EXPECT_EQ(drive.FileToDiskSector(1, 0), -1);

    FileProperties p;
    ASSERT_TRUE(drive.GetFileProperties(fdr, p));
    ASSERT_EQ(p.clusterCount, 2);
    EXPECT_EQ(p.clusters[0], FileProperties::Cluster(100, 101));
    EXPECT_EQ(p.clusters[1], FileProperties::Cluster(200, 203));
}

TEST(FileQueries, SeventySixClustersFillTheFdr) {
    std::vector<std::pair<int, int>> clusters;
    for (int k = 0; k < 76; ++k)
        clusters.push_back({40 + 3 * k, k});
    int fdr = 0;
    std::vector<uint8_t> image = ImageWithClusters(clusters, fdr);
    const uint8_t* f = SectorOf(image, fdr);
    EXPECT_EQ(layout::DecodeCluster(f + 253, 74).start, 40 + 3 * 75);
    CVirtualDrive drive;
    ASSERT_TRUE(MountImage(drive, image));
    FileProperties p;
    ASSERT_TRUE(drive.GetFileProperties(fdr, p));
    EXPECT_EQ(p.clusterCount, 76);
    EXPECT_EQ(drive.FileToDiskSector(fdr, 75), 40 + 3 * 75);
    EXPECT_EQ(drive.FileToDiskSector(fdr, 76), 0);
}

TEST(Catalog, ReadsEachSectorOnceAndShowsInvalidTypesEmpty) {
    CImageBuilder builder;
    builder.AddFile(BuiltFile::Program("PROG", std::vector<uint8_t>(700, 1)));
    builder.AddFile(BuiltFile::Variable("TEXT", false, 80, {"hello", "world"}));
    BuiltFile odd = BuiltFile::Program("ODD", {1});
    odd.status = 0x83;
    builder.AddFile(odd);
    CVirtualDrive drive;
    ASSERT_TRUE(MountImage(drive, builder.Image()));
    for (int pass = 0; pass < 2; ++pass) {
        const uint64_t before = drive.SectorsRead();
        Catalog catalog;
        ASSERT_TRUE(ReadCatalog(drive, catalog));
        EXPECT_EQ(drive.SectorsRead() - before, 2u + 3u);
        EXPECT_EQ(drive.CacheLevelSetting(), CacheNothing);
        ASSERT_EQ(catalog.files.size(), 3u);
        EXPECT_EQ(catalog.disk.files, 3);
        EXPECT_EQ(TrimmedName(catalog.files[0].name.data(), 10), "ODD");
        EXPECT_EQ(CatalogTypeText(catalog.files[0].status, 0), "");
        EXPECT_EQ(CatalogTypeText(catalog.files[1].status, 0), "Prog");
        EXPECT_EQ(CatalogTypeText(catalog.files[2].status, 80), "DV80");
    }
    EXPECT_EQ(TrimmedName(reinterpret_cast<const uint8_t*>("          "), 10), "");
    EXPECT_EQ(TrimmedName(reinterpret_cast<const uint8_t*>(" A B      "), 10), " A B");
}

// Damaged index entries (past the drive or the image, the system sectors, a sector that holds
// no FDR) are skipped: the files after them are listed and found; nothing is read outside the
// image.
TEST(BadInput, DamagedIndexEntriesHideNoFile) {
    CImageBuilder builder;
    const int good = builder.AddFile(BuiltFile::Program("GOOD", {1}));
    const int last = builder.AddFile(BuiltFile::Program("LAST", {2}));
    const std::vector<std::vector<int>> indexes = {
        {good, 1600, 65535, last}, {good, 300, last}, {1, good, last}, {good, 200, last}};
    for (const std::vector<int>& index : indexes) {
        builder.SetIndex(index);
        std::vector<uint8_t> image = builder.Image();
        image.resize(250 * kSectorSize);  // sector 300 lies past the end of the file
        CVirtualDrive drive;
        ASSERT_TRUE(MountImage(drive, image));
        Catalog catalog;
        EXPECT_TRUE(ReadCatalog(drive, catalog)) << index[1];
        ASSERT_EQ(catalog.files.size(), 2u) << index[1];
        EXPECT_EQ(catalog.files[1].fdrSector, last);
        EXPECT_EQ(catalog.disk.files, static_cast<int>(index.size()));
        EXPECT_EQ(drive.FindFile("NOTHERE"), 0);
        EXPECT_EQ(drive.FindFile("LAST"), last);
        int position = 0;
        EXPECT_EQ(drive.NextFdr(position), good);
        EXPECT_EQ(drive.NextFdr(position), last);
        EXPECT_EQ(drive.NextFdr(position), 0);
    }
    CVirtualDrive drive;
    ASSERT_TRUE(MountImage(drive, builder.Image()));
    FileProperties p;
    EXPECT_FALSE(drive.GetFileProperties(1600, p));
    EXPECT_EQ(drive.FileToDiskSector(65535, 0), -1);
    EXPECT_EQ(drive.DiskToFileSector(1700, 5), -3);
}

TEST(BadInput, GarbageClusterListsStayInsideTheDisk) {
    // Decreasing and zero-length entries, starts beyond the disk, an entry with start 0.
    int fdr = 0;
    CVirtualDrive drive;
    ASSERT_TRUE(MountImage(
        drive, ImageWithClusters({{50, 4}, {60, 2}, {4095, 4095}, {0, 4094}, {70, 4}}, fdr)));
    for (int offset = -3; offset < 4100; ++offset) {
        Sector s{};
        const int disk = drive.FileToDiskSector(fdr, offset, s.data());
        ASSERT_GE(disk, -1) << offset;
        if (disk > 1 && disk != fdr && disk < 360) {
            ASSERT_EQ(s[0], disk & 0xFF) << offset;
        }
    }
    EXPECT_EQ(drive.FileToDiskSector(fdr, 4), 54);
    EXPECT_EQ(drive.FileToDiskSector(fdr, 10, nullptr), 4095 + 10 - (2 + 1));
    Sector s{};
    EXPECT_EQ(drive.FileToDiskSector(fdr, 10, s.data()), -1);  // beyond the disk: no read
    for (int disk = 0; disk < 1600; ++disk) {
        const int offset = drive.DiskToFileSector(fdr, disk);
        ASSERT_GE(offset, -2) << disk;
        ASSERT_LE(offset, 4095) << disk;
    }
    FileProperties p;
    ASSERT_TRUE(drive.GetFileProperties(fdr, p));
    EXPECT_EQ(p.clusterCount, 5);
    for (uint32_t c : p.clusters)
        EXPECT_LE(FileProperties::ClusterFirst(c), 4095);
}

TEST(BadInput, RecordCountsThatDisagreeAreReportedAsStored) {
    CImageBuilder builder;
    BuiltFile file = BuiltFile::Fixed("FIX", false, 80, {"a", "b", "c"});
    file.records = 60000;  // far more than 1 sector of 3 records can hold
    const int fdr = builder.AddFile(file);
    BuiltFile var = BuiltFile::Variable("VAR", false, 80, {"a"});
    var.records = 0;
    var.sectors = 7;  // more sectors claimed than the clusters hold
    var.clusterSizes = {1};
    const int vfdr = builder.AddFile(var);
    CVirtualDrive drive;
    ASSERT_TRUE(MountImage(drive, builder.Image()));
    Catalog catalog;
    ASSERT_TRUE(ReadCatalog(drive, catalog));
    FileProperties p;
    ASSERT_TRUE(drive.GetFileProperties(fdr, p));
    EXPECT_EQ(p.records, 60000);
    ASSERT_TRUE(drive.GetFileProperties(vfdr, p));
    EXPECT_EQ(p.sectors, 7);
    EXPECT_EQ(drive.FileToDiskSector(vfdr, 1), 0);  // past the clusters
}

}  // namespace
}  // namespace tavik
