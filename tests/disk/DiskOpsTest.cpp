#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>

#include "DriveFixture.h"
#include "disk/CheckReport.h"
#include "support/ScriptedPrompt.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using namespace layout;
using test::BuiltFile;
using test::CImageBuilder;
using test::MaxSectorsOf;
using test::MemDrive;
using test::OnEveryImageKind;

// Five files, each split into several clusters, on a double-sided disk.
CImageBuilder FragmentedDisk() {
    CImageBuilder builder(720, true, false);
    const char* names[] = {"ECHO", "ALPHA", "DELTA", "CHARLIE", "BRAVO"};
    for (int k = 0; k < 5; ++k) {
        BuiltFile f = BuiltFile::Program(
            names[k], test::Pattern(static_cast<size_t>(12 + k) * 256, static_cast<uint8_t>(k)));
        f.clusterSizes = {3, 4, 2, 3 + k};
        builder.AddFile(f);
    }
    return builder;
}

TEST_P(OnEveryImageKind, FormatWritesTheVibForSidesAndDensity) {
    struct Row {
        bool ds, dd;
        int total, tracks;
        int expectedTotal, perTrack, sides, density, expectedTracks;
    };
    const Row rows[] = {
        {false, false, 0, 0, 360, 9, 1, 1, 40},    {true, false, 0, 0, 720, 9, 2, 1, 40},
        {false, true, 0, 0, 720, 18, 1, 2, 40},    {true, true, 0, 35, 1440, 18, 2, 2, 35},
        {true, true, 1600, 0, 1600, 18, 2, 2, 40},
    };
    for (const Row& r : rows) {
        // The largest image of the kind; a volume it cannot hold is refused.
        MemDrive d(std::vector<uint8_t>(256 * size_t(MaxSectorsOf(Kind())), 0xE5), Kind());
        const std::vector<uint8_t> blank = d.Bytes();
        if (!Holds(r.expectedTotal)) {
            EXPECT_EQ(d.drive.Format("NEWDISK", r.ds, r.dd, r.total, r.tracks), 0);
            EXPECT_EQ(d.drive.ErrorText(), "Past end of drive");
            EXPECT_EQ(d.Bytes(), blank);
            continue;
        }
        ASSERT_EQ(d.drive.Format("NEWDISK", r.ds, r.dd, r.total, r.tracks), 1);
        const uint8_t* v = d.Vib();
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(v), 10), "NEWDISK   ");
        EXPECT_EQ(Be16(v + kVibTotal), r.expectedTotal);
        EXPECT_EQ(v[kVibSectorsPerTrack], r.perTrack);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(v + kVibDsk), 3), "DSK");
        EXPECT_EQ(v[kVibProtection], 0x20);
        EXPECT_EQ(v[kVibTracksPerSide], r.expectedTracks);
        EXPECT_EQ(v[kVibSides], r.sides);
        EXPECT_EQ(v[kVibDensity], r.density);
        EXPECT_NE(Be16(v + kVibCreationDate), 0);
        EXPECT_TRUE(std::all_of(v + 28, v + 56, [](uint8_t b) { return b == 0; }));
        EXPECT_EQ(d.Files(), 0);
    }

    MemDrive small(test::EmptyDisk(), Kind());
    const std::vector<uint8_t> before = small.Bytes();
    EXPECT_EQ(small.drive.Format("BIG", true, true, 1440, 40), 0);
    EXPECT_EQ(small.drive.ErrorText(), "Past end of drive");
    EXPECT_EQ(small.Bytes(), before);
}

TEST_P(OnEveryImageKind, PurgeDiskEmptiesTheBitmapAndIndexKeepingTheDisk) {
    struct Row {
        int total;
        int zeroUpTo;  // bitmap bytes 57 .. zeroUpTo-1 are 0x00, the rest 0xFF
    };
    for (const Row& r : {Row{360, 101}, Row{720, 146}, Row{1440, 236}, Row{364, 101}}) {
        if (!Holds(r.total)) continue;
        CImageBuilder builder(r.total, r.total > 360, r.total > 720);
        builder.SetName("KEEPME").SetProtected(true);
        builder.AddFile(BuiltFile::Program("FILE", test::Pattern(2000, 1)));
        MemDrive d(builder, Kind());
        ASSERT_EQ(d.drive.PurgeDisk(), 1);
        const uint8_t* v = d.Vib();
        EXPECT_EQ(v[kVibBitmap], 0x03);
        for (int at = 57; at < 256; ++at)
            ASSERT_EQ(v[at], at < r.zeroUpTo ? 0x00 : 0xFF) << r.total << " byte " << at;
        EXPECT_EQ(v[kVibProtection], 0x20);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(v), 10), "KEEPME    ");
        EXPECT_EQ(Be16(v + kVibTotal), r.total);
        EXPECT_TRUE(
            std::all_of(d.SectorBytes(1), d.SectorBytes(1) + 256, [](uint8_t b) { return !b; }));
    }
}

TEST_P(OnEveryImageKind, CopyDiskTheFourModes) {
    CImageBuilder builder = FragmentedDisk();
    builder.SetName("SOURCE");
    MemDrive source(builder, Kind());
    auto target = [] {
        std::vector<uint8_t> image = CImageBuilder(720, true, false).SetName("TARGET").Image();
        for (size_t at = 512; at < image.size(); ++at)
            image[at] = 0xAA;
        return image;
    };

    MemDrive all(target(), Kind());
    ASSERT_EQ(source.drive.CopyDisk(all.drive, CopyAllSectors), 1);
    EXPECT_EQ(all.Bytes(), source.Bytes());

    const std::vector<uint8_t> fresh = target();
    MemDrive used(fresh, Kind());
    ASSERT_EQ(source.drive.CopyDisk(used.drive, CopyUsedSectors), 1);
    for (int s = 0; s < 720; ++s) {
        const uint8_t* want = source.Used(s) ? source.SectorBytes(s) : fresh.data() + 256 * s;
        ASSERT_EQ(std::memcmp(used.SectorBytes(s), want, 256), 0) << s;
    }

    for (int mode : {CopyFilesAndVib, CopyFilesOnly}) {
        MemDrive files(target(), Kind());
        files.drive.CreateFile("GONE", 1, 0);
        ASSERT_EQ(source.drive.CopyDisk(files.drive, mode), 1) << mode;
        EXPECT_EQ(files.drive.GetDiskName(), mode == CopyFilesAndVib ? "SOURCE    " : "TARGET    ");
        EXPECT_EQ(files.drive.FindFile("GONE"), 0);
        ASSERT_EQ(files.Files(), 5);
        for (int k = 0; k < 5; ++k) {
            const int fdr = source.IndexEntry(k);
            EXPECT_EQ(test::FileBytes(files.drive, files.drive.FindFile(source.NameAt(k))),
                      test::FileBytes(source.drive, fdr))
                << mode << " " << k;
        }
    }
    EXPECT_EQ(source.drive.CopyDisk(all.drive, 4), 0);
}

TEST_P(OnEveryImageKind, CopyDiskF4AsksAndYesStops) {
    MemDrive source(FragmentedDisk(), Kind());
    test::CScriptedPrompt prompt;
    prompt.held = {PolledKey::F4};
    prompt.heldPolls = 1;
    prompt.answers = {PromptAnswer::No};
    source.drive.SetPrompt(&prompt);
    MemDrive target(test::EmptyDisk(720), Kind());
    ASSERT_EQ(source.drive.CopySectors(target.drive, false), 1);  // "No" goes on
    EXPECT_EQ(prompt.questions, std::vector<std::string>{"Abort copy?"});

    // A stopped copy leaves the target as it was.
    prompt.heldPolls = 1;
    prompt.answers = {PromptAnswer::Yes};
    MemDrive stopped(FragmentedDisk().SetName("STOPPED").Image(), Kind());
    const std::vector<uint8_t> before = stopped.Bytes();
    EXPECT_EQ(source.drive.CopyFiles(stopped.drive, false, true), 0);
    EXPECT_EQ(source.drive.ErrorText(), "User aborted operation");
    EXPECT_EQ(stopped.Bytes(), before);
    source.drive.SetPrompt(nullptr);
}

TEST_P(OnEveryImageKind, DefragmentEachFileOneClusterAfterItsFdrInNameOrder) {
    CImageBuilder builder = FragmentedDisk();
    builder.SetProtected(true);
    MemDrive d(builder, Kind());
    std::map<std::string, std::vector<uint8_t>> before;
    for (int k = 0; k < d.Files(); ++k)
        before[d.NameAt(k)] = test::FileBytes(d.drive, d.IndexEntry(k));

    ASSERT_EQ(d.drive.Defragment(), 1);
    int next = 2;
    for (int k = 0; k < d.Files(); ++k) {
        const int fdr = d.IndexEntry(k);
        EXPECT_EQ(fdr, next) << d.NameAt(k);
        FileProperties p;
        ASSERT_TRUE(d.drive.GetFileProperties(fdr, p));
        ASSERT_EQ(p.clusters.size(), 1u);
        EXPECT_EQ(FileProperties::ClusterFirst(p.clusters[0]), fdr + 1);
        EXPECT_EQ(test::FileBytes(d.drive, fdr), before[d.NameAt(k)]);
        next = fdr + 1 + p.sectors;
    }
    EXPECT_EQ(d.NameAt(0), "ALPHA     ");
    EXPECT_EQ(d.NameAt(4), "ECHO      ");
    EXPECT_EQ(d.Vib()[kVibProtection], 0x50);
    int flags = -1;
    DiskUsage usage;
    ASSERT_EQ(d.drive.CheckDisk(flags, usage), 1);
    EXPECT_EQ(CheckReport(flags, usage), "");
}

TEST_P(OnEveryImageKind, DefragmentAFailedOrStoppedRunLeavesTheDiskAsItWas) {
    // Stopped by the user while the files are being written back.
    {
        MemDrive d(FragmentedDisk(), Kind());
        const std::vector<uint8_t> before = d.Bytes();
        test::CScriptedPrompt prompt;
        prompt.held = {PolledKey::F4};
        prompt.answers = {PromptAnswer::No, PromptAnswer::No, PromptAnswer::No, PromptAnswer::Yes};
        prompt.defaultAnswer = PromptAnswer::No;
        // The first copy asks once per sector: let it through, then stop the second file.
        prompt.answers.insert(prompt.answers.begin(), 720, PromptAnswer::No);
        d.drive.SetPrompt(&prompt);
        EXPECT_EQ(d.drive.Defragment(), 0);
        EXPECT_EQ(d.drive.ErrorText(), "User aborted operation");
        EXPECT_EQ(d.Bytes(), before);
        d.drive.SetPrompt(nullptr);
    }
    // A disk whose files need more room once defragmented than there is.
    {
        CImageBuilder builder(360);
        builder.AddFile(BuiltFile::Program("A", test::Pattern(250 * 256, 1)));
        const int b = builder.AddFile(BuiltFile::Program("B", test::Pattern(256, 2)));
        std::vector<uint8_t> image = builder.Image();
        // B claims 150 sectors, all of them inside A's data.
        uint8_t* f = image.data() + 256 * b;
        SetBe16(f + kFdrSectors, 150);
        EncodeCluster(f + kFdrClusters, 40, 99);
        EncodeCluster(f + kFdrClusters + 3, 140, 149);
        MemDrive d(image, Kind());
        const std::vector<uint8_t> before = d.Bytes();
        EXPECT_EQ(d.drive.Defragment(), 0);
        EXPECT_EQ(d.drive.ErrorText(), "Disk is full");
        EXPECT_EQ(d.Bytes(), before);
    }
    // Two files of one name: rebuilding would empty the first.
    {
        CImageBuilder builder;
        builder.AddFile(BuiltFile::Program("SAME", test::Pattern(600, 1)));
        builder.AddFile(BuiltFile::Program("SAME", test::Pattern(900, 2)));
        MemDrive d(builder, Kind());
        const std::vector<uint8_t> before = d.Bytes();
        EXPECT_EQ(d.drive.Defragment(), 0);
        EXPECT_EQ(d.drive.ErrorText(), "Name already exists");
        EXPECT_EQ(d.Bytes(), before);
    }
}

TEST_P(OnEveryImageKind, CheckDiskProblemFlags) {
    struct Row {
        const char* what;
        std::vector<uint8_t> image;
        int flags;
    };
    auto sized = [](int total, bool ds, bool dd) {
        CImageBuilder b(total, ds, dd);
        return b.Image();
    };
    CImageBuilder unsorted;
    const int b = unsorted.AddFile(BuiltFile::Program("B", {1}));
    const int a = unsorted.AddFile(BuiltFile::Program("A", {1}));
    unsorted.SetIndex({b, a});
    CImageBuilder twice;
    twice.AddFile(BuiltFile::Program("A", {1}));
    twice.AddFile(BuiltFile::Program("A", {2}));
    CImageBuilder badFdr;
    const int one = badFdr.AddFile(BuiltFile::Program("ONE", {1}));
    badFdr.SetIndex({one, 1700});
    CImageBuilder badCluster;
    const int big = badCluster.AddFile(BuiltFile::Program("BIG", test::Pattern(512, 3)));
    std::vector<uint8_t> badClusterImage = badCluster.Image();
    EncodeCluster(badClusterImage.data() + 256 * big + kFdrClusters + 3, 1598, 4);

    const Row rows[] = {
        {"360 SSSD", sized(360, false, false), 0},
        {"720 SSSD", sized(720, false, false), kCheckSizeTooBig},
        {"720 DSSD", sized(720, true, false), 0},
        {"720 SSDD", sized(720, false, true), 0},
        {"1440 DSSD", sized(1440, true, false), kCheckSizeTooBig},
        {"1440 DSDD", sized(1440, true, true), 0},
        {"1600 DSDD", sized(1600, true, true), kCheckSizeTooBig},
        {"B before A", unsorted.Image(), kCheckNotSorted},
        {"same name twice", twice.Image(), kCheckNotSorted},
        {"FDR number 1700", badFdr.Image(), kCheckBadFdrNumber},
        {"cluster past sector 1599", badClusterImage, kCheckBadClusterSector},
    };
    for (const Row& r : rows) {
        if (!Holds(static_cast<int>(r.image.size() / 256))) continue;
        MemDrive d(r.image, Kind());
        int flags = -1;
        DiskUsage usage;
        EXPECT_EQ(d.drive.CheckDisk(flags, usage), 1) << r.what;
        EXPECT_EQ(flags, r.flags) << r.what;
    }
}

TEST_P(OnEveryImageKind, CheckDiskUsageTableAndReportLines) {
    CImageBuilder builder;
    const int a = builder.AddFile(BuiltFile::Program("A", test::Pattern(3 * 256, 1)));
    const int b = builder.AddFile(BuiltFile::Program("B", test::Pattern(2 * 256, 2)));
    std::vector<uint8_t> image = builder.Image();
    // B's second cluster claims A's last sector; sector 200 is marked used for nothing; A's
    // first data sector is marked free; sectors 360-361 are marked free though past the total.
    const int aFirst = 34;
    EncodeCluster(image.data() + 256 * b + kFdrClusters, aFirst + 2, 1);
    image[kVibBitmap + 200 / 8] |= 1 << (200 % 8);
    image[kVibBitmap + aFirst / 8] &= static_cast<uint8_t>(~(1 << (aFirst % 8)));
    image[kVibBitmap + 45] = 0xFC;
    MemDrive d(image, Kind());
    int flags = 0;
    DiskUsage usage;
    ASSERT_EQ(d.drive.CheckDisk(flags, usage), 1);
    EXPECT_EQ(usage[0], kUsageBitmapUsed | 1);
    EXPECT_EQ(usage[1], kUsageBitmapUsed | 1);
    EXPECT_EQ(usage[a], kUsageBitmapUsed | kUsageIndexedFdr | 1);
    EXPECT_EQ(usage[aFirst], 1);
    EXPECT_EQ(usage[aFirst + 2], kUsageBitmapUsed | 2);
    EXPECT_EQ(usage[200], kUsageBitmapUsed);
    EXPECT_EQ(usage[360], kUsageBeyondTotal);
    EXPECT_EQ(usage[1599], kUsageBeyondTotal | kUsageBitmapUsed);
    // B's old data sectors are still marked used but no longer named by B.
    EXPECT_EQ(CheckReport(flags, usage),
              "2 sectors marked as used but not used\r\n"
              "1 sectors marked as free but used by file(s)\r\n"
              "2 sectors beyond disk size marked as free\r\n"
              "1 sectors used by more than one file\r\n");

    usage.fill(0);
    usage[1500] = kUsageBeyondTotal | 1;  // beyond sector 1439: never counted
    usage[10] = kUsageBeyondTotal | kUsageBitmapUsed | 3;
    EXPECT_EQ(CheckReport(kCheckBadFdrNumber | kCheckSizeTooBig, usage),
              "Size is too big for sides & density\r\n"
              "Illegal FDR number found in file list\r\n"
              "1 sectors beyond disk size used by file(s)\r\n"
              "1 sectors used by more than one file\r\n");

    test::CScriptedPrompt prompt;
    prompt.held = {PolledKey::F4};
    prompt.answers = {PromptAnswer::Yes};
    d.drive.SetPrompt(&prompt);
    EXPECT_EQ(d.drive.CheckDisk(flags, usage), 0);
    EXPECT_EQ(prompt.questions, std::vector<std::string>{"Abort check?"});
    EXPECT_EQ(d.drive.ErrorText(), "User aborted operation");
    d.drive.SetPrompt(nullptr);
}

// Damaged structures: every operation ends, and the disk still mounts afterwards.
TEST_P(OnEveryImageKind, DamagedDisksOperationsEndAndTheDiskStillMounts) {
    std::vector<std::vector<uint8_t>> images;
    {
        CImageBuilder b;
        const int fdr = b.AddFile(BuiltFile::Program("HUGE", test::Pattern(256, 1)));
        std::vector<uint8_t> image = b.Image();
        EncodeCluster(image.data() + 256 * fdr + kFdrClusters, 40, 4095);
        SetBe16(image.data() + 256 * fdr + kFdrSectors, 4096);
        images.push_back(image);
    }
    {
        CImageBuilder b;
        const int fdr = b.AddFile(BuiltFile::Program("DUP", test::Pattern(256, 1)));
        b.SetIndex(std::vector<int>(128, fdr));
        images.push_back(b.Image());
    }
    {
        std::vector<uint8_t> image = test::EmptyDisk();
        std::memset(image.data() + kVibBitmap, 0xFF, kBitmapBytes);
        images.push_back(image);
    }
    {
        std::vector<uint8_t> image(92160, 0xE5);
        images.push_back(image);
    }
    for (size_t k = 0; k < images.size(); ++k) {
        MemDrive d(images[k], Kind());
        int flags = 0;
        DiskUsage usage;
        d.drive.CheckDisk(flags, usage);
        MemDrive target(test::EmptyDisk(), Kind());
        d.drive.CopyFiles(target.drive, false, true);
        d.drive.Defragment();
        d.drive.UndeleteFile("HUGE", -1);
        d.drive.CreateFile("NEW", 1, 0);
        d.drive.SortIndex();
        const int kind = d.drive.Kind();
        CVirtualDrive again;
        EXPECT_EQ(again.MountFile(std::make_unique<CMemFile>(d.Bytes()), 0, 0, -1), kind) << k;
    }
}

TEST_P(OnEveryImageKind, PeerImagesDefragmentingFragKeepsEveryFile) {
    TAVIK_REQUIRE_TESTDATA(peer, "peer/disks");
    std::vector<uint8_t> image;
    ASSERT_TRUE(ReadWholeFile(peer + "/frag.dsk", image));
    if (!Holds(static_cast<int>(image.size() / 256))) GTEST_SKIP();
    MemDrive d(image, Kind());
    std::map<std::string, std::vector<uint8_t>> before;
    for (int k = 0; k < d.Files(); ++k)
        before[d.NameAt(k)] = test::FileBytes(d.drive, d.IndexEntry(k));
    ASSERT_EQ(before.size(), 16u);
    ASSERT_EQ(d.drive.Defragment(), 1) << d.drive.ErrorText();
    ASSERT_EQ(d.Files(), 16);
    for (int k = 0; k < d.Files(); ++k) {
        EXPECT_EQ(test::FileBytes(d.drive, d.IndexEntry(k)), before[d.NameAt(k)]) << d.NameAt(k);
        FileProperties p;
        ASSERT_TRUE(d.drive.GetFileProperties(d.IndexEntry(k), p));
        EXPECT_LE(p.clusters.size(), 1u) << d.NameAt(k);
    }
    int flags = 0;
    DiskUsage usage;
    ASSERT_EQ(d.drive.CheckDisk(flags, usage), 1);
    EXPECT_EQ(CheckReport(flags, usage), "");
}

TEST(PeerImages, CheckOfBad1FindsTheSectorMarkedFree) {
    TAVIK_REQUIRE_TESTDATA(peer, "peer/disks");
    CVirtualDrive drive;
    ASSERT_EQ(drive.OpenImage(peer + "/bad1.dsk"), DriveKind::DoadImage);
    int flags = 0;
    DiskUsage usage;
    ASSERT_EQ(drive.CheckDisk(flags, usage), 1);
    EXPECT_EQ(flags, 0);
    const std::string report = CheckReport(flags, usage);
    EXPECT_NE(report.find("1 sectors marked as free but used by file(s)\r\n"), std::string::npos)
        << report;
}

}  // namespace
}  // namespace tavik
