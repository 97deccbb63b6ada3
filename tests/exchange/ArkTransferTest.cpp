#include "exchange/ArkTransfer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "TransferFixture.h"
#include "exchange/ExportCommand.h"
#include "exchange/PcFileHeader.h"
#include "exchange/PcFileKind.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
using test::MemoryDisk;

// FDR bytes 0-19 (name, type, counts) and data: what a file is, wherever it lies.
void ExpectSameFile(CVirtualDrive& a, int fdrA, CVirtualDrive& b, int fdrB, const std::string& what,
                    bool sameName = true) {
    TiFileImage x, y;
    ASSERT_TRUE(ReadFileImage(a, fdrA, x)) << what;
    ASSERT_TRUE(ReadFileImage(b, fdrB, y)) << what;
    const FileProperties &f = x.file, &g = y.file;
    EXPECT_TRUE(!sameName || f.name == g.name) << what;
    EXPECT_EQ(std::tie(f.extra, f.status, f.recordsPerSector, f.sectors, f.eofOffset,
                       f.recordLength, f.records),
              std::tie(g.extra, g.status, g.recordsPerSector, g.sectors, g.eofOffset,
                       g.recordLength, g.records))
        << what;
    EXPECT_EQ(x.data, y.data) << what;
}

std::vector<int> FdrsOf(CVirtualDrive& d, const std::vector<std::string>& names) {
    std::vector<int> fdrs;
    for (const std::string& n : names)
        fdrs.push_back(d.FindFile(n));
    return fdrs;
}

TEST(ArkTransfer, PeerArchiveGivesTheFilesBesideItAndIsMadeAgainByteForByte) {
    TAVIK_REQUIRE_TESTDATA(dir, "peer/archives");
    std::vector<uint8_t> image;
    ASSERT_TRUE(ReadWholeFile(dir + "/ark2.dsk", image));
    MemoryDisk disk(image);
    const int all = disk.drive.FindFile("ALL_ARK");
    ASSERT_TRUE(IsArkFile(disk.drive, all));
    CArkFile ark;
    std::string error;
    ASSERT_TRUE(OpenArk(disk.drive, all, ark, error)) << error;
    EXPECT_TRUE(ark.compressed);
    const std::vector<std::string> names = {"ARKFILE1T", "ARKFILE2T", "ARKFILE3B", "ARKFILE4B",
                                            "ARKFILE5T"};
    ASSERT_EQ(ark.members.size(), names.size());
    EXPECT_FALSE(IsArkFile(disk.drive, disk.drive.FindFile("ARKFILE1T")));

    MemoryDisk target;
    ASSERT_TRUE(ExtractArkMembers(ark, {}, target.drive, false, error)) << error;
    for (const std::string& n : names)
        ExpectSameFile(disk.drive, disk.drive.FindFile(n), target.drive, target.drive.FindFile(n),
                       n);

    // MAME's imgtool reads the extracted files as it reads the originals.
    if (std::filesystem::exists("/usr/bin/imgtool")) {
        const std::string tmp = test::TempFolder();
        ASSERT_TRUE(WriteWholeFile(tmp + "/t.dsk", target.file->Bytes()));
        for (const std::string& n : names) {
            const std::string get = "/usr/bin/imgtool get v9t9 ";
            ASSERT_EQ(
                std::system((get + dir + "/ark2.dsk " + n + " " + tmp + "/a >/dev/null").c_str()),
                0);
            ASSERT_EQ(
                std::system((get + tmp + "/t.dsk " + n + " " + tmp + "/b >/dev/null").c_str()), 0);
            std::vector<uint8_t> a, b;
            EXPECT_TRUE(ReadWholeFile(tmp + "/a", a) && ReadWholeFile(tmp + "/b", b) && a == b)
                << n;
        }
    }

    // The Archiver's own compression, code for code.
    ASSERT_TRUE(
        CreateArk(disk.drive, "NEW_ARK", disk.drive, FdrsOf(disk.drive, names), true, false, error))
        << error;
    ExpectSameFile(disk.drive, all, disk.drive, disk.drive.FindFile("NEW_ARK"), "NEW_ARK", false);

    ASSERT_TRUE(
        CreateArk(disk.drive, "PLAIN", disk.drive, FdrsOf(disk.drive, names), false, false, error))
        << error;
    CArkFile plain;
    ASSERT_TRUE(OpenArk(disk.drive, disk.drive.FindFile("PLAIN"), plain, error)) << error;
    EXPECT_FALSE(plain.compressed);
    MemoryDisk second;
    ASSERT_TRUE(ExtractArkMembers(plain, {"ARKFILE3B", "ARKFILE5T"}, second.drive, false, error));
    for (const char* n : {"ARKFILE3B", "ARKFILE5T"})
        ExpectSameFile(disk.drive, disk.drive.FindFile(n), second.drive, second.drive.FindFile(n),
                       n);
    EXPECT_EQ(second.drive.CountFiles(), 2);
}

// An image in memory whose N-th write fails (0: none), as a PC file that runs into an error.
class CFailingFile : public CMemFile {
public:
    CFailingFile(std::vector<uint8_t> bytes, int failAt)
        : CMemFile(std::move(bytes)), m_failAt(failAt) {}
    int64_t WriteAt(int64_t offset, const void* buffer, size_t count) override {
        if (++m_writes == m_failAt) return -1;
        return CMemFile::WriteAt(offset, buffer, count);
    }
    int Writes() const { return m_writes; }

private:
    int m_failAt;
    int m_writes = 0;
};

// What the disk had: the same VIB and index, and every sector in use as it was.
void ExpectAsItWas(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                   const std::string& what) {
    ASSERT_EQ(before.size(), after.size());
    for (int s = 0; s < static_cast<int>(before.size() / 256); ++s) {
        if (s >= 2 && !layout::BitmapUsed(before.data(), s)) continue;
        ASSERT_TRUE(std::equal(before.begin() + s * 256, before.begin() + s * 256 + 256,
                               after.begin() + s * 256))
            << what << ": sector " << s;
    }
}

std::vector<uint8_t> Bytes(size_t n, uint8_t seed) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(seed + i * 7 + i / 256);
    return bytes;
}

CImageBuilder SourceDisk() {
    CImageBuilder b;
    b.AddFile(BuiltFile::Program("PROG", Bytes(700, 1)));
    b.AddFile(BuiltFile::Variable("TEXT", false, 80, {"ONE", "TWO", std::string(80, 'x')}));
    b.AddFile(BuiltFile::Fixed("DATA", true, 64, {"A", "B", "C", "D", "E"}));
    return b;
}

CArkFile SourceArk(MemoryDisk& source) {
    std::string error;
    EXPECT_TRUE(CreateArk(source.drive, "ARK", source.drive,
                          FdrsOf(source.drive, {"PROG", "TEXT", "DATA"}), true, false, error));
    CArkFile ark;
    EXPECT_TRUE(OpenArk(source.drive, source.drive.FindFile("ARK"), ark, error)) << error;
    return ark;
}

// A target that already has a file of a member's name.
std::vector<uint8_t> TargetImage(int total = 360) {
    CImageBuilder b(total);
    b.AddFile(BuiltFile::Program("PROG", Bytes(300, 9)));
    return b.Image();
}

TEST(ArkTransfer, ExtractionIsAllOrNothing) {
    MemoryDisk source(SourceDisk());
    CArkFile ark = SourceArk(source);
    CArkFile damaged = ark;
    damaged.members[1].damage = "The archive ends inside this file";
    CArkFile badName = ark;
    badName.members[2].image.file.name[2] = 0;  // TE\0T: a zero byte ends a name
    const struct {
        const char* what;
        const CArkFile& ark;
        std::vector<std::string> members;
        int total;
        bool replace;
        std::string error;
    } cases[] = {
        {"a file of that name", ark, {}, 360, false, "PROG: Name already exists"},
        {"the disk fills", ark, {}, 12, true, "TEXT: Disk is full"},
        {"a damaged file",
         damaged,
         {"DATA", "PROG"},
         360,
         true,
         "PROG: The archive ends inside this file"},
        {"no such file", ark, {"DATA", "NONE"}, 360, true, "NONE: File not found"},
        {"a zero byte in a name", badName, {}, 360, true, "TE: Invalid file name"},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> before = TargetImage(c.total);
        MemoryDisk target(before);
        std::string error;
        EXPECT_EQ(ExtractArkMembers(c.ark, c.members, target.drive, c.replace, error), 0) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
        ExpectAsItWas(before, target.file->Bytes(), c.what);
    }

    // A write that fails at any step, replacing a file: the disk keeps what it had.
    const std::vector<uint8_t> before = TargetImage();
    int writes = 0;
    for (int failAt = 1; writes == 0 || failAt <= writes; ++failAt) {
        CVirtualDrive drive;
        auto file = std::make_unique<CFailingFile>(before, writes == 0 ? 0 : failAt);
        CFailingFile* raw = file.get();
        ASSERT_EQ(drive.MountFile(std::move(file), 0, 0, -1), DriveKind::DoadImage);
        std::string error;
        const int result = ExtractArkMembers(ark, {}, drive, true, error);
        if (writes == 0) {
            ASSERT_EQ(result, 1) << error;
            writes = raw->Writes();
            MemoryDisk copy(raw->Bytes());
            for (const char* n : {"PROG", "TEXT", "DATA"})
                ExpectSameFile(source.drive, source.drive.FindFile(n), copy.drive,
                               copy.drive.FindFile(n), n);
            EXPECT_EQ(copy.drive.CountFiles(), 3);
            failAt = 0;
            continue;
        }
        EXPECT_EQ(result, 0) << failAt;
        ExpectAsItWas(before, raw->Bytes(), "write " + std::to_string(failAt));
    }
    EXPECT_GT(writes, 50);
}

TEST(ArkTransfer, AddAndRemoveKeepTheArchiveItsNameFormAndCreation) {
    for (bool compressed : {true, false}) {
        MemoryDisk disk(SourceDisk());
        CVirtualDrive& d = disk.drive;
        std::string error;
        ASSERT_TRUE(CreateArk(d, "ARK", d, FdrsOf(d, {"TEXT"}), compressed, false, error));
        FileProperties made;
        ASSERT_TRUE(d.GetFileProperties(d.FindFile("ARK"), made));
        EXPECT_EQ(made.status, compressed ? 0x02 : 0x00);
        EXPECT_EQ(CreateArk(d, "ARK", d, FdrsOf(d, {"TEXT"}), compressed, false, error), 0);
        EXPECT_EQ(error, "ARK: Name already exists");

        ASSERT_TRUE(AddToArk(d, d.FindFile("ARK"), d, FdrsOf(d, {"PROG", "DATA"}), false, error));
        EXPECT_EQ(AddToArk(d, d.FindFile("ARK"), d, FdrsOf(d, {"PROG"}), false, error), 0);
        EXPECT_EQ(error, "PROG: Name already exists");
        ASSERT_TRUE(AddToArk(d, d.FindFile("ARK"), d, FdrsOf(d, {"PROG"}), true, error));
        ASSERT_TRUE(RemoveFromArk(d, d.FindFile("ARK"), {"TEXT"}, error)) << error;
        EXPECT_EQ(RemoveFromArk(d, d.FindFile("ARK"), {"TEXT"}, error), 0);
        EXPECT_EQ(error, "TEXT: File not found");

        CArkFile ark;
        ASSERT_TRUE(OpenArk(d, d.FindFile("ARK"), ark, error));
        EXPECT_EQ(ark.compressed, compressed);
        ASSERT_EQ(ark.members.size(), 2u);
        EXPECT_EQ(ark.members[0].image.file.name[0], 'D');
        EXPECT_EQ(ark.members[1].image.file.name[0], 'P');
        FileProperties now;
        ASSERT_TRUE(d.GetFileProperties(d.FindFile("ARK"), now));
        EXPECT_EQ(std::tie(now.status, now.creationDate, now.creationTime),
                  std::tie(made.status, made.creationDate, made.creationTime));
        EXPECT_EQ(d.CountFiles(), 4);
        int flags = 0;
        DiskUsage usage{};
        ASSERT_TRUE(d.CheckDisk(flags, usage));
        EXPECT_EQ(flags, 0);
    }
}

// A member goes to the PC exactly as the same file on a disk would (its FDR stamps aside: the
// archive keeps none).
TEST(ArkTransfer, MembersExportAsTheFilesWould) {
    MemoryDisk disk(SourceDisk());
    CArkFile ark = SourceArk(disk);
    const std::string dir = test::TempFolder();
    for (const ArkMember& m : ark.members) {
        const std::string name = ShownName(m.image.file);
        for (int format = 0; format < kExportFormatCount; ++format) {
            const std::string what = name + " as " + ExportFormatText(format);
            std::string error;
            ASSERT_TRUE(ExportArkMember(m, dir + "/member", format, {7, 12, 25}, error)) << what;
            ASSERT_TRUE(ExportInFormat(disk.drive, disk.drive.FindFile(name), dir + "/file", format,
                                       {7, 12, 25}))
                << what;
            std::vector<uint8_t> member, file;
            ASSERT_TRUE(ReadWholeFile(dir + "/member", member) &&
                        ReadWholeFile(dir + "/file", file));
            if (HeaderKindOf(format) == HeaderFiad)
                std::fill(file.begin() + 20, file.begin() + 28, 0);
            EXPECT_EQ(member, file) << what;
        }
    }
    std::string error;
    EXPECT_EQ(ExportArkMember(ark.members[0], dir + "/no/such/folder", TifilesHeader, {}, error),
              0);
    EXPECT_EQ(error, dir + "/no/such/folder: Can't open file on PC");
}

}  // namespace
}  // namespace tavik
