// Disks of 80 tracks, two sides, double density (2880 sectors), whose bitmap holds one bit for
// every two sectors: an empty one another tool formatted is filled past sector 1600 as a sector
// dump and as an HFE image, and a disk formatted here matches it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "base/PcFile.h"
#include "disk/CheckReport.h"
#include "disk/HfeImage.h"
#include "disk/Layout.h"
#include "disk/VirtualDrive.h"
#include "support/Holdings.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using namespace layout;

struct Kind {
    const char* name;
    bool hfe;
};
constexpr Kind kKinds[] = {{"sector dump", false}, {"HFE image", true}};

std::string WriteImage(const std::vector<uint8_t>& dump, bool hfe) {
    const std::string path = test::TempFolder() + (hfe ? "/big.hfe" : "/big.dsk");
    EXPECT_TRUE(WriteWholeFile(path, hfe ? BuildHfeImage({80, 2, true}, dump) : dump));
    return path;
}

std::string CheckText(CVirtualDrive& drive) {
    int flags = -1;
    DiskUsage usage;
    if (!drive.CheckDisk(flags, usage)) return drive.ErrorText();
    return CheckReport(flags, usage);
}

// The allocation units the files hold, from their FDRs and cluster lists.
std::set<int> UnitsOfFiles(CVirtualDrive& drive) {
    std::set<int> units{0};
    std::vector<FileProperties> files;
    EXPECT_EQ(drive.ReadCatalog(files), 1);
    for (const FileProperties& f : files) {
        units.insert(f.fdrSector / 2);
        for (uint32_t c : f.clusters)
            for (int s = FileProperties::ClusterFirst(c); s <= FileProperties::ClusterLast(c); ++s)
                units.insert(s / 2);
    }
    return units;
}

// The file as imgtool extracts it (a TIFILES header, then the data sectors); empty when imgtool
// cannot read the disk.
std::vector<uint8_t> ImgtoolGet(const std::string& image, const std::string& name) {
    const std::string out = test::TempFolder() + "/" + name;
    const std::string command =
        "imgtool get v9t9 '" + image + "' " + name + " '" + out + "' >/dev/null 2>&1";
    std::vector<uint8_t> bytes;
    if (std::system(command.c_str()) != 0 || !ReadWholeFile(out, bytes) || bytes.size() < 128)
        return {};
    return std::vector<uint8_t>(bytes.begin() + 128, bytes.end());
}

TEST(BigDisk, FilesPastSector1600ReadBackAndTheBitmapHoldsExactlyTheirSectorPairs) {
    TAVIK_REQUIRE_TESTDATA(peer, "peer/hfe");
    std::vector<uint8_t> empty;
    ASSERT_TRUE(ReadWholeFile(peer + "/tiit80t.dsk", empty));
    const bool haveImgtool = std::system("imgtool listformats >/dev/null 2>&1") == 0;
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const std::string path = WriteImage(empty, kind.hfe);
        CVirtualDrive drive;
        ASSERT_NE(drive.OpenImage(path), 0);
        DiskInfo info;
        ASSERT_EQ(drive.GetDiskInfo(info), 1);
        EXPECT_EQ(info.freeSectors, 2878);

        // Odd and even sizes, the last two files far past sector 1600.
        std::map<std::string, std::vector<uint8_t>> files;
        const uint8_t header[kFdrClusters] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kStatusProgram};
        for (auto [name, sectors] :
             {std::pair{"ONE", 1}, {"TWO", 2}, {"FIVE", 5}, {"LONG", 701}, {"LONGER", 1500}}) {
            const std::vector<uint8_t> bytes = test::Pattern(size_t{256} * sectors, sectors & 0xFF);
            std::vector<Sector> data(static_cast<size_t>(sectors));
            for (size_t k = 0; k < data.size(); ++k)
                std::memcpy(data[k].data(), &bytes[256 * k], 256);
            ASSERT_GE(drive.PutFile(name, header, data, PutStamps::AsNew), 2) << drive.ErrorText();
            files[name] = bytes;
        }
        // A file grown sector by sector fills the rest of each unit before it takes another.
        const int grown = drive.CreateFile("GROWN", kStatusProgram, 0);
        ASSERT_EQ(grown % 2, 0);
        std::vector<int> taken;
        for (int k = 0; k < 3; ++k)
            taken.push_back(drive.AppendSector(grown));
        EXPECT_EQ(taken, (std::vector<int>{grown + 2, grown + 3, grown + 4}));
        files["GROWN"] = std::vector<uint8_t>(3 * 256, 0xE5);  // as the disk was formatted
        // Deleting frees whole units; undeleting takes them back.
        ASSERT_EQ(drive.GetDiskInfo(info), 1);
        const int freeBefore = info.freeSectors;
        ASSERT_EQ(drive.DeleteFile(drive.FindFile("TWO")), 1);
        ASSERT_EQ(drive.GetDiskInfo(info), 1);
        EXPECT_EQ(info.freeSectors, freeBefore + 4);
        ASSERT_GE(drive.UndeleteFile("TWO", -1), 2);

        for (int pass = 0; pass < 2; ++pass) {
            SCOPED_TRACE(pass ? "defragmented" : "as written");
            for (const auto& [name, bytes] : files) {
                const int fdr = drive.FindFile(name);
                ASSERT_GE(fdr, 2) << name;
                EXPECT_TRUE(test::FileBytes(drive, fdr) == bytes) << name;
            }
            const std::set<int> units = UnitsOfFiles(drive);
            EXPECT_GT(*units.rbegin(), 800);  // sector 1600 and on
            ASSERT_EQ(drive.ReadVib(true), 1);
            const uint8_t* vib = drive.VibBuffer();
            for (int u = 0; u < kBitmapBits; ++u)
                ASSERT_EQ(BitmapUsed(vib, 2 * u), u >= 1440 || units.count(u) > 0) << "unit " << u;
            ASSERT_EQ(drive.GetDiskInfo(info), 1);
            EXPECT_EQ(info.freeSectors, 2880 - 2 * static_cast<int>(units.size()));
            EXPECT_EQ(CheckText(drive), "");
            ASSERT_EQ(drive.Defragment(), 1) << drive.ErrorText();
        }
        if (kind.hfe || !haveImgtool) continue;
        drive.Close();
        for (const auto& [name, bytes] : files)
            EXPECT_TRUE(ImgtoolGet(path, name) == bytes) << "imgtool reads " << name;
    }
}

// Formatted here, an 80-track disk has the VIB another tool gives it, but for name and stamps,
// and the disk check finds nothing to report.
TEST(BigDisk, FormattedLikeThePeerDisk) {
    TAVIK_REQUIRE_TESTDATA(peer, "peer/hfe");
    std::vector<uint8_t> peerDisk;
    ASSERT_TRUE(ReadWholeFile(peer + "/tiit80t.dsk", peerDisk));
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const std::string path = test::TempFolder() + "/new";
        CVirtualDrive drive;
        ASSERT_NE(kind.hfe ? drive.CreateHfeImage(path, true, true, 80)
                           : drive.CreateImage(path, true, true, false, 80),
                  0);
        ASSERT_EQ(drive.Format("NEW", true, true, 0, 80), 1) << drive.ErrorText();
        Sector vib, index;
        ASSERT_EQ(drive.ReadSector(0, vib.data()), 1);
        ASSERT_EQ(drive.ReadSector(1, index.data()), 1);
        for (int k = kVibTotal; k < kSectorSize; ++k) {
            const bool stamp = k >= kVibCreationTime && k < kVibCreationTime + 8;
            EXPECT_TRUE(stamp || vib[k] == peerDisk[k]) << "VIB byte " << k;
        }
        EXPECT_EQ(std::memcmp(index.data(), &peerDisk[256], 256), 0);
        EXPECT_EQ(CheckText(drive), "");
    }
}

}  // namespace
}  // namespace tavik
