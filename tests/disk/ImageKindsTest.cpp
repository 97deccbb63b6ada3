// The file and disk operations once over every kind of image a PC file holds: the same sectors
// as a sector dump, a PC99 track image (FM and MFM) and an HFE image. Each result is read back
// from a fresh mount of the bytes the drive wrote, so a sector written to the wrong place of a
// track layout cannot hide behind the drive's caches.
#include <gtest/gtest.h>

#include <map>

#include "DriveFixture.h"
#include "disk/CheckReport.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;

struct ImageKind {
    const char* name;
    int kind;
    bool doubleSided, doubleDensity;  // 720 sectors either way
};

const ImageKind kKinds[] = {
    {"Doad", DriveKind::DoadImage, true, false},
    {"Pc99Fm", DriveKind::Pc99Fm, true, false},
    {"Pc99Mfm", DriveKind::Pc99Mfm, false, true},
    {"Hfe", DriveKind::HfeImage, false, true},
};

struct Disk {
    CVirtualDrive drive;
    CMemFile* file = nullptr;
};

using Contents = std::map<std::string, std::vector<uint8_t>>;

// Every file by name with its data as the drive reads it.
Contents FilesOf(CVirtualDrive& drive) {
    std::vector<FileProperties> files;
    EXPECT_EQ(drive.ReadCatalog(files), 1) << drive.ErrorText();
    Contents contents;
    for (const FileProperties& f : files)
        contents[std::string(f.name.begin(), f.name.end())] = test::FileBytes(drive, f.fdrSector);
    return contents;
}

std::string Padded(const std::string& name) {
    return name + std::string(10 - name.size(), ' ');
}

class EveryImageKind : public ::testing::TestWithParam<ImageKind> {
protected:
    CImageBuilder Builder() const {
        return CImageBuilder(720, GetParam().doubleSided, GetParam().doubleDensity);
    }
    // Four files, three of them in several clusters.
    CImageBuilder Fragmented() const {
        CImageBuilder builder = Builder();
        const char* names[] = {"DELTA", "ALPHA", "CHARLIE", "BRAVO"};
        for (int k = 0; k < 4; ++k) {
            BuiltFile f = BuiltFile::Program(names[k], test::Pattern(size_t(10 + k) * 256, k));
            if (k > 0) f.clusterSizes = {3, 4, 3 + k};
            builder.AddFile(f);
        }
        return builder;
    }
    std::unique_ptr<Disk> Mount(std::vector<uint8_t> bytes) const {
        auto disk = std::make_unique<Disk>();
        auto memory = std::make_unique<CMemFile>(std::move(bytes));
        disk->file = memory.get();
        EXPECT_EQ(disk->drive.MountFile(std::move(memory), 0, 0, -1), GetParam().kind);
        return disk;
    }
    std::unique_ptr<Disk> Mount(const CImageBuilder& builder) const {
        switch (GetParam().kind) {
            case DriveKind::Pc99Fm:
            case DriveKind::Pc99Mfm:
                return Mount(builder.Pc99Image());
            case DriveKind::HfeImage:
                return Mount(builder.HfeImage());
            default:
                return Mount(builder.Image());
        }
    }
    // The image as another drive finds it.
    std::unique_ptr<Disk> Reread(const Disk& disk) const { return Mount(disk.file->Bytes()); }
};

TEST_P(EveryImageKind, FileCommandsReachTheImage) {
    auto source = Mount(Fragmented());
    auto target = Mount(Builder());
    Contents want = FilesOf(source->drive);
    for (const auto& [name, data] : want)
        ASSERT_EQ(source->drive.CopyFile(target->drive, source->drive.FindFile(name), ""), 1)
            << name << ": " << source->drive.ErrorText();
    EXPECT_EQ(FilesOf(Reread(*target)->drive), want);

    CVirtualDrive& d = target->drive;
    ASSERT_EQ(d.RenameFile(d.FindFile("ALPHA"), "ZULU"), 1);
    ASSERT_EQ(d.SetProtection(d.FindFile("ZULU"), 1), 1);
    const int bravo = d.FindFile("BRAVO");
    ASSERT_EQ(d.DeleteFile(d.FindFile("CHARLIE")), 1);
    ASSERT_EQ(d.DeleteFile(bravo), 1);
    ASSERT_EQ(d.UndeleteFile("BRAVO", -1), bravo);
    want[Padded("ZULU")] = want[Padded("ALPHA")];
    want.erase(Padded("ALPHA"));
    want.erase(Padded("CHARLIE"));

    auto again = Reread(*target);
    EXPECT_EQ(FilesOf(again->drive), want);
    FileProperties zulu;
    ASSERT_EQ(again->drive.GetFileProperties(again->drive.FindFile("ZULU"), zulu), 1);
    EXPECT_TRUE(zulu.status & 0x08);
    int flags = -1;
    DiskUsage usage;
    ASSERT_EQ(again->drive.CheckDisk(flags, usage), 1);
    EXPECT_EQ(CheckReport(flags, usage), "");
}

TEST_P(EveryImageKind, DiskCommandsReachTheImage) {
    auto source = Mount(Fragmented());
    const Contents want = FilesOf(source->drive);
    for (int mode : {CopyAllSectors, CopyUsedSectors, CopyFilesAndVib, CopyFilesOnly}) {
        auto target = Mount(Builder());
        ASSERT_EQ(source->drive.CopyDisk(target->drive, mode), 1) << mode;
        EXPECT_EQ(FilesOf(Reread(*target)->drive), want) << mode;
    }

    ASSERT_EQ(source->drive.Defragment(), 1) << source->drive.ErrorText();
    auto defragmented = Reread(*source);
    EXPECT_EQ(FilesOf(defragmented->drive), want);
    std::vector<FileProperties> files;
    ASSERT_EQ(defragmented->drive.ReadCatalog(files), 1);
    for (const FileProperties& f : files)
        EXPECT_EQ(f.clusters.size(), 1u) << std::string(f.name.begin(), f.name.end());
    int flags = -1;
    DiskUsage usage;
    ASSERT_EQ(defragmented->drive.CheckDisk(flags, usage), 1);
    EXPECT_EQ(CheckReport(flags, usage), "");

    const ImageKind& kind = GetParam();
    ASSERT_EQ(source->drive.Format("FRESH", kind.doubleSided, kind.doubleDensity, 720, 40), 1);
    auto formatted = Reread(*source);
    EXPECT_EQ(formatted->drive.GetDiskName(), Padded("FRESH"));
    EXPECT_TRUE(FilesOf(formatted->drive).empty());
    EXPECT_EQ(formatted->drive.CountFreeSectors(), 718);
}

// The sectors that were free may hold the copy's beginning; the VIB, the index and every file
// are as they were.
TEST_P(EveryImageKind, ACopyOntoAFullDiskLeavesItAsItWas) {
    CImageBuilder full = Builder();
    // Seven sectors free; DELTA needs eleven.
    full.AddFile(BuiltFile::Program("FILLER", test::Pattern(710 * 256, 3)));
    auto target = Mount(full);
    auto before = Reread(*target);
    auto source = Mount(Fragmented());
    EXPECT_EQ(source->drive.CopyFile(target->drive, source->drive.FindFile("DELTA"), ""), 0);
    EXPECT_EQ(source->drive.ErrorText(), "Disk is full");

    auto after = Reread(*target);
    for (int n : {0, 1}) {
        Sector was, is;
        ASSERT_EQ(before->drive.ReadSector(n, was.data()), 1);
        ASSERT_EQ(after->drive.ReadSector(n, is.data()), 1);
        EXPECT_EQ(is, was) << n;
    }
    EXPECT_EQ(FilesOf(after->drive), FilesOf(before->drive));
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryImageKind, ::testing::ValuesIn(kKinds),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tavik
