// Adding, rescanning and removing disks: checksums, the values written, duplicate handling by
// dialog and option, shared files, and names that contain quotes.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "CatalogueFixture.h"
#include "base/PcFile.h"
#include "database/Checksum.h"
#include "database/DiskScanner.h"
#include "database/SqlText.h"
#include "disk/SectorSource.h"
#include "disk/TiDateTime.h"
#include "disk/VirtualDrive.h"
#include "support/ImageBuilder.h"

namespace tavik::test {
namespace {

using Strings = std::vector<std::string>;

class CScriptedResolver : public CDuplicateResolver {
public:
    std::deque<DuplicateAnswer> answers;
    struct Shown {
        DuplicateMode mode;
        std::vector<DuplicateCandidate> rows;
    };
    std::vector<Shown> shown;

    DuplicateAnswer Resolve(DuplicateMode mode,
                            const std::vector<DuplicateCandidate>& rows) override {
        shown.push_back({mode, rows});
        if (answers.empty()) return {DuplicateButton::Cancel};
        DuplicateAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
};

class CCountingReviewer : public CScanReviewer {
public:
    int disks = 0;
    int files = 0;
    void ReviewDisk(CDiskSet&) override { ++disks; }
    bool ReviewFile(CFileSet&) override { return ++files < 2; }  // "Finish" on the second
};

std::vector<uint8_t> Bytes(size_t n, uint8_t seed) {
    std::vector<uint8_t> b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

CImageBuilder GamesDisk() {
    CImageBuilder b(360);
    b.SetName("GAMES").SetStamps(PackTime(14, 3, 0), PackDate(17, 5, 2012), 0, 0);
    BuiltFile loader = BuiltFile::Program("LOADER", Bytes(300, 1));
    loader.creationTime = PackTime(9, 30, 10);
    loader.creationDate = PackDate(1, 2, 1999);
    b.AddFile(loader);
    b.AddFile(BuiltFile::Variable("README", false, 80, {"HELLO", "WORLD"}));
    return b;
}

class DiskScannerTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        LocalTime now{2026, 12, 8, 9, 15, 30};
        SetClockForTesting(&now);
    }
    void TearDown() override { SetClockForTesting(nullptr); }

    // Mounts an image written to a file, so that the drive has a path.
    std::unique_ptr<CVirtualDrive> Mount(const std::vector<uint8_t>& image,
                                         const std::string& name = "disk.dsk") {
        const std::string file = TempFolder() + "/" + name;
        EXPECT_TRUE(WriteWholeFile(file, image));
        auto drive = std::make_unique<CVirtualDrive>();
        EXPECT_EQ(drive->OpenImage(file), DriveKind::DoadImage);
        return drive;
    }

    bool Add(CVirtualDrive& drive) { return scanner.AddDisk(drive); }

    CScriptedResolver resolver;
    CCountingReviewer reviewer;
    CDiskScanner scanner{catalogue, resolver, &reviewer};
};

TEST(ChecksumTest, StepAndFileKinds) {
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(ChecksumStep(0, abc, 3), 0xCA6598D0u);
    EXPECT_EQ(ChecksumStep(0, abc, 0), 0u);
    // Eight bytes at a time gives what the byte step gives.
    const std::vector<uint8_t> many = Bytes(300, 9);
    for (size_t n = 0; n < many.size(); n += 37) {
        uint32_t crc = 0x12345678;
        for (size_t i = 0; i < n; ++i) {
            uint32_t t = (crc ^ many[i]) & 0xFF;
            for (int k = 0; k < 8; ++k)
                t = (t & 1) ? (t >> 1) ^ 0xEDB88320u : t >> 1;
            crc = (crc >> 8) ^ t;
        }
        EXPECT_EQ(ChecksumStep(0x12345678, many.data(), n), crc) << n;
    }

    const std::vector<uint8_t> program = Bytes(300, 3);
    std::vector<uint8_t> fixedData;
    CImageBuilder b(360);
    int prog = b.AddFile(BuiltFile::Program("P", program));
    int whole = b.AddFile(BuiltFile::Program("W", Bytes(512, 9)));
    int dv = b.AddFile(BuiltFile::Variable("DV", false, 80, {"HELLO", "", "WORLD"}));
    BuiltFile df = BuiltFile::Fixed("DF", false, 80, {"ONE", "TWO", "THREE", "FOUR"});
    fixedData = df.data;
    int fixed = b.AddFile(df);
    BuiltFile iv = BuiltFile::Variable("IV", true, 80, {"AB"});
    int internalVariable = b.AddFile(iv);
    CVirtualDrive drive;
    ASSERT_EQ(drive.MountFile(b.MemFile(), 0, 0, -1), DriveKind::DoadImage);

    const std::string hello = "HELLOWORLD";
    const std::vector<uint8_t> w = Bytes(512, 9);
    const struct {
        int fdr;
        uint32_t expected;
    } rows[] = {
        // The last sector of a program counts up to its end-of-file offset, all 256 at 0.
        {prog, ChecksumStep(0, program.data(), program.size())},
        {whole, ChecksumStep(0, w.data(), w.size())},
        // Display/variable: the records' bytes, no length bytes, no end mark.
        {dv, ChecksumStep(0, reinterpret_cast<const uint8_t*>(hello.data()), hello.size())},
        // Fixed records: records x length bytes of each sector while records remain.
        {fixed,
         ChecksumStep(ChecksumStep(0, fixedData.data(), 3 * 80), fixedData.data() + 256, 80)},
        // Internal/variable files are fed like fixed ones: min(records, per sector) x length.
        {internalVariable,
         ChecksumStep(0, iv.data.data(), static_cast<size_t>(std::min(iv.records, 3) * 80))},
    };
    for (const auto& r : rows) {
        uint32_t crc = 0;
        ASSERT_TRUE(FileChecksum(drive, r.fdr, crc)) << r.fdr;
        SCOPED_TRACE(r.fdr);
        EXPECT_EQ(crc, r.expected) << r.fdr;
    }
    uint32_t crc = 0;
    EXPECT_FALSE(FileChecksum(drive, 1, crc));
}

TEST(ChecksumTest, EverySectorCountsAndUnreadableSectorsFail) {
    CImageBuilder b(360);
    std::vector<uint8_t> one = b.Image();
    std::vector<uint8_t> two = one;
    two[300 * 256 + 5] ^= 1;  // a free sector
    uint32_t a = 0, c = 0;
    CVirtualDrive d1, d2;
    d1.MountFile(std::make_unique<CMemFile>(one), 0, 0, -1);
    d2.MountFile(std::make_unique<CMemFile>(two), 0, 0, -1);
    ASSERT_TRUE(SectorChecksum(d1, a));
    ASSERT_TRUE(SectorChecksum(d2, c));
    EXPECT_NE(a, c);
    EXPECT_EQ(a, ChecksumStep(0, one.data(), one.size()));

    // The VIB claims more sectors than the image holds.
    one.resize(200 * 256);
    CVirtualDrive cut;
    cut.MountFile(std::make_unique<CMemFile>(one), 0, 0, -1);
    EXPECT_FALSE(SectorChecksum(cut, a));
    EXPECT_NE(cut.LastError(), 0);
}

TEST_F(DiskScannerTest, NamesAreTenBytesAndFreeSectorsAreTheDrivesCount) {
    CImageBuilder b = GamesDisk();
    const int fdr = b.AddFile(BuiltFile::Program("TEN", Bytes(10, 2)));
    std::vector<uint8_t> image = b.Image();
    // Bytes 10-11 of an FDR are no part of its name; a tool left the bits past the total clear.
    image[256 * fdr + 10] = 'X';
    image[256 * fdr + 11] = 'Y';
    std::fill(image.begin() + 56 + 45, image.begin() + 256, 0);
    auto drive = Mount(image);
    ASSERT_TRUE(Add(*drive));
    CDiskSet& d = catalogue.DiskSet();
    ASSERT_TRUE(d.Open());
    ASSERT_EQ(d.GetRecordCount(), 1);
    drive->ReadVib();
    EXPECT_EQ(d.m_Free, drive->CountFreeSectors());
    EXPECT_EQ(d.m_Free, 360 - 2 - 3 - 4);
    EXPECT_EQ(Column("SELECT [File name] FROM [Files] ORDER BY [File name]"),
              (Strings{"LOADER    ", "README    ", "TEN       "}));
}

TEST_F(DiskScannerTest, AddDiskWritesTheRows) {
    CImageBuilder b = GamesDisk();
    b.SetProtected(true);
    auto drive = Mount(b.Image());
    options.reviewDiskInfo = true;
    ASSERT_TRUE(Add(*drive)) << (prompt.messages.empty() ? "" : prompt.messages[0]);
    EXPECT_TRUE(resolver.shown.empty());
    EXPECT_EQ(reviewer.disks, 1);

    CDiskSet& d = catalogue.DiskSet();
    ASSERT_TRUE(d.Open());
    ASSERT_EQ(d.GetRecordCount(), 1);
    EXPECT_EQ(d.m_DiskName.Value(), "GAMES     ");
    EXPECT_EQ(d.m_Size, 360);
    EXPECT_EQ(d.m_Files, 2);
    EXPECT_EQ(d.m_Free, 360 - 2 - 2 - 2 - 1);  // VIB, index, two FDRs, 2 + 1 data sectors
    EXPECT_FALSE(d.m_DS);
    EXPECT_FALSE(d.m_DD);
    EXPECT_TRUE(d.m_Protected);
    EXPECT_EQ(d.m_CreationDate.Value(), "2012/05/17");
    EXPECT_EQ(d.m_CreationTime.Value(), "14:03:00");
    EXPECT_TRUE(d.m_ModificationDate.IsNull());
    EXPECT_EQ(d.m_ArchivedDate.Value(), "2026/12/08");
    EXPECT_EQ(d.m_ArchivedTime.Value(), "09:15:30");
    EXPECT_EQ(d.m_DriveType.Value(), "DOAD");
    EXPECT_NE(d.m_Drive.Value().find("disk.dsk"), std::string::npos);
    EXPECT_TRUE(d.m_Info1.IsNull());
    EXPECT_EQ(d.m_CRCS.Value().size(), 8u);

    CFileSet& f = catalogue.FileSet();
    ASSERT_TRUE(f.Open("SELECT ALL * FROM [Files] ORDER BY [ID]"));
    ASSERT_EQ(f.GetRecordCount(), 2);
    EXPECT_EQ(f.m_FileName.Value(), "LOADER    ");
    EXPECT_EQ(f.m_Type.Value(), "Prog");
    EXPECT_EQ(f.m_Size, 2);
    EXPECT_EQ(f.m_Last, 44);
    EXPECT_EQ(f.m_CreationDate.Value(), "1999/02/01");
    EXPECT_EQ(f.m_CreationTime.Value(), "09:30:10");
    const uint32_t loaderCrc = std::stoul(f.m_CRC.Value(), nullptr, 16);
    f.MoveNext();
    EXPECT_EQ(f.m_Type.Value(), "DV80");
    const uint32_t readmeCrc = std::stoul(f.m_CRC.Value(), nullptr, 16);
    char crcf[9];
    std::snprintf(crcf, sizeof crcf, "%08X", loaderCrc ^ readmeCrc);
    EXPECT_EQ(d.m_CRCF.Value(), crcf);
    EXPECT_EQ(Count("DiskFileMM"), 2);

    // A disk without files has CRC-F 00000000.
    auto empty = Mount(CImageBuilder(720, true).SetName("EMPTY").Image(), "empty.dsk");
    ASSERT_TRUE(Add(*empty));
    EXPECT_EQ(Column("SELECT [CRC-F], [DS] FROM [Disks] WHERE [Disk name] LIKE \"EMPTY*\""),
              Strings{"00000000"});
}

// A disk of 2880 sectors, one bitmap bit for every two: its free count and a file that lies past
// sector 1600.
TEST_F(DiskScannerTest, DisksOf80TracksCountFreeSectorsByPairs) {
    auto drive = Mount(std::vector<uint8_t>(2880 * 256, 0), "big.dsk");
    ASSERT_EQ(drive->Format("BIG", true, true, 0, 80), 1);
    const uint8_t header[28] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kStatusProgram};
    ASSERT_GE(drive->PutFile("LONG", header, std::vector<Sector>(1700), PutStamps::AsNew), 2);
    ASSERT_TRUE(Add(*drive)) << (prompt.messages.empty() ? "" : prompt.messages[0]);
    const std::string disk = "SELECT [Size], [Free], [Files] FROM [Disks]";
    EXPECT_EQ(Column(disk, 0), Strings{"2880"});
    EXPECT_EQ(Column(disk, 1), Strings{std::to_string(2880 - 2 - 2 - 1700)});  // VIB+index, FDR
    EXPECT_EQ(Column(disk, 2), Strings{"1"});
    EXPECT_EQ(Column("SELECT [Size] FROM [Files]"), Strings{"1700"});
}

TEST_F(DiskScannerTest, TheSameDiskTwice) {
    auto drive = Mount(GamesDisk().Image());
    ASSERT_TRUE(Add(*drive));
    // Cancel: nothing is written.
    EXPECT_FALSE(Add(*drive));
    ASSERT_EQ(resolver.shown.size(), 1u);
    EXPECT_EQ(resolver.shown[0].mode, IdenticalSectors);
    ASSERT_EQ(resolver.shown[0].rows.size(), 1u);
    EXPECT_EQ(resolver.shown[0].rows[0].id, 1);
    EXPECT_EQ(resolver.shown[0].rows[0].name, "GAMES     ");
    EXPECT_EQ(resolver.shown[0].rows[0].driveType, "DOAD");
    EXPECT_EQ(Count("Disks"), 1);
    EXPECT_EQ(Count("DiskFileMM"), 2);

    // "Create new entry": each file then asks (mode 3); "Use old entry" adds only a link,
    // "Update old" rewrites the old row.
    resolver.shown.clear();
    resolver.answers = {
        {DuplicateButton::CreateNew}, {DuplicateButton::UseOld}, {DuplicateButton::UpdateOld, 2}};
    catalogue.Database().Execute("UPDATE [Files] SET [Info1] = \"note\", [Type] = \"old\"");
    ASSERT_TRUE(Add(*drive));
    ASSERT_EQ(resolver.shown.size(), 3u);
    EXPECT_EQ(resolver.shown[1].mode, IdenticalFile);
    EXPECT_EQ(resolver.shown[1].rows[0].name, "LOADER    ");
    EXPECT_EQ(Count("Disks"), 2);
    EXPECT_EQ(Count("Files"), 2);
    EXPECT_EQ(Count("DiskFileMM"), 4);
    EXPECT_EQ(Column("SELECT [Type] FROM [Files] ORDER BY [ID]"), (Strings{"old", "DV80"}));
    EXPECT_EQ(Column("SELECT [Info1] FROM [Files] ORDER BY [ID]"), (Strings{"note", "note"}));
    EXPECT_EQ(reviewer.files, 0);
}

TEST_F(DiskScannerTest, DuplicateFilesByOptionAndRememberedAnswer) {
    auto drive = Mount(GamesDisk().Image());
    ASSERT_TRUE(Add(*drive));
    const struct {
        FileDuplicatePolicy option;
        long files;  // Files rows after the second disk
    } rows[] = {{DuplicatesCreateNew, 4}, {DuplicatesUseOld, 4}, {DuplicatesUpdateOld, 4}};
    for (const auto& r : rows) {
        options.fileDuplicates = r.option;
        resolver.answers = {{DuplicateButton::CreateNew}};
        ASSERT_TRUE(Add(*drive));
    }
    // Create new, then reuse and update add no Files rows.
    EXPECT_EQ(Count("Files"), 4);
    EXPECT_EQ(Count("Disks"), 4);
    EXPECT_EQ(Count("DiskFileMM"), 8);
    // Update took the first matching row, one of those the match returned.
    EXPECT_EQ(Column("SELECT [Archived date] FROM [Files] WHERE [ID] = 1"), Strings{"2026/12/08"});

    // "Do this for all files on this disk" answers the second file too, for this disk only.
    options.fileDuplicates = DuplicatesAskMe;
    resolver.shown.clear();
    resolver.answers = {{DuplicateButton::CreateNew},
                        {DuplicateButton::UseOld, 0, true},
                        {DuplicateButton::CreateNew},
                        {DuplicateButton::CreateNew},
                        {DuplicateButton::CreateNew}};
    ASSERT_TRUE(Add(*drive));
    EXPECT_EQ(resolver.shown.size(), 2u);
    ASSERT_TRUE(Add(*drive));
    EXPECT_EQ(resolver.shown.size(), 5u);
    EXPECT_EQ(Count("Files"), 6);
}

TEST_F(DiskScannerTest, SameFilesOnAnotherDiskAskInModeOne) {
    auto first = Mount(GamesDisk().Image(), "a.dsk");
    std::vector<uint8_t> other = GamesDisk().Image();
    other[200 * 256] = 0x55;  // a free sector differs
    auto second = Mount(other, "b.dsk");
    ASSERT_TRUE(Add(*first));
    EXPECT_FALSE(Add(*second));
    ASSERT_EQ(resolver.shown.size(), 1u);
    EXPECT_EQ(resolver.shown[0].mode, IdenticalFiles);
    EXPECT_EQ(Count("Disks"), 1);
}

TEST_F(DiskScannerTest, ReviewStopsAtFinish) {
    options.reviewFileInfo = true;
    CImageBuilder b = GamesDisk();
    b.AddFile(BuiltFile::Program("THIRD", Bytes(10, 5)));
    auto drive = Mount(b.Image());
    ASSERT_TRUE(Add(*drive));
    EXPECT_EQ(reviewer.files, 2);
    EXPECT_EQ(reviewer.disks, 0);
}

TEST_F(DiskScannerTest, NamesWithQuotesCannotChangeTheStatements) {
    CImageBuilder b(360);
    b.SetName("SAY \"HI\"");
    b.AddFile(BuiltFile::Program("A\"B", Bytes(20, 1)));
    b.AddFile(BuiltFile::Program("X\") OR (1", Bytes(20, 1)));
    auto drive = Mount(b.Image());
    ASSERT_TRUE(Add(*drive)) << (prompt.messages.empty() ? "" : prompt.messages[0]);
    EXPECT_EQ(Column("SELECT [File name] FROM [Files] ORDER BY [File name]"),
              (Strings{"A\"B       ", "X\") OR (1 "}));
    options.fileDuplicates = DuplicatesUseOld;
    resolver.answers = {{DuplicateButton::CreateNew}};
    ASSERT_TRUE(Add(*drive));
    EXPECT_EQ(Count("Files"), 2);  // both found again by name and reused
    EXPECT_EQ(Count("DiskFileMM"), 4);
    EXPECT_EQ(JetTextLiteral("A\"B"), "\"A\"\"B\"");
}

TEST_F(DiskScannerTest, RescanKeepsSharedFilesAndDoublesNoLink) {
    // Disk 1 holds LOADER and README; disk 2 shares README.
    auto first = Mount(GamesDisk().Image(), "a.dsk");
    ASSERT_TRUE(Add(*first));
    CImageBuilder other(360);
    other.SetName("OTHER");
    other.AddFile(BuiltFile::Variable("README", false, 80, {"HELLO", "WORLD"}));
    auto second = Mount(other.Image(), "b.dsk");
    options.fileDuplicates = DuplicatesUseOld;
    ASSERT_TRUE(Add(*second));
    EXPECT_EQ(Count("Files"), 2);

    // Disk 1 now holds README and a new file instead of LOADER.
    CImageBuilder changed(360);
    changed.SetName("GAMES2");
    changed.AddFile(BuiltFile::Variable("README", false, 80, {"HELLO", "WORLD"}));
    changed.AddFile(BuiltFile::Program("NEW", Bytes(40, 2)));
    auto third = Mount(changed.Image(), "c.dsk");
    resolver.answers = {{DuplicateButton::Overwrite, 1}};
    ASSERT_TRUE(scanner.RescanDisk(*third)) << (prompt.messages.empty() ? "" : prompt.messages[0]);
    EXPECT_EQ(resolver.shown.back().mode, SelectDiskToUpdate);
    EXPECT_TRUE(resolver.shown.back().rows.empty());
    EXPECT_EQ(scanner.LastDiskId(), 1);

    EXPECT_EQ(Count("Disks"), 2);
    EXPECT_EQ(Column("SELECT [Disk name] FROM [Disks] WHERE [ID] = 1"), Strings{"GAMES2    "});
    EXPECT_EQ(Column("SELECT [File name] FROM [Files] ORDER BY [ID]"),
              (Strings{"README    ", "NEW       "}));
    EXPECT_EQ(Column("SELECT Count(*) FROM [DiskFileMM] WHERE [DiskID] = 1"), Strings{"2"});
    EXPECT_EQ(Column("SELECT Count(*) FROM [DiskFileMM] WHERE [DiskID] = 2"), Strings{"1"});

    // An ID that is not there.
    resolver.answers = {{DuplicateButton::Overwrite, 77}};
    EXPECT_FALSE(scanner.RescanDisk(*third));
    EXPECT_EQ(prompt.messages.back(), "Can't find disk with [ID] = 77");
    EXPECT_FALSE(scanner.DiskIdExists(77));
    EXPECT_TRUE(scanner.DiskIdExists(2));
    // Cancel writes nothing.
    EXPECT_FALSE(scanner.RescanDisk(*third));
    EXPECT_EQ(Count("DiskFileMM"), 3);
}

TEST_F(DiskScannerTest, RemoveDisksKeepsFilesOtherDisksHold) {
    auto first = Mount(GamesDisk().Image(), "a.dsk");
    ASSERT_TRUE(Add(*first));
    CImageBuilder other(360);
    other.SetName("OTHER");
    other.AddFile(BuiltFile::Variable("README", false, 80, {"HELLO", "WORLD"}));
    auto second = Mount(other.Image(), "b.dsk");
    options.fileDuplicates = DuplicatesUseOld;
    ASSERT_TRUE(Add(*second));
    auto third = Mount(CImageBuilder(360).SetName("THIRD").Image(), "c.dsk");
    ASSERT_TRUE(Add(*third));

    ASSERT_TRUE(scanner.RemoveDisks({1}));
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(Column("SELECT [File name] FROM [Files]"), Strings{"README    "});
    EXPECT_EQ(Count("DiskFileMM"), 1);

    prompt.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(scanner.RemoveDisks({2, 3}));
    ASSERT_EQ(prompt.questions.size(), 1u);
    EXPECT_EQ(prompt.questions[0], "Remove 2 disk (and their files) from database?");
    EXPECT_EQ(Count("Disks"), 2);
    // An ID that names no disk fails the removal, and nothing is removed.
    prompt.answers = {PromptAnswer::Ok};
    EXPECT_FALSE(scanner.RemoveDisks({2, 99}));
    EXPECT_EQ(prompt.messages.back(), "Can't find disk with [ID] = 99");
    EXPECT_EQ(Count("Disks"), 2);
    prompt.answers = {PromptAnswer::Ok};
    ASSERT_TRUE(scanner.RemoveDisks({2, 3}));
    EXPECT_EQ(Count("Disks"), 0);
    EXPECT_EQ(Count("Files"), 0);
    EXPECT_EQ(catalogue.DiskSet().GetRecordCount(), 0);  // the list was reloaded
}

TEST_F(DiskScannerTest, UnreadableDiskWritesNothing) {
    std::vector<uint8_t> image = GamesDisk().Image();
    image.resize(100 * 256);
    auto drive = Mount(image);
    EXPECT_FALSE(Add(*drive));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], drive->ErrorText());
    EXPECT_EQ(Count("Disks"), 0);

    CVirtualDrive none;
    EXPECT_FALSE(Add(none));
    EXPECT_EQ(prompt.messages.size(), 2u);
}

// Remote and emulator drives, served from an image in memory.
class CImageSource : public CSectorSource {
public:
    explicit CImageSource(std::vector<uint8_t> image) : m_image(std::move(image)) {}
    int ReadSector(CVirtualDrive&, int sector, uint8_t* buffer) override {
        if ((sector + 1) * 256 > static_cast<int>(m_image.size())) return DiskError::PastEnd;
        std::copy_n(m_image.begin() + sector * 256, 256, buffer);
        return 0;
    }
    int WriteSector(CVirtualDrive&, int, const uint8_t*) override { return 0; }
    int ConfirmDrive(CVirtualDrive&) override { return 0; }

private:
    std::vector<uint8_t> m_image;
};

// A disk is added whole or not at all: a sector that fails after some rows were written leaves
// none of them, also among disks committed together.
TEST_F(DiskScannerTest, AFailureHalfWayLeavesNoHalfDisk) {
    // The image file fails every third reading of README's FDR: the disk's checksum and the
    // file's read it first, then the rows of LOADER are written before it is read again.
    class CFailingImage : public CMemFile {
    public:
        using CMemFile::CMemFile;
        int64_t failAt = -1;
        int readings = 0;
        int64_t ReadAt(int64_t offset, void* buffer, size_t count) override {
            if (offset == failAt && ++readings % 3 == 0) return -1;
            return CMemFile::ReadAt(offset, buffer, count);
        }
    };
    CImageBuilder b = GamesDisk();
    auto image = std::make_unique<CFailingImage>(b.Image());
    image->failAt = 256 * int64_t{b.Image()[256 + 3]};  // the index's second entry
    CVirtualDrive drive;
    ASSERT_NE(drive.MountFile(std::move(image), 0, 0, -1), 0);
    EXPECT_FALSE(Add(drive));
    EXPECT_EQ(prompt.messages.back(), drive.ErrorText());
    EXPECT_EQ(Count("Disks") + Count("Files") + Count("DiskFileMM"), 0);
    EXPECT_EQ(scanner.LastDiskId(), 0);

    CCommitBatch batch(catalogue.Database());
    auto other = Mount(CImageBuilder(360).SetName("OTHER").Image());
    ASSERT_TRUE(batch.Tick());
    ASSERT_TRUE(Add(*other));
    drive.Refresh();
    ASSERT_TRUE(batch.Tick());
    EXPECT_FALSE(Add(drive));
    ASSERT_TRUE(batch.Finish());
    EXPECT_EQ(Column("SELECT [Disk name] FROM [Disks]"), Strings{"OTHER     "});
    EXPECT_EQ(Count("Files") + Count("DiskFileMM"), 0);
}

// An image added by a relative path is recorded by its whole path, whatever its kind.
TEST_F(DiskScannerTest, ImagePathsAreStoredWhole) {
    const std::string folder = TempFolder();
    auto disk = [](uint8_t seed) {
        CImageBuilder b(360);
        b.AddFile(BuiltFile::Program("P", Bytes(100, seed)));
        return b;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        DriveKind kind;
    } images[] = {{"rel.dsk", disk(1).Image(), DriveKind::DoadImage},
                  {"rel.pc99", disk(2).Pc99Image(), DriveKind::Pc99Fm},
                  {"rel.hfe", disk(3).HfeImage(), DriveKind::HfeImage}};
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    Strings expected;
    for (const auto& image : images) {
        ASSERT_TRUE(WriteWholeFile(image.name, image.bytes));
        CVirtualDrive drive;
        EXPECT_EQ(drive.OpenImage(image.name), image.kind) << image.name;
        EXPECT_TRUE(Add(drive)) << image.name;
        expected.push_back(std::filesystem::canonical(image.name).string());
    }
    std::filesystem::current_path(before);
    EXPECT_EQ(Column("SELECT [Drive] FROM [Disks] ORDER BY [ID]"), expected);
}

TEST_F(DiskScannerTest, DriveTextsByKind) {
    CImageSource source(CImageBuilder(360).Image());
    CVirtualDrive remote;
    ASSERT_NE(remote.MountRemote(2, &source), 0);
    remote.m_remoteWords[0] = 0x1100;
    std::string type, where;
    ASSERT_TRUE(DriveDescription(remote, type, where));
    EXPECT_EQ(type, "TI99");
    EXPECT_EQ(where, "CRU >1100 DSK2");

    const struct {
        uint8_t letter;
        uint8_t device;
        const char* name;
        const char* expected;
    } rows[] = {
        {'1', 1, "", "Ramdisk, DSK1"},          {'3', 2, "", "Dravel card, DSK3"},
        {'4', 3, "", "Varnel card, DSK4"},      {'5', 9, "", "Device #9, DSK5"},
        {'@', 1, "WORK", "Ramdisk, DKS@.WORK"},
    };
    for (const auto& r : rows) {
        CVirtualDrive emulated;
        ASSERT_NE(emulated.MountEmulator(r.letter, &source, r.name, r.device), 0);
        ASSERT_TRUE(DriveDescription(emulated, type, where));
        EXPECT_EQ(type, "Zantu");
        EXPECT_EQ(where, r.expected);
    }
    ASSERT_TRUE(Add(remote));
    EXPECT_EQ(Column("SELECT [Drive] FROM [Disks]"), Strings{"CRU >1100 DSK2"});
}

}  // namespace
}  // namespace tavik::test
