#include "disk/HfeImage.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <functional>

#include "DriveFixture.h"
#include "base/PcFile.h"
#include "disk/DiskTypes.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

std::vector<uint8_t> Gunzip(const std::string& path) {
    std::vector<uint8_t> bytes;
    gzFile in = gzopen(path.c_str(), "rb");
    if (!in) return bytes;
    uint8_t chunk[1 << 16];
    for (int n; (n = gzread(in, chunk, sizeof chunk)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    gzclose(in);
    return bytes;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

int Le16(const uint8_t* p) {
    return p[0] | p[1] << 8;
}

// Geometry of a sector dump by its size, as TI disks come.
HfeGeometry GeometryOfDump(size_t bytes) {
    switch (bytes / kSectorSize) {
        case 360:
            return {40, 1, false};
        case 720:
            return {40, 2, false};
        case 1440:
            return {40, 2, true};
        default:
            return {80, 2, true};
    }
}

std::vector<uint8_t> AllSectors(CHfeImage& hfe, CPcFile& file, int total) {
    std::vector<uint8_t> bytes(size_t{kSectorSize} * static_cast<size_t>(total));
    for (int n = 0; n < total; ++n)
        if (hfe.ReadSector(file, n, bytes.data() + size_t{kSectorSize} * n) != 0) {
            ADD_FAILURE() << "sector " << n;
            return {};
        }
    return bytes;
}

// One side's stream of a cylinder, gathered from the 256-byte halves of its blocks.
std::vector<uint8_t> SideStream(const std::vector<uint8_t>& image, int cylinder, int side) {
    const uint8_t* entry = image.data() + 512 + 4 * cylinder;
    const size_t offset = size_t(Le16(entry)) * 512, bytes = size_t(Le16(entry + 2)) / 2;
    std::vector<uint8_t> stream;
    for (size_t k = 0; k < bytes; ++k)
        stream.push_back(image[offset + k / 256 * 512 + size_t(side) * 256 + k % 256]);
    return stream;
}

TEST(HfePeer, EveryImageReadsSectorForSectorLikeItsDump) {
    TAVIK_REQUIRE_TESTDATA(dir, "peer/hfe");
    for (const char* name : {"hfedisk", "rsssd"}) {
        const std::vector<uint8_t> dump = ReadFile(dir + "/" + name + ".dsk");
        CVirtualDrive drive;
        ASSERT_EQ(
            drive.MountFile(std::make_unique<CMemFile>(Gunzip(dir + "/" + name + "_dsk.hfe.gz")), 0,
                            0, -1),
            DriveKind::HfeImage)
            << name << ": " << drive.ErrorText();
        EXPECT_EQ(drive.Size(), static_cast<int64_t>(dump.size())) << name;
        Sector data;
        for (size_t n = 0; n < dump.size() / kSectorSize; ++n) {
            ASSERT_TRUE(drive.ReadSector(static_cast<int>(n), data.data()))
                << name << " sector " << n << ": " << drive.ErrorText();
            ASSERT_EQ(std::memcmp(data.data(), dump.data() + n * kSectorSize, kSectorSize), 0)
                << name << " sector " << n;
        }
    }
}

// Every track and sector of 40- and 80-track disks, single and double density.
TEST(HfePeer, SectorDumpsBecomeHfeAndComeBackUnchanged) {
    TAVIK_REQUIRE_TESTDATA(dir, "peer/hfe");
    for (const char* name : {"hfedisk.dsk", "rsssd.dsk", "tiit80t.dsk"}) {
        const std::vector<uint8_t> dump = ReadFile(dir + "/" + name);
        const HfeGeometry g = GeometryOfDump(dump.size());
        CMemFile file(BuildHfeImage(g, dump));
        CHfeImage hfe;
        ASSERT_EQ(hfe.Open(file), 0) << name;
        EXPECT_EQ(hfe.Geometry().TotalSectors() * kSectorSize, static_cast<int>(dump.size()));
        EXPECT_EQ(hfe.Geometry().mfm, g.mfm);
        EXPECT_TRUE(AllSectors(hfe, file, g.TotalSectors()) == dump) << name;
        Sector past;
        EXPECT_EQ(hfe.ReadSector(file, g.TotalSectors(), past.data()), DiskError::PastEnd);
    }
}

TEST(HfeWritten, HeaderTrackTableAndBlockInterleave) {
    const HfeGeometry geometries[] = {{40, 1, false}, {40, 2, true}, {80, 2, false}};
    for (const HfeGeometry& g : geometries) {
        const std::vector<uint8_t> image = BuildHfeImage(g, test::Pattern(720 * 256, 5));
        const uint8_t* h = image.data();
        EXPECT_EQ(std::memcmp(h, "HXCPICFE", 8), 0);
        EXPECT_EQ(h[8], 0);  // format revision
        EXPECT_EQ(h[9], g.tracks);
        EXPECT_EQ(h[10], g.sides);
        EXPECT_EQ(h[11], g.mfm ? 0 : 2);  // ISO MFM, ISO FM
        EXPECT_EQ(Le16(h + 12), 250);     // kbit/s
        EXPECT_EQ(Le16(h + 14), 300);     // rpm
        EXPECT_EQ(h[16], 7);              // generic Shugart DD
        EXPECT_EQ(Le16(h + 18), 1);       // track table in block 1
        EXPECT_EQ(h[20], 0xFF);           // write allowed
        EXPECT_EQ(h[21], 0xFF);           // single step
        for (size_t i = 22; i < 512; ++i)
            ASSERT_EQ(h[i], 0xFF) << i;
        ASSERT_EQ(image.size(), size_t(2 + 49 * g.tracks) * 512);
        for (int t = 0; t < 128; ++t) {
            const uint8_t* entry = h + 512 + 4 * t;
            if (t >= g.tracks) {
                ASSERT_EQ(Le16(entry), 0xFFFF);
                continue;
            }
            ASSERT_EQ(Le16(entry), 2 + 49 * t);
            ASSERT_EQ(Le16(entry + 2), 25000);  // 12500 bytes a side: 200 ms at 500 kcells/s
            // The first half of each block is side 0, the second side 1 (empty on one side).
            for (int side = 0; side < 2; ++side) {
                CHfeTrack track(SideStream(image, t, side), true);
                const int spt = g.SectorsPerTrack();
                const int found = track.Scan({g.mfm, g.mfm ? 1 : 2});
                ASSERT_EQ(found, side < g.sides ? spt : 0) << t << "/" << side;
                std::vector<bool> seen(static_cast<size_t>(spt));
                for (const TrackSector& s : track.Sectors()) {
                    ASSERT_EQ(s.track, t);
                    ASSERT_EQ(s.side, side);
                    ASSERT_TRUE(s.hasData);
                    seen.at(s.sector) = true;
                }
            }
        }
    }
}

// The structure an independent tool wrote for a single-sided FM disk is the one written here.
TEST(HfeWritten, LaidOutAsAnotherToolLaysOutTheSameDisk) {
    TAVIK_REQUIRE_TESTDATA(dir, "peer/hfe");
    const std::vector<uint8_t> peer = Gunzip(dir + "/hfedisk_dsk.hfe.gz");
    const std::vector<uint8_t> ours = BuildHfeImage({40, 1, false}, ReadFile(dir + "/hfedisk.dsk"));
    ASSERT_GE(peer.size(), 1024u);
    for (size_t i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, 17, 18, 19, 20, 21})
        EXPECT_EQ(ours[i], peer[i]) << "header byte " << i;
    for (int t = 0; t < 40; ++t)
        EXPECT_EQ(Le16(&ours[512 + 4 * t]), Le16(&peer[512 + 4 * t])) << "track " << t;
}

TEST(HfeSectors, WritingChangesOnlyThatSectorsDataField) {
    for (bool mfm : {false, true}) {
        const HfeGeometry g{40, 2, mfm};
        std::vector<uint8_t> expected = test::Pattern(size_t(g.TotalSectors()) * 256, 9);
        CMemFile file(BuildHfeImage(g, expected));
        CHfeImage hfe;
        ASSERT_EQ(hfe.Open(file), 0);
        for (int n : {0, 13, g.TotalSectors() - 1}) {
            const std::vector<uint8_t> before = file.Bytes();
            const std::vector<uint8_t> data = test::Pattern(256, static_cast<uint8_t>(n + 1));
            ASSERT_EQ(hfe.WriteSector(file, n, data.data()), 0);
            std::memcpy(expected.data() + 256 * size_t(n), data.data(), 256);
            size_t changed = 0, first = SIZE_MAX, last = 0;
            for (size_t i = 0; i < before.size(); ++i)
                if (before[i] != file.Bytes()[i]) {
                    ++changed;
                    first = std::min(first, i);
                    last = i;
                }
            // The cells of 256 data bytes and the CRC (FM at twice its rate), and in MFM the
            // clock cell after them; all in one side of one track.
            const size_t field = mfm ? 258 * 2 + 1 : 258 * 4;
            EXPECT_LE(changed, field) << n;
            EXPECT_LT(last - first, 2 * field + 512) << n;
            // A fresh reader finds the new sector and every other one as it was.
            CMemFile copy(file.Bytes());
            CHfeImage again;
            ASSERT_EQ(again.Open(copy), 0);
            EXPECT_TRUE(AllSectors(again, copy, g.TotalSectors()) == expected)
                << "mfm " << mfm << " sector " << n;
        }
    }
}

// Damaged and lying images: what can be read is read, the rest fails sector by sector, and
// nothing is written outside the file or over its header.
TEST(HfeSectors, DamagedImagesMountWhatCanBeRead) {
    const HfeGeometry g{40, 2, false};
    const std::vector<uint8_t> sectors = test::Pattern(720 * 256, 3);
    const std::vector<uint8_t> good = BuildHfeImage(g, sectors);
    auto setEntry = [](std::vector<uint8_t>& b, int t, int offset) {
        b[512 + 4 * size_t(t)] = static_cast<uint8_t>(offset);
        b[513 + 4 * size_t(t)] = static_cast<uint8_t>(offset >> 8);
    };
    // The stream byte of the data field of a sector, found with the track codec.
    auto dataByte = [&](int cylinder, int sector, size_t skip) {
        CHfeTrack track(SideStream(good, cylinder, 0), true);
        track.Scan({false, 2});
        return track.Find(sector)->dataCell / 8 + skip;
    };
    auto streamOffset = [&](int cylinder, size_t k) {
        return size_t(Le16(&good[512 + 4 * size_t(cylinder)])) * 512 + k / 256 * 512 + k % 256;
    };
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        int mountError;                          // 0: mounts
        std::vector<std::pair<int, int>> reads;  // sector, expected result
    };
    const Case cases[] = {
        {"track count beyond the table",
         [&](auto& b) {
             b[9] = 80;
             for (int t = 40; t < 80; ++t)
                 setEntry(b, t, 0xFFFF);
         },
         0,
         {{0, 0}, {359, 0}, {360, 0}, {719, 0}, {720, DiskError::PastEnd}}},
        {"a track placed past the end",
         [&](auto& b) { setEntry(b, 39, 0xF000); },
         0,
         {{351, DiskError::PastEnd}, {361, DiskError::PastEnd}, {350, 0}, {369, 0}}},
        {"a track placed over the header",
         [&](auto& b) { setEntry(b, 5, 0); },
         0,
         {{45, DiskError::PastEnd}, {44, 0}, {54, 0}}},
        {"a bit rate of no density",
         [](auto& b) { b[12] = 0xE7, b[13] = 0x03; },
         0,
         {{0, 0}, {719, 0}}},
        {"an encoding that is not the tracks'", [](auto& b) { b[11] = 0; }, 0, {{0, 0}, {500, 0}}},
        {"a track without address marks",
         [&](auto& b) {
             for (size_t k = 0; k < 12500; ++k)
                 b[streamOffset(3, k)] = 0;
         },
         0,
         {{27, DiskError::ReadFailed}, {35, DiskError::ReadFailed}, {26, 0}, {36, 0}}},
        {"a bad data CRC",
         [&](auto& b) { b[streamOffset(2, dataByte(2, 4, 300))] ^= 0x08; },
         0,
         {{22, DiskError::ReadFailed}, {21, 0}, {23, 0}}},
        {"a bad ID CRC",
         [&](auto& b) { b[streamOffset(2, dataByte(2, 5, 0) - 90)] ^= 0x80; },
         0,
         {{23, DiskError::ReadFailed}, {22, 0}}},
        {"a file cut inside a track",
         [&](auto& b) { b.resize(streamOffset(20, 6000)); },
         0,
         {{179, 0}, {189, DiskError::PastEnd}, {360, DiskError::PastEnd}, {719, 0}}},
        {"no track at all", [](auto& b) { b.resize(1024); }, DiskError::PastEnd, {}},
        {"a cut header", [](auto& b) { b.resize(20); }, DiskError::PastEnd, {}},
        {"the third revision",
         [](auto& b) { std::memcpy(b.data(), "HXCHFEV3", 8); },
         DiskError::BadFormatSpec,
         {}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        CMemFile file(bytes);
        CHfeImage hfe;
        ASSERT_EQ(hfe.Open(file), c.mountError) << c.what;
        if (c.mountError) continue;
        Sector data;
        for (auto [n, expected] : c.reads) {
            EXPECT_EQ(hfe.ReadSector(file, n, data.data()), expected) << c.what << " " << n;
            if (expected == 0) {
                EXPECT_EQ(std::memcmp(data.data(), &sectors[256 * size_t(n)], 256), 0) << n;
            }
        }
        // Writing every sector keeps the file's length and its header and track table.
        for (int n = 0; n < 720; ++n)
            hfe.WriteSector(file, n, data.data());
        ASSERT_EQ(file.Bytes().size(), bytes.size()) << c.what;
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + std::min<size_t>(1024, bytes.size()),
                               file.Bytes().begin()))
            << c.what;
    }
}

// The file system on an HFE image: files copied in and deleted, a clean check, and the drive's
// limit of 1600 sectors on a disk of 2880.
TEST(HfeDrive, FileOperationsAndTheDrivesSectorLimit) {
    test::CImageBuilder builder(720, true, false);
    builder.AddFile(test::BuiltFile::Program("PROG", test::Pattern(5000, 3)));
    CVirtualDrive drive;
    ASSERT_EQ(drive.MountFile(std::make_unique<CMemFile>(builder.HfeImage()), 0, 0, -1),
              DriveKind::HfeImage);
    test::CImageBuilder other(360);
    other.AddFile(test::BuiltFile::Program("MORE", test::Pattern(3000, 4)));
    test::MemDrive source(other);
    ASSERT_EQ(source.drive.CopyFiles(drive, false, false), 1) << drive.ErrorText();
    ASSERT_EQ(drive.DeleteFile(drive.FindFile("PROG")), 1);
    int flags = -1;
    DiskUsage usage;
    ASSERT_EQ(drive.CheckDisk(flags, usage), 1);
    EXPECT_EQ(flags, 0);
    EXPECT_EQ(test::FileBytes(drive, drive.FindFile("MORE")),
              test::FileBytes(source.drive, source.drive.FindFile("MORE")));
    // The image's tracks hold 720 sectors.
    EXPECT_EQ(drive.Format("BIG", true, true, 1440, 40), 0);
    EXPECT_EQ(drive.ErrorText(), "Past end of drive");

    // A disk of 2880 sectors: the drive reaches the first 1600, and neither a conversion nor a
    // copy, which would leave the others behind, reports success.
    std::vector<uint8_t> sectors = test::Pattern(2880 * 256, 1);
    const uint8_t vib[20] = {'E',  'I',  'G', 'H', 'T', 'Y', ' ', ' ', ' ', ' ',
                             0x0B, 0x40, 18,  'D', 'S', 'K', ' ', 80,  2,   2};
    std::memcpy(sectors.data(), vib, sizeof vib);
    const std::vector<uint8_t> image = BuildHfeImage({80, 2, true}, sectors);
    const std::string path = test::TempFolder() + "/eighty.hfe";
    ASSERT_TRUE(WriteWholeFile(path, image));
    CVirtualDrive eighty;
    ASSERT_EQ(eighty.OpenImage(path), DriveKind::HfeImage);
    EXPECT_EQ(eighty.Size(), 2880 * 256);
    Sector data;
    ASSERT_EQ(eighty.ReadSector(1599, data.data()), 1);
    EXPECT_EQ(std::memcmp(data.data(), &sectors[1599 * 256], 256), 0);
    EXPECT_EQ(eighty.ReadSector(1600, data.data()), 0);
    EXPECT_EQ(eighty.ErrorText(), "Past end of drive");
    EXPECT_EQ(eighty.ConvertImage(false, true, true), 0);
    EXPECT_EQ(eighty.ErrorText(), "Past end of drive");
    EXPECT_EQ(eighty.CopySectors(drive, false), 0);
    std::vector<uint8_t> after;
    ASSERT_TRUE(ReadWholeFile(path, after));
    EXPECT_TRUE(after == image);
}

}  // namespace
}  // namespace tavik
